#include "support/ReportSupport.h"

#include "app/AppWindows.h"
#include "app/Form1.h"
#include "data/FileIo.h"
#include "examples/ExampleData.h"
#include "output/Form2.h"
#include "overall/OverallEvaluation.h"
#include "report/FileWorkspace.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

#include <grp.h>
#include <unistd.h>

using namespace vel;

namespace testing_support {

namespace {

constexpr int kLimitMs = 60000; // any program run here

ProgramRun runProcess(QProcess& p, const QString& program, const QStringList& args,
                      const QProcessEnvironment& env) {
    p.setProcessEnvironment(env);
    p.start(program, args);
    ProgramRun r;
    if (!p.waitForStarted(kLimitMs)) {
        ADD_FAILURE() << "cannot start " << program.toStdString();
        return r;
    }
    if (!p.waitForFinished(kLimitMs)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish in time";
        return r;
    }
    if (p.exitStatus() == QProcess::NormalExit)
        r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

ProgramRun run(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    return runProcess(p, program, args, env);
}

QString reportProgram() {
    return QStringLiteral(VELIMOR_REPORT_EXE);
}

ProgramRun report(const QStringList& args, const QProcessEnvironment& env) {
    return run(reportProgram(), args, env);
}

ProgramRun reportAsNobody(const QStringList& args) {
    QProcess p;
    p.setChildProcessModifier([] {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
            ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(126);
    });
    return runProcess(p, reportProgram(), args,
                      QProcessEnvironment::systemEnvironment());
}

QString tool(const char* name) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (path.isEmpty())
        ADD_FAILURE() << name << " is missing (poppler-utils)";
    return path;
}

QString pdfText(const QString& pdf, QStringList options) {
    options << pdf << QStringLiteral("-");
    return QString::fromUtf8(run(tool("pdftotext"), options).out);
}

QString missingInOrder(const QString& text, const QStringList& lines, qsizetype from) {
    for (const QString& line : lines) {
        const QString l = normalized(line);
        if (l.isEmpty())
            continue;
        const qsizetype at = text.indexOf(l, from);
        if (at < 0)
            return line;
        from = at + l.size();
    }
    return QString();
}

std::vector<InstrumentRecord> generatedRound() {
    std::vector<InstrumentRecord> out;
    for (int i = 1; i <= 30; ++i) {
        const int e = (i * 7) % 11 - 5;
        std::array<int, 4> errors{e, e - (i % 3), e + (i % 4), e - 1};
        std::array<int, 4> blank{1, 2, 1, 2};
        std::array<int, 4> water1{2, 1, 2, 1};
        const std::array<int, 4> water2{1, 0, 1, 0};
        if (i % 9 == 0)
            errors = {0, 130, 0, 130}; // 40 pairs above their limits: repeatability
        if (i % 7 == 0)
            blank = {1, 1, 12, 1}; // a blank above 8
        if (i % 5 == 0)
            water1 = {40, 40, 40, 40}; // carry-over above 2 %
        InstrumentRecord rec = examples::makeInstrument(
            QStringLiteral("LAB-%1").arg(i, 2, 10, QChar(u'0')), errors, blank, water1, water2);
        rec.testDate = i % 4 == 0 ? QStringLiteral("04.03.2027") : QStringLiteral("05.03.2027");
        out.push_back(rec);
    }
    out[12].id = QStringLiteral("Lab \"13\"; B");
    return out;
}

QStringList writeRound(const QString& dir, const std::vector<InstrumentRecord>& round) {
    QStringList files;
    for (std::size_t i = 0; i < round.size(); ++i) {
        files << QDir(dir).filePath(QStringLiteral("gen%1.dat").arg(i + 1));
        writeWholeFile(files.back(), encodeInstrumentRecord(round[i]), WriteErrors::Io);
    }
    return files;
}

void ReportTest::SetUp() {
    examples::writeExamples(dir.path());
    reference = dir.filePath(examples::referenceFileName());
    for (int i = 1; i <= 6; ++i)
        exampleFiles << dir.filePath(examples::instrumentFileName(i));
}

QByteArray ReportTest::windowExport(AppWindows& app, ScriptedDialogs& dialogs,
                                    const QStringList& files, const QString& name) {
    for (const QString& f : files) {
        dialogs.files.push_back(f);
        app.form1->Button1->click();
    }
    dialogs.files.push_back(reference);
    app.form1->Button4->click();
    app.form1->Button8->click();
    QApplication::processEvents();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
    dialogs.files.push_back(path(name));
    app.form2->Button1->click();
    return readAll(path(name));
}

OverallRecord ReportTest::recordOf(const QStringList& files, const QString& reference) {
    FileWorkspace ws = FileWorkspace::fromFiles(files, reference);
    OverallRecord record;
    overallTest(ws, ws.overall, ws.calibration, &record);
    return record;
}

} // namespace testing_support
