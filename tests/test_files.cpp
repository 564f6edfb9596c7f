// File errors, atomic replacement and the output panes as text files.
#include "data/Errors.h"
#include "data/FileIo.h"
#include "output/TextPane.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>

using namespace vel;
using testing_support::errorOf;
using testing_support::readAll;
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
    // Write-protected files load: they are opened for reading only.
    QFile::setPermissions(dir.filePath("exact"), QFile::ReadOwner);
    EXPECT_EQ(readRecord(dir.filePath("exact"), 296).size(), 296);
}

TEST(FileWriting, FailuresInBothStyles) {
    QTemporaryDir dir;
    const QString noFolder = dir.filePath("nofolder/out.txt");
    EXPECT_EQ(errorOf([&] { writeWholeFile(noFolder, "x", WriteErrors::Stream); }),
              QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(noFolder));
    EXPECT_EQ(errorOf([&] { writeWholeFile(noFolder, "x", WriteErrors::Io); }), "Invalid filename");
    EXPECT_EQ(errorOf([&] { writeWholeFile(dir.path(), "x", WriteErrors::Stream); }),
              QStringLiteral("Cannot create file \"%1\". Is a directory").arg(dir.path()));
    EXPECT_EQ(errorOf([&] { writeWholeFile(dir.path(), "x", WriteErrors::Io); }),
              "File access denied");
    EXPECT_EQ(errorOf([&] { writeWholeFile("/dev/full", "x", WriteErrors::Stream); }),
              "Stream write error");
    EXPECT_EQ(errorOf([&] { writeWholeFile("/dev/full", "x", WriteErrors::Io); }), "Disk full");
    EXPECT_TRUE(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());
}

TEST(FileWriting, ReplacesWholeOrLeavesThePreviousFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    writeAll(path, "old contents");
    writeWholeFile(path, "new", WriteErrors::Stream);
    EXPECT_EQ(readAll(path), "new");

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
