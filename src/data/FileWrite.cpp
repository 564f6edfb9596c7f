// Writing whole files: each new file reaches the disk beside its target first and takes its
// place only when all files written together are complete (see StagedFiles in FileIo.h).
#include "data/Errors.h"
#include "data/FileDescriptor.h"
#include "data/FileIo.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace vel {

namespace {

// A failure of a write: whether the file could not be created, or not written.
struct WriteFailure {
    bool creating;
    int err;
};

[[noreturn]] void raise(const WriteFailure& f, const QString& path, WriteErrors style) {
    if (style == WriteErrors::Io)
        throw AppError(ioMessage(f.err, path));
    if (f.creating || style == WriteErrors::Named)
        throw AppError(cannotCreateFileMessage(path, QString::fromLocal8Bit(std::strerror(f.err))));
    throw AppError(QStringLiteral("Stream write error"));
}

void writeAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw WriteFailure{false, errno};
        }
        p += n;
        left -= n;
    }
}

void closeOrFail(Fd& f) {
    if (::close(f.release()) != 0)
        throw WriteFailure{false, errno};
}

// Mode of a newly created file: what open() would give under the process's umask.
mode_t newFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Template of the temporary file beside target: ".<name>.XXXXXX", with the name cut short
// (at the start of a character) where the whole would not fit in a file name.
QByteArray tempTemplate(const QByteArray& target) {
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray folder = target.left(slash + 1);
    QByteArray name = target.mid(slash + 1);
    const QByteArray suffix = ".XXXXXX";
    const qsizetype room = NAME_MAX - 1 - suffix.size();
    if (name.size() > room) {
        qsizetype cut = room;
        while (cut > 0 && (uchar(name.at(cut)) & 0xC0) == 0x80) // a UTF-8 continuation byte
            --cut;
        name.truncate(cut);
    }
    return folder + '.' + name + suffix;
}

// Flushes a folder's list of names, so that a rename in it survives a power cut.
void syncFolder(const QByteArray& folder) {
    Fd d{::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (d.fd >= 0)
        ::fsync(d.fd);
}

// The folder refuses a new file, or the old file cannot be replaced by another.
bool refusedByFolder(int err) {
    return err == EACCES || err == EPERM || err == EROFS;
}

// Another user's file in a folder with the sticky bit that is not ours either: we may
// write it but not replace it (root may).
bool stickyForUs(const QByteArray& target, const struct stat& st) {
    struct stat folder {};
    const uid_t me = ::geteuid();
    return me != 0 && st.st_uid != me && ::stat(folderOf(target).constData(), &folder) == 0 &&
           (folder.st_mode & S_ISVTX) && folder.st_uid != me;
}

} // namespace

// One file of a StagedFiles: a complete temporary file waiting for its rename, or a file
// opened to be written in place.
struct StagedFiles::Entry {
    QString path;        // as the caller gave it, for the messages
    QByteArray target;   // what is replaced or written
    QByteArray temp;     // the temporary file; empty when written in place
    Fd fd;               // written in place: open for writing
    bool stream = false; // written in place: a device, a pipe or a terminal
    QByteArray data;     // the contents, for a file written in place after all
    Links links = Links::Follow;
};

