// File errors, atomic replacement, files that must never be waited on or destroyed, and
// the output panes as text files.
#include "data/Cp1250.h"
#include "data/Errors.h"
#include "data/FileIo.h"
#include "data/FileNames.h"
#include "output/InputTable.h"
#include "output/TextPane.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vel;
using testing_support::errorOf;
using testing_support::inChildProcess;
using testing_support::readAll;
using testing_support::systemText;
using testing_support::writeAll;

TEST(FileErrors, SystemCodesMapToTheirMessages) {
    QTemporaryDir dir;
    const QString inExisting = dir.filePath("missing.dat");
    const QString inMissingFolder = dir.filePath("nofolder/missing.dat");
    EXPECT_EQ(ioMessage(ENOENT, inExisting), "File not found");
    EXPECT_EQ(ioMessage(ENOENT, inMissingFolder), "Invalid filename");
    EXPECT_EQ(ioMessage(EMFILE, inExisting), "Too many open files");
    EXPECT_EQ(ioMessage(EACCES, inExisting), "File access denied");
    EXPECT_EQ(ioMessage(EPERM, inExisting), "File access denied");
    EXPECT_EQ(ioMessage(ENOSPC, inExisting), "Disk full");
    EXPECT_EQ(ioMessage(EIO, inExisting), "I/O error 5");
}

TEST(FileErrors, ReadingRealFiles) {
    QTemporaryDir dir;
    writeAll(dir.filePath("short"), QByteArray(295, 'a'));
    writeAll(dir.filePath("exact"), QByteArray(296, 'b'));
    writeAll(dir.filePath("long"), QByteArray(296, 'c') + QByteArray(296, 'd'));
    EXPECT_EQ(errorOf([&] { readRecord(dir.filePath("short"), 296); }), "Read beyond end of file");
    EXPECT_EQ(readRecord(dir.filePath("exact"), 296), QByteArray(296, 'b'));
    EXPECT_EQ(readRecord(dir.filePath("long"), 296), QByteArray(296, 'c'));
    EXPECT_EQ(errorOf([&] { readRecord(dir.filePath("none"), 296); }), "File not found");
    EXPECT_EQ(errorOf([&] { readRecord(dir.filePath("no/none"), 296); }), "Invalid filename");
    EXPECT_EQ(errorOf([&] { readRecord(dir.path(), 296); }), "File access denied");
    EXPECT_EQ(readRecord("/dev/zero", 296), QByteArray(296, 0)); // a device that never waits
    // Write-protected files load: they are opened for reading only.
    QFile::setPermissions(dir.filePath("exact"), QFile::ReadOwner);
    EXPECT_EQ(readRecord(dir.filePath("exact"), 296).size(), 296);
}

TEST(FileNames, BytesThatAreNotUtf8ComeBackWhole) {
    // Every name gives back its bytes: valid UTF-8, a stray byte, an overlong form, an
    // encoded surrogate, a sequence cut short, four-byte characters (the second one's
    // second UTF-16 half lies among the halves that stand for stray bytes).
    for (const QByteArray& bytes :
         {QByteArray("m\xC4\x9B\xC5\x99" "en\xC3\xAD"), QByteArray("a\xFF"), QByteArray("\xC0\x80"),
          QByteArray("\xED\xA0\x80x"), QByteArray("x\xE2\x82"), QByteArray("\xF0\x9F\x98\x80"),
          QByteArray("\xF0\x9F\x82\xA1")})
        EXPECT_EQ(nativeFileName(fileNameFromNative(bytes)), bytes) << bytes.toHex().constData();

    // A file whose name holds 0xFF, in a folder whose name does too: read, written, and
    // found under the name a file dialog shows for it.
    QTemporaryDir dir;
    const QByteArray folder = nativeFileName(dir.path()) + "/d\xFF";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const QString name = fileNameFromNative(folder + "/p\xFF\xFE.dat");
    writeWholeFile(name, QByteArray(296, 'n'), WriteErrors::Io);
    EXPECT_EQ(readRecord(name, 296), QByteArray(296, 'n'));
    const QString shown = QFile::decodeName(folder + "/p\xFF\xFE.dat");
    EXPECT_EQ(readRecord(realFileName(shown), 296), QByteArray(296, 'n'));
    EXPECT_EQ(realFileName(shown + "x"), shown + "x"); // nothing of that name: as given
    // Another file shown under the same name: neither is taken for the other.
    writeWholeFile(fileNameFromNative(folder + "/p\xFE\xFF.dat"), "other", WriteErrors::Io);
    EXPECT_EQ(realFileName(shown), shown);
}

