#include "data/FileIo.h"

#include "data/Errors.h"
#include "data/FileNames.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vel {

namespace {

QByteArray nativePath(const QString& path) {
    return nativeFileName(path);
}

// Closes a descriptor on every way out.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    int release() {
        int f = fd;
        fd = -1;
        return f;
    }
};

[[noreturn]] void raiseIo(int err, const QString& path) {
    throw AppError(ioMessage(err, path));
}

// Whether reading or writing fd could wait for another program: a pipe, a socket or a
// terminal.
bool couldWait(int fd, const struct stat& st) {
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || ::isatty(fd);
}

void setBlocking(int fd) {
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_NONBLOCK))
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

// A failure of writeWholeFile: whether the file could not be created, or not written.
struct WriteFailure {
    bool creating;
    int err;
};

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

// Writes over an existing file or device without a temporary file. A regular file gets
// its new size reserved before the first byte changes and its length set only after the
// data is written; nothing is truncated or created here. A pipe is written without
// waiting: one that nobody reads fails at the open with ENXIO, one whose reader does not
// keep up fails with EAGAIN.
void writeInPlace(const QByteArray& target, const QByteArray& data, Links links) {
    int flags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (links == Links::Replace)
        flags |= O_NOFOLLOW;
    Fd f{::open(target.constData(), flags)};
    if (f.fd < 0)
        throw WriteFailure{true, errno};
    struct stat st {};
    if (::fstat(f.fd, &st) != 0)
        throw WriteFailure{true, errno};
    if (S_ISSOCK(st.st_mode) || ::isatty(f.fd))
        throw WriteFailure{true, EACCES};
    if (!S_ISFIFO(st.st_mode))
        setBlocking(f.fd);
    if (S_ISREG(st.st_mode)) {
        // The system call, not posix_fallocate(): the C library's stand-in for file
        // systems without it reads the file, which a descriptor opened for writing only
        // cannot. Such file systems (EOPNOTSUPP, ENOSYS, EINVAL) are written unreserved.
        if (!data.isEmpty() && ::fallocate(f.fd, 0, 0, off_t(data.size())) != 0 &&
            errno != EOPNOTSUPP && errno != ENOSYS && errno != EINVAL)
            throw WriteFailure{false, errno};
        writeAll(f.fd, data);
        if (::ftruncate(f.fd, off_t(data.size())) != 0 || ::fsync(f.fd) != 0)
            throw WriteFailure{false, errno};
    } else {
        writeAll(f.fd, data);
    }
    closeOrFail(f);
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
void syncFolder(const QByteArray& target) {
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray folder = slash < 0    ? QByteArray(".")
                        : slash == 0 ? QByteArray("/")
                                     : target.left(slash);
    Fd d{::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (d.fd >= 0)
        ::fsync(d.fd);
}

// The folder refuses a new file, or the old file cannot be replaced by another.
bool refusedByFolder(int err) {
    return err == EACCES || err == EPERM || err == EROFS;
}

void writeOrFail(const QString& path, const QByteArray& data, Links links) {
    QByteArray target = nativePath(path);
    struct stat st {};
    bool exists = false;
    if (links == Links::Replace)
        exists = ::lstat(target.constData(), &st) == 0 && !S_ISLNK(st.st_mode);
    else
        exists = ::stat(target.constData(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode))
            throw WriteFailure{true, EISDIR};
        if (S_ISSOCK(st.st_mode))
            throw WriteFailure{true, EACCES};
        if (::access(target.constData(), W_OK) != 0)
            throw WriteFailure{true, errno};
        if (!S_ISREG(st.st_mode)) // a device or a pipe
            return writeInPlace(target, data, links);
        if (links == Links::Follow) {
            // Write through a symbolic link to the file it names.
            if (char* real = ::realpath(target.constData(), nullptr)) {
                target = real;
                std::free(real);
            }
        }
    }
    QByteArray tmpl = tempTemplate(target);
    Fd f{::mkostemp(tmpl.data(), O_CLOEXEC)};
    if (f.fd < 0) {
        // A folder we may not create files in can still hold a file we may write. On a
        // full disk or a name too long there is no such way out: the old file stays.
        // (On a read-only file system the in-place open fails with EROFS before it
        // changes anything.)
        int e = errno;
        if (exists && refusedByFolder(e))
            return writeInPlace(target, data, links);
        throw WriteFailure{true, e};
    }
    try {
        writeAll(f.fd, data);
        if (::fchmod(f.fd, exists ? (st.st_mode & 07777) : newFileMode()) != 0 ||
            ::fsync(f.fd) != 0)
            throw WriteFailure{false, errno};
        closeOrFail(f);
    } catch (const WriteFailure&) {
        ::unlink(tmpl.constData());
        throw;
    }
    if (::rename(tmpl.constData(), target.constData()) != 0) {
        int e = errno;
        ::unlink(tmpl.constData());
        // Another user's file in a folder with the sticky bit: it may be written, not
        // replaced.
        if (exists && refusedByFolder(e))
            return writeInPlace(target, data, links);
        throw WriteFailure{true, e};
    }
    syncFolder(target);
}

} // namespace

QString ioMessage(int err, const QString& path) {
    switch (err) {
    case ENOENT:
    case ENOTDIR: {
        // The folder of the name, as bytes: the name need not be valid UTF-8.
        QByteArray folder = nativePath(path);
        const qsizetype slash = folder.lastIndexOf('/');
        folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : folder.left(slash);
        struct stat st {};
        if (::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return QStringLiteral("Invalid filename");
        return QStringLiteral("File not found");
    }
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
        return QStringLiteral("File access denied");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Disk full");
    case ENAMETOOLONG:
        return QStringLiteral("Invalid filename");
    default:
        return QStringLiteral("I/O error %1").arg(err);
    }
}

QByteArray readRecord(const QString& path, qsizetype size) {
    if (path.isEmpty())
        raiseIo(ENOENT, path);
    // Opened without waiting for a writer; what could wait is then refused. A socket
    // cannot be opened at all (ENXIO) and is refused the same way.
    Fd f{::open(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (f.fd < 0)
        raiseIo(errno == ENXIO ? EACCES : errno, path);
    struct stat st {};
    if (::fstat(f.fd, &st) != 0)
        raiseIo(errno, path);
    if (couldWait(f.fd, st))
        raiseIo(EACCES, path);
    setBlocking(f.fd);
    QByteArray buf(size, 0);
    qsizetype got = 0;
    while (got < size) {
        ssize_t n = ::read(f.fd, buf.data() + got, size_t(size - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            raiseIo(errno, path);
        }
        if (n == 0)
            throw AppError(QStringLiteral("Read beyond end of file"));
        got += n;
    }
    if (::close(f.release()) != 0)
        raiseIo(errno, path);
    return buf;
}

QString cannotCreateFileMessage(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason);
}

void writeWholeFile(const QString& path, const QByteArray& data, WriteErrors style, Links links) {
    try {
        if (path.isEmpty())
            throw WriteFailure{true, ENOENT};
        writeOrFail(path, data, links);
    } catch (const WriteFailure& f) {
        if (style == WriteErrors::Io)
            raiseIo(f.err, path);
        if (f.creating || style == WriteErrors::Named)
            throw AppError(
                cannotCreateFileMessage(path, QString::fromLocal8Bit(std::strerror(f.err))));
        throw AppError(QStringLiteral("Stream write error"));
    }
}

} // namespace vel
