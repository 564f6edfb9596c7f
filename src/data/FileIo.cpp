#include "data/FileIo.h"

#include "data/Errors.h"
#include "data/FileDescriptor.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace vel {

namespace {

[[noreturn]] void raiseIo(int err, const QString& path) {
    throw AppError(ioMessage(err, path));
}

// Whether reading or writing fd could wait for another program: a pipe, a socket or a
// terminal.
bool couldWait(int fd, const struct stat& st) {
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || ::isatty(fd);
}

} // namespace

QString ioMessage(int err, const QString& path) {
    switch (err) {
    case ENOENT:
    case ENOTDIR: {
        // The folder of the name, as bytes: the name need not be valid UTF-8.
        struct stat st {};
        const QByteArray folder = folderOf(nativePath(path));
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

namespace {
// Reads up to `size` bytes of a file opened read-only; fewer only where the file ends first.
QByteArray readUpTo(const QString& path, qsizetype size) {
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
            break;
        got += n;
    }
    if (::close(f.release()) != 0)
        raiseIo(errno, path);
    buf.truncate(got);
    return buf;
}
} // namespace

QByteArray readRecord(const QString& path, qsizetype size) {
    QByteArray buf = readUpTo(path, size);
    if (buf.size() < size)
        throw AppError(QStringLiteral("Read beyond end of file"));
    return buf;
}

QByteArray readSmallFile(const QString& path, qsizetype limit) {
    QByteArray buf = readUpTo(path, limit + 1);
    if (buf.size() > limit)
        throw AppError(QStringLiteral("Soubor „%1“ je větší než %2 bajtů.").arg(path).arg(limit));
    return buf;
}

QString cannotCreateFileMessage(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason);
}

QByteArray resolvedPath(QByteArray path) {
    // As many links as the system follows in one path before it gives up with ELOOP.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::stat(path.constData(), &st) == 0) {
            // Something is there: its canonical path, or where it has none (a pipe named
            // through /proc, as /dev/stdout is) the path, which the system follows.
            char* real = ::realpath(path.constData(), nullptr);
            if (real) {
                path = real;
                std::free(real);
            }
            return path;
        }
        // Nothing there yet: the canonical folder and the name; a dangling link leads on
        // to the name it holds.
        const QByteArray name = nameOf(path);
        if (name.isEmpty() || name == "." || name == "..")
            return path;
        char* real = ::realpath(folderOf(path).constData(), nullptr);
        if (!real)
            return path;
        QByteArray folder(real);
        std::free(real);
        if (!folder.endsWith('/'))
            folder += '/';
        path = folder + name;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(path.constData(), buf, sizeof buf);
        if (n < 0)
            return path; // not a link: nothing there at all
        const QByteArray to(buf, n);
        path = to.startsWith('/') ? to : folder + to; // relative to the link's folder
    }
    return path;
}

FileIdentity fileIdentity(const QString& path) {
    const QByteArray resolved = resolvedPath(nativePath(path));
    struct stat st {};
    if (::stat(resolved.constData(), &st) == 0)
        return {quint64(st.st_dev), quint64(st.st_ino), {}};
    if (::stat(folderOf(resolved).constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return {quint64(st.st_dev), quint64(st.st_ino), nameOf(resolved)};
    return {0, 0, nativePath(QDir::cleanPath(QFileInfo(path).absoluteFilePath()))};
}

} // namespace vel