TEST(FileWriting, FailuresInBothStyles) {
    QTemporaryDir dir;
    const QString noFolder = dir.filePath("nofolder/out.txt");
    EXPECT_EQ(errorOf([&] { writeWholeFile(noFolder, "x", WriteErrors::Stream); }),
              QStringLiteral("Cannot create file \"%1\". %2").arg(noFolder, systemText(ENOENT)));
    EXPECT_EQ(errorOf([&] { writeWholeFile(noFolder, "x", WriteErrors::Io); }), "Invalid filename");
    EXPECT_EQ(errorOf([&] { writeWholeFile(dir.path(), "x", WriteErrors::Stream); }),
              QStringLiteral("Cannot create file \"%1\". %2").arg(dir.path(), systemText(EISDIR)));
    EXPECT_EQ(errorOf([&] { writeWholeFile(dir.path(), "x", WriteErrors::Io); }),
              "File access denied");
    EXPECT_EQ(errorOf([&] { writeWholeFile("/dev/full", "x", WriteErrors::Stream); }),
              "Stream write error");
    EXPECT_EQ(errorOf([&] { writeWholeFile("/dev/full", "x", WriteErrors::Io); }), "Disk full");
    EXPECT_EQ(errorOf([&] { writeWholeFile("/dev/full", "x", WriteErrors::Named); }),
              "Cannot create file \"/dev/full\". " + systemText(ENOSPC));
    EXPECT_EQ(errorOf([&] { writeWholeFile("/dev/null", "x", WriteErrors::Io); }), "<no error>");
    EXPECT_TRUE(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());
}

TEST(FileWriting, ReplacesWholeOrLeavesThePreviousFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    writeAll(path, "old contents");
    // The new file keeps the old one's permissions (no umask gives these to a new file).
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0604), 0);
    writeWholeFile(path, "new", WriteErrors::Stream);
    EXPECT_EQ(readAll(path), "new");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);

    // A write that fails part-way (here: over the file size limit) keeps the old file.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4;
    setrlimit(RLIMIT_FSIZE, &small);
    QString err = errorOf([&] { writeWholeFile(path, QByteArray(100, 'z'), WriteErrors::Stream); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(err, "Stream write error");
    EXPECT_EQ(readAll(path), "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.txt"});
}

