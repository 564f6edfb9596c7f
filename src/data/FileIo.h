#pragma once
// Reading and writing whole files with the program's error messages. Nothing here ever
// waits on a file: named pipes, sockets and terminals are refused or fail at once.

#include <QByteArray>
#include <QString>

namespace vel {

// Message of a system error code met while opening, reading or writing path:
// "File not found", "Invalid filename" (a folder of the path does not exist),
// "Too many open files", "File access denied", "Disk full" or "I/O error %d".
QString ioMessage(int err, const QString& path);

// Reads the first `size` bytes of a file opened read-only. A shorter file raises
// "Read beyond end of file"; system errors raise ioMessage(). A named pipe, a socket or a
// terminal raises "File access denied" instead of waiting for data.
QByteArray readRecord(const QString& path, qsizetype size);

// "Cannot create file "<the path, absolute, in native form>". <reason>".
QString cannotCreateFileMessage(const QString& path, const QString& reason);

// How a failed write is reported.
enum class WriteErrors {
    Io,     // the messages of ioMessage()
    Stream, // "Cannot create file "%s". %s" and "Stream write error"
    Named,  // "Cannot create file "%s". %s" for every failure, with the system's reason
};

// What a write does with a symbolic link at the path.
enum class Links {
    Follow,  // writes the file the link names (a name the user chose)
    Replace, // replaces the link itself, live or dangling, by a regular file (a name the
             // program chose, which must never send the data somewhere else)
};

// Replaces the file with data atomically: the new contents reach the disk in a temporary
// file beside it, which then takes the file's place, so a write that fails part-way leaves
// the previous file whole. Where the folder refuses new files or the file cannot be
// replaced (a folder with the sticky bit), the file is overwritten in place, with its new
// size reserved first, so a full disk fails before the old contents are touched.
// A device such as /dev/full is written in place, never replaced. A named pipe nobody
// reads fails with ENXIO; sockets and terminals are refused.
void writeWholeFile(const QString& path, const QByteArray& data, WriteErrors style,
                    Links links = Links::Follow);

} // namespace vel
