#pragma once
// The POSIX pieces shared by the file reading and writing of FileIo.

#include "data/FileNames.h"

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <unistd.h>

namespace vel {

// The name's bytes: a name that is not valid UTF-8 keeps them (FileNames.h).
inline QByteArray nativePath(const QString& path) {
    return nativeFileName(path);
}

// Closes a descriptor on every way out.
struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int f) : fd(f) {}
    Fd(Fd&& o) noexcept : fd(o.release()) {}
    Fd& operator=(Fd&& o) noexcept {
        if (this != &o) {
            reset();
            fd = o.release();
        }
        return *this;
    }
    ~Fd() { reset(); }
    void reset() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    int release() {
        int f = fd;
        fd = -1;
        return f;
    }
};

inline void setBlocking(int fd) {
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_NONBLOCK))
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

// The folder part of a native path ("." for a bare name) and its last part.
inline QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}
inline QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// The path with every symbolic link on it followed, the last part included: the canonical
// path of what is there, or when nothing is there yet (a dangling link followed to the end)
// the canonical folder plus the name. Where a folder on the way is missing, links go round
// in a loop or what is there has no path of its own, the path reached so far.
QByteArray resolvedPath(QByteArray path);

} // namespace vel