namespace {

// Opens an existing file, device, pipe or terminal to be written in place; a regular file
// gets room for size bytes reserved, its contents and length untouched. A pipe is opened
// without waiting: one that nobody reads fails with ENXIO.
Fd openInPlace(const QByteArray& target, qsizetype size, Links links, Waiting waiting,
               bool* stream) {
    int flags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (links == Links::Replace)
        flags |= O_NOFOLLOW;
    Fd f{::open(target.constData(), flags)};
    if (f.fd < 0)
        throw WriteFailure{true, errno};
    struct stat st {};
    if (::fstat(f.fd, &st) != 0)
        throw WriteFailure{true, errno};
    if (S_ISSOCK(st.st_mode) || (::isatty(f.fd) && waiting == Waiting::Never))
        throw WriteFailure{true, EACCES};
    *stream = !S_ISREG(st.st_mode);
    if (!S_ISFIFO(st.st_mode) || waiting == Waiting::ForReader)
        setBlocking(f.fd);
    // The system call, not posix_fallocate(): the C library's stand-in for file systems
    // without it reads the file, which a descriptor opened for writing only cannot. Such
    // file systems (EOPNOTSUPP, ENOSYS, EINVAL) are written unreserved.
    if (!*stream && size > 0 && ::fallocate(f.fd, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS && errno != EINVAL)
        throw WriteFailure{false, errno};
    return f;
}

// Writes a file opened by openInPlace(). A regular file gets its length set only after the
// data is written; nothing is truncated before.
void writeInPlace(Fd& f, bool stream, const QByteArray& data) {
    writeAll(f.fd, data);
    if (!stream && (::ftruncate(f.fd, off_t(data.size())) != 0 || ::fsync(f.fd) != 0))
        throw WriteFailure{false, errno};
    closeOrFail(f);
}

} // namespace

StagedFiles::StagedFiles(WriteErrors style, Links links, Waiting waiting)
    : m_style(style), m_links(links), m_waiting(waiting) {}

StagedFiles::~StagedFiles() {
    for (const auto& e : m_entries)
        if (!e->temp.isEmpty())
            ::unlink(e->temp.constData());
}

void StagedFiles::add(const QString& path, const QByteArray& data) {
    add(path, data, m_links);
}

void StagedFiles::add(const QString& path, const QByteArray& data, Links links) {
    auto e = std::make_unique<Entry>();
    e->path = path;
    e->data = data; // shared, not copied
    e->links = links;
    try {
        if (path.isEmpty())
            throw WriteFailure{true, ENOENT};
        e->target = links == Links::Follow ? resolvedPath(nativePath(path)) : nativePath(path);
        const char* target = e->target.constData();
        struct stat st {};
        const bool exists = links == Links::Replace
                                ? ::lstat(target, &st) == 0 && !S_ISLNK(st.st_mode)
                                : ::stat(target, &st) == 0;
        bool inPlace = false;
        if (exists) {
            if (S_ISDIR(st.st_mode))
                throw WriteFailure{true, EISDIR};
            if (S_ISSOCK(st.st_mode))
                throw WriteFailure{true, EACCES};
            if (::access(target, W_OK) != 0)
                throw WriteFailure{true, errno};
            inPlace = !S_ISREG(st.st_mode) || stickyForUs(e->target, st);
        }
        QByteArray tmpl = tempTemplate(e->target);
        Fd f;
        if (!inPlace) {
            f = Fd{::mkostemp(tmpl.data(), O_CLOEXEC)};
            // A folder we may not create files in can still hold a file we may write. On
            // a full disk or a name too long there is no such way out: the old file stays.
            // (On a read-only file system the in-place open fails with EROFS before it
            // changes anything.)
            if (f.fd < 0 && !(exists && refusedByFolder(errno)))
                throw WriteFailure{true, errno};
            inPlace = f.fd < 0;
        }
        if (inPlace) {
            e->fd = openInPlace(e->target, data.size(), links, m_waiting, &e->stream);
        } else {
            e->temp = tmpl;
            writeAll(f.fd, data);
            if (::fchmod(f.fd, exists ? (st.st_mode & 07777) : newFileMode()) != 0 ||
                ::fsync(f.fd) != 0)
                throw WriteFailure{false, errno};
            closeOrFail(f);
        }
    } catch (const WriteFailure& f) {
        if (!e->temp.isEmpty())
            ::unlink(e->temp.constData());
        raise(f, path, m_style);
    }
    m_entries.push_back(std::move(e));
}

void StagedFiles::commit(const std::function<void()>& beforeRenames) {
    Entry* current = nullptr;
    try {
        // What cannot be taken back goes first, while every file is still as it was.
        for (const bool streams : {true, false})
            for (const auto& e : m_entries)
                if (e->fd.fd >= 0 && e->stream == streams) {
                    current = e.get();
                    writeInPlace(e->fd, e->stream, e->data);
                }
        current = nullptr;
        if (beforeRenames)
            beforeRenames(); // its errors leave every renamed file as it was
        std::set<QByteArray> folders;
        for (const auto& e : m_entries) {
            if (e->temp.isEmpty())
                continue;
            current = e.get();
            const QByteArray temp = std::exchange(e->temp, QByteArray());
            const int renamed = ::rename(temp.constData(), e->target.constData());
            const int err = errno;
            if (renamed == 0) {
                folders.insert(folderOf(e->target));
                continue;
            }
            ::unlink(temp.constData());
            // A file that may be written but not replaced, where add() could not tell.
            if (!refusedByFolder(err) || ::access(e->target.constData(), F_OK) != 0)
                throw WriteFailure{true, err};
            e->fd = openInPlace(e->target, e->data.size(), e->links, m_waiting, &e->stream);
            writeInPlace(e->fd, e->stream, e->data);
        }
        for (const QByteArray& folder : folders)
            syncFolder(folder);
    } catch (const WriteFailure& f) {
        raise(f, current ? current->path : QString(), m_style);
    }
    m_entries.clear();
}

void writeWholeFile(const QString& path, const QByteArray& data, WriteErrors style, Links links) {
    StagedFiles files(style, links);
    files.add(path, data);
    files.commit();
}

} // namespace vel
