#pragma once
// Reading and writing whole files with the program's error messages.

#include <QByteArray>
#include <QString>

namespace vel {

// Message of a system error code met while opening, reading or writing path:
// "File not found", "Invalid filename" (a folder of the path does not exist),
// "Too many open files", "File access denied", "Disk full" or "I/O error %d".
QString ioMessage(int err, const QString& path);

// Reads the first `size` bytes of a file opened read-only. A shorter file raises
// "Read beyond end of file"; system errors raise ioMessage().
QByteArray readRecord(const QString& path, qsizetype size);

// How a failed write is reported.
enum class WriteErrors {
    Io,     // the messages of ioMessage()
    Stream, // "Cannot create file "%s". %s" and "Stream write error"
};

// Replaces the file with data atomically: a write that fails part-way leaves the previous
// file whole. A device such as /dev/full is written in place, never replaced.
void writeWholeFile(const QString& path, const QByteArray& data, WriteErrors style);

} // namespace vel
