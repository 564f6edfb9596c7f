#pragma once
// Reading and writing whole files with the program's error messages. Nothing here waits on
// a file unless told to: named pipes, sockets and terminals are refused or fail at once.

#include <QByteArray>
#include <QString>

#include <functional>

#include <memory>
#include <vector>

namespace vel {

// Message of a system error code met while opening, reading or writing path:
// "File not found", "Invalid filename" (a folder of the path does not exist),
// "Too many open files", "File access denied", "Disk full" or "I/O error %d".
QString ioMessage(int err, const QString& path);

// Reads the first `size` bytes of a file opened read-only. A shorter file raises
// "Read beyond end of file"; system errors raise ioMessage(). A named pipe, a socket or a
// terminal raises "File access denied" instead of waiting for data.
QByteArray readRecord(const QString& path, qsizetype size);
// Reads a whole file of at most `limit` bytes in the same way; a larger one raises a message.
QByteArray readSmallFile(const QString& path, qsizetype limit);

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
    Follow,  // writes the file the link names, creating it when the link dangles (a name
             // the user chose)
    Replace, // replaces the link itself, live or dangling, by a regular file (a name the
             // program chose, which must never send the data somewhere else)
};

// Whether writing to a pipe or a terminal may wait for the program reading it.
enum class Waiting {
    Never,     // a pipe takes what fits at once or the write fails; terminals are refused
               // (a window never waits)
    ForReader, // a pipe or terminal that is open for reading gets everything, as fast as
               // it is read; a named pipe nobody has open still fails at once
};

// Several files replaced together, all or none. add() writes each file's new contents
// completely to a temporary file beside it and flushes them to the disk; commit() puts
// them all in place by renames and flushes their folders. Until commit() every target is
// exactly as it was: a failed add(), or an object dropped without commit(), removes the
// temporary files and nothing else.
//
// A device, a pipe or a terminal is written in place. So is an existing file whose folder
// refuses new files or that may not be replaced (another user's file in a folder with the
// sticky bit): its new size is reserved by add() without changing it, so a full disk fails
// before anything is written. commit() writes devices, pipes and terminals first, then the
// files written in place, and renames last: a device that fails (/dev/full) leaves every
// file as it was. What a device or pipe took before a later failure cannot be taken back,
// nor can a file written in place before an I/O error that no reservation foresees; a
// rename refused where add() could not tell (no sticky bit to see) is written in place
// then. The caller keeps the targets apart (fileIdentity). Errors are raised as add() or
// commit() meets them, in the given style, for the path as the caller gave it.
class StagedFiles {
public:
    explicit StagedFiles(WriteErrors style, Links links = Links::Follow,
                         Waiting waiting = Waiting::Never);
    ~StagedFiles();
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    void add(const QString& path, const QByteArray& data);
    // The same with its own way with links (a name the program chose among names the user
    // chose).
    void add(const QString& path, const QByteArray& data, Links links);
    // beforeRenames, when given, runs after the files written in place and before the
    // renames: a step that must succeed for the files to take their places (storing the
    // round of the run); what it raises leaves every renamed target as it was.
    void commit(const std::function<void()>& beforeRenames = {});

private:
    struct Entry;
    WriteErrors m_style;
    Links m_links;
    Waiting m_waiting;
    std::vector<std::unique_ptr<Entry>> m_entries;
};

// Replaces one file with data atomically: StagedFiles with the one file, never waiting.
// A named pipe nobody reads fails with ENXIO; sockets and terminals are refused.
void writeWholeFile(const QString& path, const QByteArray& data, WriteErrors style,
                    Links links = Links::Follow);

// What a path names once every symbolic link on it is followed, the last one included: an
// existing file's device and inode; for a file not there yet, those of the folder it would
// be created in and its name, so that a dangling link and the name it points to are the
// same file; where even that folder is missing, the absolute path. Two paths with equal
// identities name one file.
struct FileIdentity {
    quint64 device = 0, inode = 0;
    QByteArray name;
    bool operator==(const FileIdentity&) const = default;
};
FileIdentity fileIdentity(const QString& path);

} // namespace vel
