#pragma once
// Shared by the tests of the round report: programs run with a time limit (velimor-report,
// the poppler tools, Python), the example round and a generated one written as files, and
// the real window's export of a round.

#include "data/InstrumentFile.h"
#include "overall/OverallRecord.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

namespace vel {
struct AppWindows;
}

namespace testing_support {

class ScriptedDialogs;

struct ProgramRun {
    int status = -1; // -1: did not start, crashed or timed out
    QByteArray out, err;
};

// Runs a program to its end, or for at most a minute: then it is killed and the test fails.
ProgramRun run(const QString& program, const QStringList& args,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
// velimor-report of this build, and a run of it.
QString reportProgram();
ProgramRun report(const QStringList& args,
                  const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
// velimor-report of this build run as the unprivileged user 65534 (the test must be root).
ProgramRun reportAsNobody(const QStringList& args);
// The path of a tool on PATH; the test fails when it is missing.
QString tool(const char* name);
// pdftotext of a file, with further options.
QString pdfText(const QString& pdf, QStringList options = {});

// Blanks, line ends and page breaks as single blanks, so that a wrapped line reads as it
// was written.
inline QString normalized(const QString& text) {
    return text.simplified();
}
// Each line is found in the text after the one before it; the first line not found, or an
// empty text when all are.
QString missingInOrder(const QString& text, const QStringList& lines, qsizetype from = 0);

// A round of 30 instruments: instrument n has a blank above 8 when n % 7 == 0, a
// carry-over above 2 % when n % 5 == 0, 40 repeatability pairs above their limits when
// n % 9 == 0; two test dates; the 13th identifier holds a quotation mark and a semicolon.
std::vector<vel::InstrumentRecord> generatedRound();
QStringList writeRound(const QString& dir, const std::vector<vel::InstrumentRecord>& round);

// The example round written into a folder of its own.
class ReportTest : public ::testing::Test {
protected:
    void SetUp() override;
    QString path(const QString& name) const { return dir.filePath(name); }

    // The files loaded into the real window in order, the overall test run, and the
    // summary pane saved with "export výstupu." as name.
    QByteArray windowExport(vel::AppWindows& app, ScriptedDialogs& dialogs,
                            const QStringList& files, const QString& name);

    // The record of the overall test on the files, run in this process.
    static vel::OverallRecord recordOf(const QStringList& files, const QString& reference);

    QTemporaryDir dir;
    QString reference;
    QStringList exampleFiles;
};

} // namespace testing_support
