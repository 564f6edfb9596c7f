// The SQLite back-end: one file, its schema version in PRAGMA user_version and its identity
// in PRAGMA application_id; write-ahead logging, so that readers never wait for a writer and
// a write cut short leaves the last committed state; writers queue on the busy timeout.
// The file is looked at before the driver touches it, and read-only first, so that a wrong
// path never becomes a new archive and a file that is not an archive is never written. A new
// archive is made whole under a name of its own and then linked under its name, so that no
// program ever sees it half made. Paths reach the file system and SQLite as their very
// bytes (SqliteFiles.h).
#include "archive/ArchiveBackend.h"
#include "archive/SqliteFiles.h"

#include "data/Errors.h"
#include "data/FileNames.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vel {

namespace {

// "VELA" in PRAGMA application_id marks a database as an archive of rounds.
constexpr int kApplicationId = 0x56454C41;
constexpr int kBusyTimeoutMs = 10000;

int primaryCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : -1;
}

// The primary result codes of SQLite that a user can act on. SQLITE_CORRUPT (11) is the
// damaged archive, which has a message of its own.
QString sqliteCause(const QSqlError& error) {
    switch (primaryCode(error)) {
    case 3:  // SQLITE_PERM
    case 23: // SQLITE_AUTH
        return QStringLiteral("přístup odepřen");
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("archiv používá jiný program a neuvolnil jej včas");
    case 8: // SQLITE_READONLY
        return QStringLiteral("soubor archivu nebo jeho soubor -wal či -shm je jen pro čtení");
    case 10: // SQLITE_IOERR
        return QStringLiteral("chyba čtení nebo zápisu souboru");
    case 13: // SQLITE_FULL
        return QStringLiteral("disk je plný");
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("soubor archivu nebo jeho soubor -wal či -shm nelze otevřít");
    case 26: // SQLITE_NOTADB
        return QStringLiteral("soubor není databáze SQLite");
    }
    return {};
}

bool sqliteDamaged(const QSqlError& error) {
    return primaryCode(error) == 11; // SQLITE_CORRUPT
}

SqlDialect sqliteWithFailures() {
    SqlDialect d = sqliteDialect();
    d.explain = sqliteCause;
    d.damaged = sqliteDamaged;
    return d;
}

QString systemText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

class SqliteBackend : public ArchiveBackend {
public:
    explicit SqliteBackend(const ArchiveLocation& location)
        : ArchiveBackend(location.displayName(), sqliteWithFailures()), m_path(location.path),
          m_makeFolder(location.makeFolder) {}
    ~SqliteBackend() override { disconnect(); }

