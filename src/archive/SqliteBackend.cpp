// The SQLite back-end: one file, its schema version in PRAGMA user_version and its identity
// in PRAGMA application_id; write-ahead logging, so that readers never wait for a writer and
// a write cut short leaves the last committed state; writers queue on the busy timeout.
// The file is looked at before the driver touches it, and read-only first, so that a wrong
// path never becomes a new archive and a file that is not an archive is never written.
#include "archive/ArchiveBackend.h"

#include "data/Errors.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vel {

namespace {

// "VELA" in PRAGMA application_id marks a database as an archive of rounds.
constexpr int kApplicationId = 0x56454C41;
constexpr int kBusyTimeoutMs = 10000;

// The primary result codes of SQLite that a user can act on.
QString sqliteCause(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (!ok)
        return {};
    switch (code) {
    case 3:  // SQLITE_PERM
    case 23: // SQLITE_AUTH
        return QStringLiteral("přístup odepřen");
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("archiv používá jiný program a neuvolnil jej včas");
    case 8: // SQLITE_READONLY
        return QStringLiteral("do archivu nelze zapisovat");
    case 10: // SQLITE_IOERR
        return QStringLiteral("chyba čtení nebo zápisu souboru");
    case 11: // SQLITE_CORRUPT
        return QStringLiteral("archiv je poškozený");
    case 13: // SQLITE_FULL
        return QStringLiteral("disk je plný");
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("soubor nelze otevřít");
    case 26: // SQLITE_NOTADB
        return QStringLiteral("soubor není databáze");
    }
    return {};
}

SqlDialect sqliteDialect() {
    SqlDialect d;
    d.driver = QStringLiteral("QSQLITE");
    d.keyType = QStringLiteral("INTEGER PRIMARY KEY");
    d.intType = QStringLiteral("INTEGER");
    d.realType = QStringLiteral("REAL");
    d.textType = QStringLiteral("TEXT");
    // IMMEDIATE takes the write lock at once: a transaction that began reading could not
    // take it later once another process has written, and would fail instead of waiting.
    d.beginWrite = QStringLiteral("BEGIN IMMEDIATE");
    d.beginRead = QStringLiteral("BEGIN");
    d.explain = sqliteCause;
    return d;
}

QString systemText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// The quick check reads the whole file, about 3 ms a megabyte. It is not repeated on an
// archive whose file has not changed since it passed in this run of the program (with
// write-ahead logging the file changes when the log is folded in, at the latest when the
// last connection closes); damage met between checks SQLite reports as it reads.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const FileIdentity& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

FileIdentity identityOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

QMutex checkedLock;
QHash<QString, FileIdentity> checked;

bool passedCheck(const QString& path) {
    const QMutexLocker lock(&checkedLock);
    const auto it = checked.constFind(path);
    return it != checked.constEnd() && *it == identityOf(path);
}

void recordCheck(const QString& path, const FileIdentity& identity) {
    const QMutexLocker lock(&checkedLock);
    checked.insert(path, identity);
}

bool writable(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

class SqliteBackend : public ArchiveBackend {
public:
    explicit SqliteBackend(const ArchiveLocation& location)
        : ArchiveBackend(location.displayName(), sqliteDialect()), m_path(location.path),
          m_makeFolder(location.makeFolder) {}

    std::optional<int> inspect(int known) override;
    QString whyNotWritable() const override;
    void connectForWriting() override;
    int schemaVersion() override {
        return m_sql.value(QStringLiteral("PRAGMA user_version")).toInt();
    }
    QString backup(int version) override;
    void beginMigration() override;
    void commitMigration(int version) override;
    void abortMigration() noexcept override;

private:
    enum class FileState { Missing, Empty, Database };
    // What the first page of a database says, read without SQLite.
    struct Header {
        quint32 applicationId = 0;
        int version = 0;
    };
    FileState fileState(Header* header = nullptr) const;
    QString folder() const { return QFileInfo(m_path).absolutePath(); }
    void connect(bool forWriting);
    int checkIdentity();
    void useWriteAheadLog();
    // The text with the archive for %1 and `more` for %2, substituted in one pass.
    QString message(const char* text, const QString& more = {}) const {
        return more.isNull() ? QString::fromUtf8(text).arg(archiveName())
                             : QString::fromUtf8(text).arg(archiveName(), more);
    }

    QString m_path;
    bool m_makeFolder;
};

constexpr qsizetype kHeaderSize = 100;

quint32 bigEndian32(const char* p) {
    auto b = [p](int i) { return quint32(quint8(p[i])); };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

SqliteBackend::FileState SqliteBackend::fileState(Header* header) const {
    const QByteArray native = QFile::encodeName(m_path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        if (errno == ENOENT)
            return FileState::Missing;
        throw AppError(message("Archiv kol „%1“ nelze otevřít: ") + systemText(errno));
    }
    if (S_ISDIR(st.st_mode))
        throw AppError(message("„%1“ je složka, ne soubor archivu kol"));
    if (!S_ISREG(st.st_mode))
        throw AppError(message("Soubor „%1“ není archiv kol: není to obyčejný soubor"));
    if (st.st_size == 0)
        return FileState::Empty;
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw AppError(message("Archiv kol „%1“ nelze otevřít: ") + systemText(errno));
    char head[kHeaderSize];
    const ssize_t n = ::read(fd, head, sizeof head);
    const int err = errno;
    ::close(fd);
    if (n < 0)
        throw AppError(message("Archiv kol „%1“ nelze otevřít: ") + systemText(err));
    if (n < kHeaderSize || std::memcmp(head, "SQLite format 3", 16) != 0)
        throw AppError(message("Soubor „%1“ není archiv kol: není to databáze SQLite"));
    if (header) {
        header->version = int(bigEndian32(head + 60));
        header->applicationId = bigEndian32(head + 68);
    }
    return FileState::Database;
}

void SqliteBackend::connect(bool forWriting) {
    QString options =
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    QString mode = QStringLiteral("mode=rwc");
    if (!forWriting) {
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        mode = QStringLiteral("mode=ro");
        // Reading a write-ahead-logged database needs its shared-memory file. Where the folder
        // refuses new files and there is none, no process has the archive open (one would
        // have made it), and the file is read as it stands, without locking.
        if (!writable(folder()) && !QFileInfo::exists(m_path + QStringLiteral("-shm")))
            mode += QStringLiteral("&immutable=1");
    }
    m_sql.open(QUrl::fromLocalFile(m_path).toString(QUrl::FullyEncoded) + u'?' + mode, options);
}

// Returns the schema version of an archive of ours, 0 for an empty database; raises for any
// other database.
int SqliteBackend::checkIdentity() {
    qint64 id = 0;
    int version = 0;
    bool empty = false;
    {
        // One statement, so that all three come from one state of a database that another
        // process may be creating.
        QSqlQuery q = m_sql.prepare(QStringLiteral(
            "SELECT (SELECT application_id FROM pragma_application_id), (SELECT user_version "
            "FROM pragma_user_version), (SELECT count(*) FROM sqlite_master)"));
        m_sql.exec(q);
        if (m_sql.next(q)) {
            id = q.value(0).toLongLong();
            version = q.value(1).toInt();
            empty = q.value(2).toInt() == 0;
        }
    }
    if (id == kApplicationId)
        return version;
    if (id == 0 && version == 0 && empty)
        return 0;
    m_sql.close();
    throw AppError(message("Soubor „%1“ není archiv kol: je to databáze jiného programu"));
}

std::optional<int> SqliteBackend::inspect(int known) {
    m_sql.close();
    Header header;
    if (fileState(&header) != FileState::Database)
        return std::nullopt;
    // What the header settles is settled without opening the file: a database that another
    // program marked as its own, or an archive of a newer version. With write-ahead logging
    // the file's header may lag behind the log, but ours never leaves an identity or a
    // version once given, so a lagging header can only say less.
    if (header.applicationId != kApplicationId && header.applicationId != 0)
        throw AppError(message("Soubor „%1“ není archiv kol: je to databáze jiného programu"));
    if (header.applicationId == kApplicationId && header.version > known)
        return header.version;
    SqlSession::FailureText failure(m_sql, message("Archiv kol „%1“ nelze otevřít"));
    connect(false);
    const int version = checkIdentity();
    if (version > known || passedCheck(m_path))
        return version;
    const FileIdentity identity = identityOf(m_path);
    QString verdict;
    {
        QSqlQuery check = m_sql.prepare(QStringLiteral("PRAGMA quick_check"));
        m_sql.exec(check);
        if (m_sql.next(check))
            verdict = check.value(0).toString();
    }
    if (verdict != QLatin1String("ok")) {
        m_sql.close();
        throw AppError(message("Archiv kol „%1“ je poškozený: ") + verdict);
    }
    recordCheck(m_path, identity);
    return version;
}

QString SqliteBackend::whyNotWritable() const {
    const QString dir = folder();
    const QString nativeDir = QDir::toNativeSeparators(dir);
    if (fileState() == FileState::Missing) {
        if (!QFileInfo(dir).isDir())
            return m_makeFolder ? QString()
                                : QStringLiteral("složka „%1“ neexistuje").arg(nativeDir);
    } else if (!writable(m_path)) {
        return QStringLiteral("soubor je jen pro čtení");
    }
    // A writer's log and shared memory go beside the archive.
    if (!writable(dir))
        return QStringLiteral("do složky „%1“ nelze zapisovat").arg(nativeDir);
    return {};
}

void SqliteBackend::connectForWriting() {
    const bool missing = fileState() == FileState::Missing;
    const QString reason = whyNotWritable();
    if (!reason.isEmpty())
        throw AppError((missing ? message("Archiv kol „%1“ nelze vytvořit: ")
                                : message("Do archivu kol „%1“ nelze zapisovat: ")) +
                       reason);
    if (missing && !QDir().mkpath(folder()))
        throw AppError(message("Archiv kol „%1“ nelze vytvořit: složku „%2“ nelze vytvořit",
                               QDir::toNativeSeparators(folder())));
    SqlSession::FailureText failure(m_sql, message("Archiv kol „%1“ nelze otevřít"));
    connect(true);
    checkIdentity();
    m_sql.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    useWriteAheadLog();
}

// The journal mode is kept in the file, so this switches a new archive only. The switch
// takes the database for itself for a moment and SQLite does not wait on the busy timeout
// for it: two programs creating the archive at once meet here, and one waits.
void SqliteBackend::useWriteAheadLog() {
    if (m_sql.value(QStringLiteral("PRAGMA journal_mode")).toString() == QLatin1String("wal"))
        return;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QSqlQuery q = m_sql.prepare(QStringLiteral("PRAGMA journal_mode = WAL"));
        if (q.exec())
            return; // a file system without shared memory keeps its rollback journal
        const bool busy = (q.lastError().nativeErrorCode().toInt() & 0xff) == 5;
        if (!busy || waited.elapsed() > kBusyTimeoutMs)
            m_sql.fail(q.lastError());
        QThread::msleep(20);
    }
}

QString SqliteBackend::backup(int version) {
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = QStringLiteral("%1.v%2-%3").arg(m_path).arg(version).arg(stamp);
    QString copy = base + QStringLiteral(".bak");
    for (int i = 2; QFileInfo::exists(copy); ++i)
        copy = QStringLiteral("%1-%2.bak").arg(base).arg(i);
    SqlSession::FailureText failure(
        m_sql, message("Kopii archivu kol „%1“ před převodem na novou verzi nelze vytvořit"));
    QSqlQuery vacuum = m_sql.prepare(QStringLiteral("VACUUM INTO ?"));
    vacuum.addBindValue(copy);
    m_sql.exec(vacuum);
    return QDir::toNativeSeparators(copy);
}

// Foreign keys are off while the steps run, so that a step may rebuild a table; they are
// checked as a whole before the commit.
void SqliteBackend::beginMigration() {
    m_sql.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    m_sql.exec(m_sql.dialect().beginWrite);
}

void SqliteBackend::commitMigration(int version) {
    m_sql.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
    m_sql.exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId));
    if (m_sql.value(QStringLiteral("PRAGMA foreign_key_check")).isValid())
        throw AppError(message("Archiv kol „%1“: po převodu neodpovídají odkazy mezi tabulkami"));
    m_sql.exec(QStringLiteral("COMMIT"));
    m_sql.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
}

void SqliteBackend::abortMigration() noexcept {
    m_sql.rollback();
    try {
        m_sql.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    } catch (const AppError&) {
        // Every connection for writing turns them on again when it opens.
    }
}

} // namespace

std::unique_ptr<ArchiveBackend> makeSqliteBackend(const ArchiveLocation& location) {
    return std::make_unique<SqliteBackend>(location);
}

} // namespace vel