namespace {

ino_t inodeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Makes this process the unprivileged user 65534: root is exempt from folder permissions
// and from the sticky bit.
bool becomeNobody() {
    return ::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0 &&
           ::setresuid(65534, 65534, 65534) == 0;
}

// A small file system of the test's own (tmpfs), mounted when running as root.
class SmallDisk {
public:
    explicit SmallDisk(const char* options) {
        if (::geteuid() != 0) {
            skipReason = "mounting a small file system needs root";
            return;
        }
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options) !=
            0) {
            skipReason = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
            return;
        }
        mounted = true;
    }
    ~SmallDisk() {
        if (mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Uses up every free block, then every free inode.
    void fill() {
        int fd = ::open(QFile::encodeName(path("fill")).constData(), O_WRONLY | O_CREAT, 0600);
        const QByteArray block(4096, 'f');
        while (fd >= 0 && ::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        ::close(fd);
        for (int i = 0;; ++i) {
            fd = ::open(QFile::encodeName(path(QStringLiteral("fill%1").arg(i))).constData(),
                        O_WRONLY | O_CREAT, 0600);
            if (fd < 0)
                break;
            ::close(fd);
        }
    }
    void freeBlocks() { QFile::remove(path("fill")); }

    bool mounted = false;
    std::string skipReason;

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST(FilesThatCouldWait, PipesSocketsAndTerminalsFailAtOnce) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString socketPath = dir.filePath("socket");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, QFile::encodeName(socketPath).constData(),
                 sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const QString terminal = QString::fromLocal8Bit(::ptsname(master));

    const QString result = inChildProcess([&] {
        QStringList r;
        for (const QString& p : {pipe, socketPath, terminal})
            r << errorOf([&] { readRecord(p, 296); });
        // A pipe that nobody reads.
        r << errorOf([&] { writeWholeFile(pipe, "x", WriteErrors::Io); })
          << errorOf([&] { writeWholeFile(pipe, "x", WriteErrors::Stream); });
        for (const QString& p : {socketPath, terminal})
            r << errorOf([&] { writeWholeFile(p, "x", WriteErrors::Io); });
        // A pipe with a reader takes what fits at once; more than that fails, not waits.
        const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
        r << errorOf([&] { writeWholeFile(pipe, "to the reader", WriteErrors::Stream); });
        char buf[64] = {};
        r << QString::fromLatin1(buf, int(::read(reader, buf, sizeof buf)));
        r << errorOf([&] { writeWholeFile(pipe, QByteArray(1 << 20, 'p'), WriteErrors::Io); });
        return r.join(u'\n');
    });
    EXPECT_EQ(result.split(u'\n'),
              (QStringList{
                  "File access denied", "File access denied", "File access denied", "I/O error 6",
                  QStringLiteral("Cannot create file \"%1\". %2").arg(pipe, systemText(ENXIO)),
                  "File access denied", "File access denied", "<no error>", "to the reader",
                  "I/O error 11"}));
    EXPECT_TRUE(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile()); // still the pipe
    ::close(master);
    ::close(sock);
}

// A full disk, a folder that refuses new files, a folder with the sticky bit: wherever the
// file cannot be replaced by a new one, the old contents survive a failed save whole.
TEST(FileWriting, FullDiskLeavesTheOldFileWhole) {
    SmallDisk disk("size=256k,nr_inodes=16,mode=0755");
    if (!disk.mounted)
        GTEST_SKIP() << disk.skipReason;
    const QByteArray old(8192, 'o');
    const QByteArray bigger(65536, 'n');
    const QString mine = disk.path("mine.txt");
    writeAll(mine, old);
    // Another user's file in a folder that user may not create files in.
    const QString locked = disk.path("locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    const QString theirs = locked + "/theirs.txt";
    writeAll(theirs, old);
    ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
    const ino_t theirInode = inodeOf(theirs);
    disk.fill();

    // No inode for a temporary file and no block for the data.
    EXPECT_EQ(errorOf([&] { writeWholeFile(mine, bigger, WriteErrors::Io); }), "Disk full");
    EXPECT_EQ(errorOf([&] { writeWholeFile(mine, bigger, WriteErrors::Stream); }),
              QStringLiteral("Cannot create file \"%1\". %2").arg(mine, systemText(ENOSPC)));
    EXPECT_EQ(readAll(mine), old);

    // Written in place: the space is reserved before a byte changes.
    auto saveTheirs = [&](const QByteArray& data) {
        return inChildProcess([&] {
            if (!becomeNobody())
                return QStringLiteral("cannot become user 65534");
            return errorOf([&] { writeWholeFile(theirs, data, WriteErrors::Io); }) + u'|' +
                   errorOf([&] { writeWholeFile(theirs, data, WriteErrors::Stream); });
        });
    };
    EXPECT_EQ(saveTheirs(bigger), "Disk full|Stream write error");
    EXPECT_EQ(readAll(theirs), old);
    disk.freeBlocks();
    EXPECT_EQ(saveTheirs("shorter"), "<no error>|<no error>");
    EXPECT_EQ(readAll(theirs), "shorter");
    EXPECT_EQ(inodeOf(theirs), theirInode);
    EXPECT_EQ(QDir(locked).entryList(QDir::Files | QDir::Hidden), QStringList{"theirs.txt"});
}

TEST(FileWriting, AnotherUsersFileInAStickyFolderIsWrittenInPlace) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to own a file that an unprivileged user then saves";
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 01777), 0);
    const QString theirs = dir.filePath("theirs.txt");
    writeAll(theirs, "the other user's longer contents");
    ASSERT_EQ(::chmod(QFile::encodeName(theirs).constData(), 0666), 0);
    const ino_t inode = inodeOf(theirs);
    EXPECT_EQ(inChildProcess([&] {
                  if (!becomeNobody())
                      return QStringLiteral("cannot become user 65534");
                  return errorOf([&] { writeWholeFile(theirs, "new", WriteErrors::Stream); });
              }),
              "<no error>");
    EXPECT_EQ(readAll(theirs), "new");
    EXPECT_EQ(inodeOf(theirs), inode);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"theirs.txt"});
}

