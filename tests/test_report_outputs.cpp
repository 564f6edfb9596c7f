// velimor-report never destroys a file: an output that is an input or another output is
// refused before anything is written, a run whose last output fails leaves every target as
// it was, and a pipe named as an output gets the whole report. Every program run here has
// a time limit.
#include <gtest/gtest.h>

#include "support/ReportSupport.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;

namespace {

// Every entry under a folder, hidden ones included, as "name kind inode size contents":
// a file put back by a copy, a link replaced or a temporary file left behind all show.
QStringList snapshot(const QString& folder) {
    QStringList out;
    const QDir dir(folder);
    const auto filters = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& name : dir.entryList(filters, QDir::Name)) {
        const QString path = dir.filePath(name);
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        QString line = QStringLiteral("%1 %2 %3 %4 ")
                           .arg(name)
                           .arg(st.st_mode, 0, 8)
                           .arg(quint64(st.st_ino))
                           .arg(qint64(st.st_size));
        if (S_ISLNK(st.st_mode))
            line += QFile::symLinkTarget(path);
        else if (S_ISREG(st.st_mode))
            line += QCryptographicHash::hash(readAll(path), QCryptographicHash::Md5).toHex();
        out << line;
        if (S_ISDIR(st.st_mode))
            out << snapshot(path);
    }
    return out;
}

} // namespace

TEST_F(ReportTest, OutputThatIsAnInputOrAnotherOutputIsRefused) {
    const QString pdf = path("r.pdf");
    ASSERT_TRUE(QFile::link(QFileInfo(exampleFiles[2]).fileName(), path("symlink.dat")));
    ASSERT_EQ(::link(QFile::encodeName(exampleFiles[3]).constData(),
                     QFile::encodeName(path("hardlink.dat")).constData()),
              0);
    writeAll(path("o.pdf"), "an older report");
    ASSERT_TRUE(QFile::link("o.pdf", path("l.csv")));
    ASSERT_TRUE(QFile::link("new.pdf", path("dangling.csv"))); // new.pdf is not there yet
    ASSERT_TRUE(QFile::link("dangling.csv", path("chain.csv")));
    const QString same = QStringLiteral("výstupní soubor %1 je totožný %2 %3");
    const struct {
        QStringList outputs;
        QString message;
    } cases[] = {
        {{"--pdf", exampleFiles[0]},
         same.arg(exampleFiles[0], "se vstupním souborem", exampleFiles[0])},
        {{"--pdf", pdf, "--csv", reference},
         same.arg(reference, "se souborem referenčních hodnot", reference)},
        {{"--pdf", pdf, "--summary", path("symlink.dat")},
         same.arg(path("symlink.dat"), "se vstupním souborem", exampleFiles[2])},
        {{"--summary", path("hardlink.dat"), "--pdf", pdf},
         same.arg(path("hardlink.dat"), "se vstupním souborem", exampleFiles[3])},
        {{"--pdf", path("o.pdf"), "--csv", path("l.csv")},
         same.arg(path("l.csv"), "s výstupním souborem", path("o.pdf"))},
        {{"--csv", path("dangling.csv"), "--pdf", path("new.pdf")},
         same.arg(path("dangling.csv"), "s výstupním souborem", path("new.pdf"))},
        {{"--csv", path("chain.csv"), "--pdf", path("new.pdf")},
         same.arg(path("chain.csv"), "s výstupním souborem", path("new.pdf"))},
    };
    const QStringList before = snapshot(dir.path());
    for (const auto& c : cases) {
        const ProgramRun r =
            report(QStringList{"--reference", reference} + c.outputs + exampleFiles);
        const std::string call = c.outputs.join(' ').toStdString();
        EXPECT_EQ(r.status, 2) << call;
        EXPECT_TRUE(QString::fromUtf8(r.err).startsWith("velimor-report: " + c.message + "\n\n"))
            << call << ": " << r.err.toStdString();
        EXPECT_EQ(snapshot(dir.path()), before) << call;
    }
}

