#include "archive/SqliteFiles.h"

#include "data/FileNames.h"

#include <QHash>
#include <QMutex>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vel {

QString sqliteFileUri(const QString& path, const QString& query) {
    static const char hex[] = "0123456789ABCDEF";
    QByteArray uri = "file://";
    for (const char c : nativeFileName(path)) {
        const auto b = uchar(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
            b == '-' || b == '.' || b == '_' || b == '~' || b == '/') {
            uri += char(b);
        } else {
            uri += '%';
            uri += hex[b >> 4];
            uri += hex[b & 15];
        }
    }
    if (!query.isEmpty())
        uri += '?' + query.toLatin1();
    return QString::fromLatin1(uri);
}

PathKind pathKind(const QString& path, off_t* size) {
    struct stat st {};
    if (::stat(nativeFileName(path).constData(), &st) != 0)
        return errno == ENOENT ? PathKind::Missing : PathKind::Error;
    if (size)
        *size = st.st_size;
    return S_ISDIR(st.st_mode)   ? PathKind::Folder
           : S_ISREG(st.st_mode) ? PathKind::File
                                 : PathKind::Other;
}

bool pathExists(const QString& path) {
    struct stat st {};
    return ::lstat(nativeFileName(path).constData(), &st) == 0;
}

bool canWrite(const QString& path) {
    return ::access(nativeFileName(path).constData(), W_OK) == 0;
}

QString folderOfPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

int makeFolders(const QString& folder) {
    const QByteArray native = nativeFileName(folder);
    for (qsizetype from = 1; from <= native.size();) {
        qsizetype slash = native.indexOf('/', from);
        if (slash < 0)
            slash = native.size();
        const QByteArray part = native.left(slash);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return errno;
        from = slash + 1;
    }
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

namespace {

ArchiveFilesState::Stamp stampOf(const QByteArray& native) {
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return {};
    return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

QMutex wholeLock;
QHash<QString, ArchiveFilesState> whole;

} // namespace

ArchiveFilesState archiveFilesState(const QString& path) {
    const QByteArray native = nativeFileName(path);
    ArchiveFilesState state{stampOf(native), stampOf(native + "-wal")};
    // An empty log holds nothing: a reader makes one where there was none.
    if (state.log.size == 0)
        state.log = {};
    return state;
}

bool knownWhole(const QString& path) {
    const QMutexLocker lock(&wholeLock);
    const auto it = whole.constFind(path);
    return it != whole.constEnd() && *it == archiveFilesState(path);
}

void rememberWhole(const QString& path, const ArchiveFilesState& state) {
    const QMutexLocker lock(&wholeLock);
    whole.insert(path, state);
}

void forgetWhole(const QString& path) {
    const QMutexLocker lock(&wholeLock);
    whole.remove(path);
}

// The new file is named like the target, hidden, with a random ending; the name is cut so
// that SQLite's "-wal" and "-shm" beside it still fit in a file name.
NewArchiveFile::NewArchiveFile(const QString& target) : m_target(nativeFileName(target)) {
    const qsizetype slash = m_target.lastIndexOf('/');
    QByteArray name = m_target.mid(slash + 1);
    const qsizetype room = NAME_MAX - 1 - 7 - 4;
    if (name.size() > room) {
        qsizetype cut = room;
        while (cut > 0 && (uchar(name.at(cut)) & 0xC0) == 0x80) // a UTF-8 continuation byte
            --cut;
        name.truncate(cut);
    }
    const QByteArray base = m_target.left(slash + 1) + '.' + name + '.';
    for (int attempt = 0; attempt < 100; ++attempt) {
        char ending[8];
        std::snprintf(ending, sizeof ending, "%06x",
                      unsigned(QRandomGenerator::global()->bounded(0x1000000)));
        const QByteArray candidate = base + ending;
        // The mode SQLite gives the files it creates, less the user's umask.
        m_fd = ::open(candidate.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (m_fd >= 0) {
            m_native = candidate;
            m_path = fileNameFromNative(candidate);
            return;
        }
        if (errno != EEXIST)
            break;
    }
    m_error = errno;
}

NewArchiveFile::~NewArchiveFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_native.isEmpty())
        return;
    for (const char* suffix : {"-wal", "-shm", ""})
        ::unlink((m_native + suffix).constData());
}

bool NewArchiveFile::hasLogFiles() const {
    struct stat st {};
    return ::lstat((m_native + "-wal").constData(), &st) == 0 ||
           ::lstat((m_native + "-shm").constData(), &st) == 0;
}

int NewArchiveFile::place(bool* placed) {
    *placed = false;
    if (::fsync(m_fd) != 0)
        return errno;
    // A link fails when the name is taken, where a rename would replace what is there. A
    // file system without hard links (FAT) may still refuse to replace in a rename.
    if (::link(m_native.constData(), m_target.constData()) == 0) {
        *placed = true;
    } else if (errno == EEXIST) {
        return 0;
    } else if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS) {
        if (::renameat2(AT_FDCWD, m_native.constData(), AT_FDCWD, m_target.constData(),
                        RENAME_NOREPLACE) != 0)
            return errno == EEXIST ? 0 : errno;
        *placed = true;
        m_native.clear();
    } else {
        return errno;
    }
    // The folder's list of names, so that the new name survives a power cut.
    const int folder =
        ::open(m_target.left(std::max<qsizetype>(m_target.lastIndexOf('/'), 1)).constData(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return 0;
}

} // namespace vel