// The temporary file's name must fit as well: a name of 248 to 255 bytes is still replaced
// atomically (a new inode), new or existing.
TEST(FileWriting, LongestNamesAreSavedAtomically) {
    QTemporaryDir dir;
    const QStringList names{QString(255, u'n'), QString(127, QChar(0x010D)) + u'x',
                            QString(248, u'm')};
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        EXPECT_EQ(errorOf([&] { writeWholeFile(path, "first", WriteErrors::Stream); }),
                  "<no error>");
        const ino_t before = inodeOf(path);
        EXPECT_EQ(errorOf([&] { writeWholeFile(path, "second", WriteErrors::Stream); }),
                  "<no error>");
        EXPECT_EQ(readAll(path), "second");
        EXPECT_NE(inodeOf(path), before);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), names.size());
}

// output.html is written without a dialog: a link planted under that name must not send
// the table elsewhere, and nothing read from a file may break its lines.
TEST(InputTableExport, ReplacesAPlantedLinkAndKeepsEveryLineOneLine) {
    QTemporaryDir dir;
    struct Cwd {
        QString old = QDir::currentPath();
        ~Cwd() { QDir::setCurrent(old); }
    } cwd;
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    testing_support::ScriptedDialogs dialogs;
    QStringList counts;
    for (int i = 0; i < 52; ++i)
        counts << QString::number(100 + i);
    writeAll("victim.txt", "someone else's file");
    ASSERT_TRUE(QFile::link("victim.txt", "output.html"));
    exportInputTable("SCC-01", counts);
    EXPECT_EQ(readAll("victim.txt"), "someone else's file");
    EXPECT_FALSE(QFileInfo("output.html").isSymLink());
    EXPECT_TRUE(readAll("output.html").startsWith("<html>\r\n"));

    ASSERT_TRUE(QFile::remove("output.html"));
    ASSERT_TRUE(QFile::link("nowhere.html", "output.html"));
    exportInputTable(QStringLiteral("SCC\r\n01") + QChar(0) + u'x', counts);
    EXPECT_FALSE(QFile::exists("nowhere.html"));
    EXPECT_FALSE(QFileInfo("output.html").isSymLink());
    const QByteArray bytes = readAll("output.html");
    EXPECT_EQ(bytes.count("\r\n"), 201);
    EXPECT_EQ(bytes.count('\n'), 201);
    EXPECT_EQ(bytes.count('\r'), 201);
    EXPECT_FALSE(bytes.contains('\0'));
    EXPECT_EQ(fromCp1250(bytes.split('\r').value(1)),
              QStringLiteral("\nNaměřená data pro přístroj: SCC  01 x"));

    // A name the user chose still writes through a link to the file it names.
    ASSERT_TRUE(QFile::link("victim.txt", "chosen.txt"));
    writeWholeFile("chosen.txt", "through the link", WriteErrors::Stream);
    EXPECT_EQ(readAll("victim.txt"), "through the link");
    EXPECT_TRUE(QFileInfo("chosen.txt").isSymLink());
}

TEST(TextPane, LinesAndTheirTextFile) {
    TextPane pane;
    EXPECT_EQ(pane.count(), 1);
    EXPECT_EQ(pane.fileBytes(), "\r\n");
    pane.clear();
    EXPECT_EQ(pane.count(), 0);
    EXPECT_EQ(pane.fileBytes(), "");
    pane.appendToLast("*"); // nothing to extend
    EXPECT_EQ(pane.count(), 0);
    pane.add(QStringLiteral("Střední hodnota"));
    pane.add("");
    pane.add("d 26");
    pane.appendToLast("*");
    EXPECT_EQ(pane.lines(), (QStringList{QStringLiteral("Střední hodnota"), "", "d 26*"}));
    EXPECT_EQ(pane.fileBytes(), QByteArray("St\xF8\x65\x64n\xED hodnota\r\n\r\nd 26*\r\n"));

    // An identifier read from a file may hold CR, LF and NUL; each line saved stays one line.
    pane.clear();
    pane.add(QStringLiteral("id A\r\nB") + QChar(0) + u'C');
    EXPECT_EQ(pane.line(0).size(), 9);
    EXPECT_EQ(pane.fileBytes(), QByteArray("id A  B C\r\n"));
}

TEST(TextPane, UserEditsBecomeTheLines) {
    TextPane pane;
    QString widgetText = "typed\nby hand";
    pane.setUserSource([&] { return widgetText; });
    pane.markUserEdited();
    EXPECT_EQ(pane.lines(), (QStringList{"typed", "by hand"}));
    pane.add("more");
    EXPECT_EQ(pane.count(), 3);
    widgetText.clear();
    pane.markUserEdited();
    EXPECT_EQ(pane.fileBytes(), "");
}