// The summary replaces an old file and the results table goes through a dangling link;
// then the report fails. Both targets stay exactly as they were, and no temporary file
// stays behind. As user 65534 the summary is that user's file in a folder it may not add
// files to, writable but not readable: written in place, it would be lost.
TEST_F(ReportTest, ALaterOutputThatFailsLeavesEveryTargetAsItWas) {
    const QString out = path("out");
    ASSERT_TRUE(QDir().mkdir(out));
    writeAll(out + "/old.txt", "old summary\r\n");
    ASSERT_TRUE(QFile::link("new.csv", out + "/link.csv"));
    ASSERT_TRUE(QFile::link("gone/r.pdf", out + "/dangling.pdf"));
    const QString theirs = out + "/locked/theirs.txt";
    ASSERT_TRUE(QDir().mkdir(out + "/locked"));
    writeAll(theirs, "their summary\r\n");
    const QStringList earlier{"--summary", out + "/old.txt", "--csv", out + "/link.csv"};
    auto cannotCreate = [](const QString& file, int err) {
        return QStringLiteral("Cannot create file \"%1\". %2.").arg(file, systemText(err));
    };
    const struct {
        QStringList outputs;
        QString message;
        bool asNobody;
    } cases[] = {
        {earlier + QStringList{"--pdf", out + "/no/such/r.pdf"},
         cannotCreate(out + "/no/such/r.pdf", ENOENT), false},
        {earlier + QStringList{"--pdf", out + "/dangling.pdf"},
         cannotCreate(out + "/dangling.pdf", ENOENT), false},
        {earlier + QStringList{"--pdf", "/dev/full"}, "Stream write error.", false},
        {{"--summary", theirs, "--pdf", "/dev/full"}, "Stream write error.", true},
    };
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(theirs).constData(), 0200), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    }
    const QStringList before = snapshot(out);
    for (const auto& c : cases) {
        if (c.asNobody && !root)
            continue; // only root can make a file of another user
        const QStringList args = QStringList{"--reference", reference} + c.outputs + exampleFiles;
        const ProgramRun r = c.asNobody ? reportAsNobody(args) : report(args);
        const std::string call = c.outputs.join(' ').toStdString();
        EXPECT_EQ(r.status, 1) << call;
        EXPECT_EQ(QString::fromUtf8(r.err), c.message + u'\n') << call;
        EXPECT_EQ(snapshot(out), before) << call;
    }
}

// "--pdf /dev/stdout" into a reader that reads as it can: everything arrives, byte for
// byte the report written to a file (Qt's hash order fixed, the creation time left out).
TEST_F(ReportTest, APipeReaderGetsTheWholeReport) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_HASH_SEED", "0");
    auto withoutTime = [](const QByteArray& pdf) {
        return QString::fromLatin1(pdf).remove(QRegularExpression("/CreationDate \\(D:\\d+Z\\)"));
    };
    const QStringList inputs = QStringList{"--reference", reference} + exampleFiles;
    const ProgramRun piped = report(QStringList{"--pdf", "/dev/stdout"} + inputs, env);
    ASSERT_EQ(piped.status, 0) << piped.err.toStdString();
    const ProgramRun toFile = report(QStringList{"--pdf", path("r.pdf")} + inputs, env);
    ASSERT_EQ(toFile.status, 0) << toFile.err.toStdString();
    const QByteArray written = readAll(path("r.pdf"));
    EXPECT_GT(written.size(), 1 << 17); // more than a pipe holds
    EXPECT_EQ(piped.out.size(), written.size());
    EXPECT_TRUE(withoutTime(piped.out) == withoutTime(written));
}

TEST_F(ReportTest, DataReachesTheDiskBeforeTheRenameAndTheFolderAfterIt) {
    // The system calls of a run that writes one file, as strace records them with the paths
    // of the descriptors: the temporary file is flushed, then renamed onto the target, then
    // the folder is flushed, so that the new file survives a power cut whole.
    const QString log = path("calls.log"), summary = path("summary.txt");
    // (A sanitizer build's leak check cannot run under strace.)
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString asan = env.value("ASAN_OPTIONS");
    env.insert("ASAN_OPTIONS", asan + (asan.isEmpty() ? "" : ":") + "detect_leaks=0");
    const ProgramRun r = run(
        tool("strace"),
        QStringList{"-f", "-y", "-o", log, "-e", "trace=fsync,fdatasync,rename,renameat,renameat2",
                    reportProgram(), "--reference", reference, "--summary", summary} +
            exampleFiles,
        env);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList calls = QString::fromUtf8(readAll(log)).split(u'\n');
    auto first = [&](const QRegularExpression& re) {
        for (qsizetype i = 0; i < calls.size(); ++i)
            if (re.match(calls[i]).hasMatch())
                return i;
        return qsizetype(-1);
    };
    const QString folder = QRegularExpression::escape(dir.path());
    const qsizetype data =
        first(QRegularExpression("f(data)?sync\\(\\d+<" + folder + "/\\.summary\\.txt\\."));
    const qsizetype rename =
        first(QRegularExpression("rename.*\\.summary\\.txt\\..*summary\\.txt\""));
    const qsizetype folderSync =
        first(QRegularExpression("f(data)?sync\\(\\d+<" + folder + ">\\)"));
    EXPECT_GE(data, 0) << calls.join('\n').toStdString();
    EXPECT_GT(rename, data);
    EXPECT_GT(folderSync, rename);
}
