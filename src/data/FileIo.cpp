#include "data/FileIo.h"

#include "data/Errors.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vel {

namespace {

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
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

// A failure of writeWholeFile: whether the file could not be created, or not written.
struct WriteFailure {
    bool creating;
    int err;
};

bool writeAllTo(int fd, const QByteArray& data, int& err) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Writes over an existing file or device without a temporary file.
void writeInPlace(const QByteArray& target, const QByteArray& data) {
    Fd f{::open(target.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC)};
    if (f.fd < 0)
        throw WriteFailure{true, errno};
    int err = 0;
    if (!writeAllTo(f.fd, data, err))
        throw WriteFailure{false, err};
    if (::close(f.release()) != 0)
        throw WriteFailure{false, errno};
}

// Mode of a newly created file: what open() would give under the process's umask.
mode_t newFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void writeOrFail(const QString& path, const QByteArray& data) {
    QByteArray target = nativePath(path);
    struct stat st {};
    bool exists = ::stat(target.constData(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode))
            throw WriteFailure{true, EISDIR};
        if (::access(target.constData(), W_OK) != 0)
            throw WriteFailure{true, errno};
        if (!S_ISREG(st.st_mode)) // a device or a pipe
            return writeInPlace(target, data);
        // Write through a symbolic link to the file it names.
        QString canonical = QFileInfo(path).canonicalFilePath();
        if (!canonical.isEmpty())
            target = nativePath(canonical);
    }
    QFileInfo info(QFile::decodeName(target));
    QByteArray tmpl = nativePath(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                 QStringLiteral(".XXXXXX"));
    Fd f{::mkstemp(tmpl.data())};
    if (f.fd < 0) {
        // A folder we may not create files in can still hold a file we may replace.
        if (exists)
            return writeInPlace(target, data);
        throw WriteFailure{true, errno};
    }
    int err = 0;
    bool ok = writeAllTo(f.fd, data, err);
    if (ok && ::fchmod(f.fd, exists ? (st.st_mode & 07777) : newFileMode()) != 0) {
        ok = false;
        err = errno;
    }
    if (ok && ::close(f.release()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tmpl.constData());
        throw WriteFailure{false, err};
    }
    if (::rename(tmpl.constData(), target.constData()) != 0) {
        int e = errno;
        ::unlink(tmpl.constData());
        throw WriteFailure{true, e};
    }
}

} // namespace

QString ioMessage(int err, const QString& path) {
    switch (err) {
    case ENOENT:
    case ENOTDIR: {
        QFileInfo info(path);
        if (!info.absoluteDir().exists())
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
    Fd f{::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC)};
    if (f.fd < 0)
        raiseIo(errno, path);
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

void writeWholeFile(const QString& path, const QByteArray& data, WriteErrors style) {
    try {
        if (path.isEmpty())
            throw WriteFailure{true, ENOENT};
        writeOrFail(path, data);
    } catch (const WriteFailure& f) {
        if (style == WriteErrors::Io)
            raiseIo(f.err, path);
        if (f.creating)
            throw AppError(QStringLiteral("Cannot create file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                                    QString::fromLocal8Bit(std::strerror(f.err))));
        throw AppError(QStringLiteral("Stream write error"));
    }
}

} // namespace vel
