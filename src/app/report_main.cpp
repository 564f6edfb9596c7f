// velimor-report: the overall test of archived files and its report, without a window.
// Exit status 0 when done, 1 on an error (the error box's text on standard error, no file
// written), 2 on a usage error. It needs no display: without a platform chosen in
// QT_QPA_PLATFORM it runs on the offscreen one.
#include "app/AppWindows.h"
#include "data/Errors.h"
#include "data/FileNames.h"
#include "report/ReportRun.h"
#include "ui/Dialogs.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

namespace {
void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}
} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << vel::fileNameFromNative(argv[i]); // names need not be UTF-8
    const vel::ReportArguments parsed = vel::parseReportArguments(args);
    switch (parsed.action) {
    case vel::ReportArguments::Action::Help:
        print(stdout, vel::reportUsage());
        return 0;
    case vel::ReportArguments::Action::Usage:
        if (!parsed.problem.isEmpty())
            print(stderr, QStringLiteral("velimor-report: %1\n\n").arg(parsed.problem));
        print(stderr, vel::reportUsage());
        return 2;
    case vel::ReportArguments::Action::Run:
        break;
    }

    // Qt's notices (such as a missing runtime folder on a server) would mix with the error
    // message on standard error; only its critical and fatal messages get through.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            print(stderr, text + u'\n');
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A reader of an output pipe that goes away is a write error with its message, not the
    // end of the program by a signal.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ui::kAppTitle));
    vel::setupApplicationFont();
    QByteArray out;
    try {
        out = vel::runReport(parsed);
    } catch (const vel::AppError& e) {
        print(stderr, vel::errorBoxText(e.message()) + u'\n');
        return 1;
    }
    // The lines of --list, as UTF-8 whatever the terminal's encoding.
    if (std::fwrite(out.constData(), 1, size_t(out.size()), stdout) != size_t(out.size()) ||
        std::fflush(stdout) != 0) {
        print(stderr, QStringLiteral("Stream write error.\n"));
        return 1;
    }
    return 0;
}
