#pragma once
// The files of a SQLite archive as the file system sees them, always through the name's very
// bytes (data/FileNames.h): a name that is not valid UTF-8 names the same file here as it
// does to SQLite and to the shell. Failures return the system's error number; the back-end
// (SqliteBackend.cpp) words the messages.

#include <QByteArray>
#include <QString>

#include <sys/types.h>
#include <time.h>

namespace vel {

// The "file:" URI that SQLite opens for path, query appended after "?": every byte of the
// name outside the unreserved characters of RFC 3986 and "/" is percent-encoded, so that the
// driver, which hands SQLite UTF-8, gets plain ASCII that SQLite decodes back to the bytes.
QString sqliteFileUri(const QString& path, const QString& query = {});

// What is at a path (symbolic links followed): nothing, a folder, a regular file or
// something else; errno is set for Error.
enum class PathKind { Missing, Folder, File, Other, Error };
PathKind pathKind(const QString& path, off_t* size = nullptr);
bool pathExists(const QString& path);
bool canWrite(const QString& path);
// The folder of an absolute path (the path up to its last "/").
QString folderOfPath(const QString& path);
// Makes a folder and the missing ones above it; 0, or the error number.
int makeFolders(const QString& folder);

// The archive's file and its write-ahead log as they are on the disk: SQLite changes the log
// on every commit and the file when the log is folded in. An empty log counts as none.
struct ArchiveFilesState {
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        bool operator==(const Stamp& o) const {
            return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
                   modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
        }
    };
    Stamp file, log;
    bool operator==(const ArchiveFilesState&) const = default;
};
ArchiveFilesState archiveFilesState(const QString& path);

// Which archives this run of the program found whole, and in what state: the one checked,
// or the one its own writes left since. The check is not repeated while the files stay so.
bool knownWhole(const QString& path);
void rememberWhole(const QString& path, const ArchiveFilesState& state);
void forgetWhole(const QString& path);

// A new archive is made complete under a name of its own beside the target and only then
// put in place, so that no program ever sees it half made. The file is created empty, by
// this object; it is removed, with SQLite's log files beside it, unless placed.
class NewArchiveFile {
public:
    explicit NewArchiveFile(const QString& target);
    ~NewArchiveFile();
    NewArchiveFile(const NewArchiveFile&) = delete;
    NewArchiveFile& operator=(const NewArchiveFile&) = delete;

    // The system's error number when the file could not be created, else 0.
    int error() const { return m_error; }
    const QString& path() const { return m_path; }
    // Whether SQLite left its log files beside it (it removes them when its last connection
    // closes).
    bool hasLogFiles() const;
    // Flushes the file to the disk and gives it the target's name, unless a file of that name
    // appeared meanwhile (another program made the archive first: `placed` is false then and
    // this one is removed). Returns 0, or the error number.
    int place(bool* placed);

private:
    QByteArray m_target, m_native;
    QString m_path;
    int m_fd = -1;
    int m_error = 0;
};

} // namespace vel