    std::optional<int> inspect() override;
    QString whyNotWritable() override;
    void connectForWriting(const std::vector<SchemaStep>& schema) override;
    void checkBeforeWriting() override;
    void written() override { rememberWhole(m_path, archiveFilesState(m_path)); }
    int schemaVersion() override {
        return m_sql.value(QStringLiteral("PRAGMA user_version")).toInt();
    }
    QString backup(int version) override;
    void beginMigration() override;
    void commitMigration(int version) override;
    void abortMigration() noexcept override;

private:
    enum class FileState { Missing, Database };
    // Whether there is a file and whether it is a SQLite database, from its first page, read
    // without SQLite; raises for anything else. The application id is the page's.
    FileState fileState(quint32* applicationId = nullptr) const;
    QString folder() const { return folderOfPath(m_path); }
    void connect(const QString& path, bool forWriting);
    void disconnect();
    void create(const std::vector<SchemaStep>& schema);
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

SqliteBackend::FileState SqliteBackend::fileState(quint32* applicationId) const {
    off_t size = 0;
    switch (pathKind(m_path, &size)) {
    case PathKind::Missing:
        return FileState::Missing;
    case PathKind::Error: {
        const QString reason = systemText(errno);
        throw AppError(message("Archiv kol „%1“ nelze otevřít: ") + reason);
    }
    case PathKind::Folder:
        throw AppError(message("„%1“ je složka, ne soubor archivu kol"));
    case PathKind::Other:
        throw AppError(message("Soubor „%1“ není archiv kol: není to obyčejný soubor"));
    case PathKind::File:
        break;
    }
    // An archive is never empty, not even while it is being made (create()).
    if (size == 0)
        throw AppError(message("Soubor „%1“ není archiv kol: je prázdný"));
    const int fd = ::open(nativeFileName(m_path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const QString reason = systemText(errno);
        throw AppError(message("Archiv kol „%1“ nelze otevřít: ") + reason);
    }
    char head[kHeaderSize];
    const ssize_t n = ::read(fd, head, sizeof head);
    const int err = errno;
    ::close(fd);
    if (n < 0)
        throw AppError(message("Archiv kol „%1“ nelze otevřít: ") + systemText(err));
    if (n < kHeaderSize || std::memcmp(head, "SQLite format 3", 16) != 0)
        throw AppError(message("Soubor „%1“ není archiv kol: není to databáze SQLite"));
    if (applicationId)
        *applicationId = bigEndian32(head + 68);
    return FileState::Database;
}

// SQLite never creates the archive here ("mode=rw"): only create() does, whole.
void SqliteBackend::connect(const QString& path, bool forWriting) {
    QString options =
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    QString mode = QStringLiteral("mode=rw");
    if (!forWriting) {
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        mode = QStringLiteral("mode=ro");
        // A reader has SQLite create the log and its shared memory (-wal, -shm) when they are
        // missing and the folder allows it, and they are then the reader's: one that may not
        // write the archive would lock its owner out of writing, and where the folder refuses
        // them the read fails. Without both no program is writing (a writer keeps them while
        // it has the archive open) and the file changes only when a writer folds the log in:
        // it is read as it stands, without locking. With both, SQLite reads them, the shared
        // memory read-only where it must.
        const bool bothLogFiles =
            pathExists(path + QStringLiteral("-wal")) && pathExists(path + QStringLiteral("-shm"));
        if ((!canWrite(path) || !canWrite(folderOfPath(path))) && !bothLogFiles)
            mode += QStringLiteral("&immutable=1");
    }
    m_sql.open(sqliteFileUri(path, mode), options);
}

// Closing the last connection folds the log into the file: a change of this process, which
// leaves an archive known to be whole as whole as it was.
void SqliteBackend::disconnect() {
    if (!m_sql.isOpen())
        return;
    const bool whole = knownWhole(m_path);
    m_sql.close();
    if (whole)
        rememberWhole(m_path, archiveFilesState(m_path));
}

// Returns the schema version of an archive of ours, 0 for an empty database; raises for any
// other database.
int SqliteBackend::checkIdentity() {
    qint64 id = 0;
    int version = 0;
    bool empty = false;
    {
        // One statement, so that all three come from one state of the database.
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

std::optional<int> SqliteBackend::inspect() {
    disconnect();
    quint32 applicationId = 0;
    if (fileState(&applicationId) == FileState::Missing)
        return std::nullopt;
    // A database that another program marked as its own is settled by its first page. With
    // write-ahead logging the page may lag behind the log, but ours never leaves an identity
    // once given, so a lagging page can only say less.
    if (applicationId != kApplicationId && applicationId != 0)
        throw AppError(message("Soubor „%1“ není archiv kol: je to databáze jiného programu"));
    SqlSession::FailureText failure(m_sql, message("Archiv kol „%1“ nelze otevřít"));
    connect(m_path, false);
    return checkIdentity();
}

QString SqliteBackend::whyNotWritable() {
    const QString dir = folder();
    const QString nativeDir = QDir::toNativeSeparators(dir);
    if (fileState() == FileState::Missing) {
        if (pathKind(dir) != PathKind::Folder)
            return m_makeFolder ? QString()
                                : QStringLiteral("složka „%1“ neexistuje").arg(nativeDir);
    } else if (!canWrite(m_path)) {
        return QStringLiteral("soubor je jen pro čtení");
    }
    // A writer's log and shared memory go beside the archive.
    if (!canWrite(dir))
        return QStringLiteral("do složky „%1“ nelze zapisovat").arg(nativeDir);
    return {};
}

void SqliteBackend::connectForWriting(const std::vector<SchemaStep>& schema) {
    disconnect();
    const bool missing = fileState() == FileState::Missing;
    const QString reason = whyNotWritable();
    if (!reason.isEmpty())
        throw AppError((missing ? message("Archiv kol „%1“ nelze vytvořit: ")
                                : message("Do archivu kol „%1“ nelze zapisovat: ")) +
                       reason);
    if (missing)
        create(schema);
    SqlSession::FailureText failure(m_sql, message("Archiv kol „%1“ nelze otevřít"));
    fileState(); // ours, or what another program put there first
    connect(m_path, true);
    checkIdentity();
    m_sql.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
}

// The archive is made with its tables and write-ahead logging in a file of its own, closed
// (which folds the log in and removes it), flushed and only then linked under its name; when
// another program has made it first meanwhile, its archive is used.
void SqliteBackend::create(const std::vector<SchemaStep>& schema) {
    const QString cannot = message("Archiv kol „%1“ nelze vytvořit");
    if (m_makeFolder)
        if (const int err = makeFolders(folder()))
            throw AppError(message("Archiv kol „%1“ nelze vytvořit: složku „%2“ nelze vytvořit",
                                   QDir::toNativeSeparators(folder())) +
                           QStringLiteral(" (%1)").arg(systemText(err)));
    bool placed = false;
    {
        NewArchiveFile file(m_path);
        if (file.error())
            throw AppError(cannot + QStringLiteral(": ") + systemText(file.error()));
        {
            SqlSession::FailureText failure(m_sql, cannot);
            connect(file.path(), true);
            useWriteAheadLog();
            migrateSchema(*this, schema);
            m_sql.close();
        }
        if (file.hasLogFiles())
            throw AppError(cannot + QStringLiteral(": nový soubor nelze dokončit"));
        if (const int err = file.place(&placed))
            throw AppError(cannot + QStringLiteral(": ") + systemText(err));
    }
    if (placed)
        rememberWhole(m_path, archiveFilesState(m_path));
}

// PRAGMA quick_check reads the whole file, about 3 ms a megabyte, so it runs before writing
// only, and not again while the files are as the last check or this process's own writes
// left them. A read that meets damage fails with the same message.
void SqliteBackend::checkBeforeWriting() {
    if (!knownWhole(m_path)) {
        const ArchiveFilesState state = archiveFilesState(m_path);
        QString verdict;
        {
            QSqlQuery check = m_sql.prepare(QStringLiteral("PRAGMA quick_check(1)"));
            m_sql.exec(check);
            if (m_sql.next(check))
                verdict = check.value(0).toString();
        }
        if (verdict != QLatin1String("ok"))
            throw AppError(m_sql.damagedMessage());
        rememberWhole(m_path, state);
    }
    useWriteAheadLog();
}

// The journal mode is kept in the file, so this switches a new archive only (or one that a
// tool switched back). The switch takes the database for itself for a moment and SQLite does
// not wait on the busy timeout for it: two programs meeting here take turns.
void SqliteBackend::useWriteAheadLog() {
    if (m_sql.value(QStringLiteral("PRAGMA journal_mode")).toString() == QLatin1String("wal"))
        return;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QSqlQuery q = m_sql.prepare(QStringLiteral("PRAGMA journal_mode = WAL"));
        if (q.exec())
            return; // a file system without shared memory keeps its rollback journal
        if (primaryCode(q.lastError()) != 5 || waited.elapsed() > kBusyTimeoutMs)
            m_sql.fail(q.lastError());
        QThread::msleep(20);
    }
}

QString SqliteBackend::backup(int version) {
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = QStringLiteral("%1.v%2-%3").arg(m_path, QString::number(version), stamp);
    QString copy = base + QStringLiteral(".bak");
    for (int i = 2; pathExists(copy); ++i)
        copy = QStringLiteral("%1-%2.bak").arg(base, QString::number(i));
    SqlSession::FailureText failure(
        m_sql, message("Kopii archivu kol „%1“ před převodem na novou verzi nelze vytvořit"));
    QSqlQuery vacuum = m_sql.prepare(QStringLiteral("VACUUM INTO ?"));
    vacuum.addBindValue(sqliteFileUri(copy));
    m_sql.exec(vacuum);
    return QDir::toNativeSeparators(copy);
}

// Foreign keys are off while the steps run, so that a step may rebuild a table; they are
// checked as a whole before the commit.
void SqliteBackend::beginMigration() {
    m_sql.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    m_sql.exec(m_sql.dialect().beginWrite.front());
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
