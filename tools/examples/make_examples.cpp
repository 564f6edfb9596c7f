// Writes the example proficiency test (six instrument data files and the reference values
// file) and what the program shows for it (expected.json, read by the end-to-end tests)
// into the folder given as the only argument, by default the current folder.
//
//   make_examples [folder]
#include "data/Errors.h"
#include "examples/ExampleData.h"
#include "examples/ExpectedOutput.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // No window is shown; the charts the evaluations fill need a GUI application. Czech
    // regional settings give the comma the end-to-end tests run the program with.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "cs_CZ.UTF-8");
    qputenv("LANG", "cs_CZ.UTF-8");
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    try {
        examples::writeExamples(dir);
        examples::writeExpected(dir);
    } catch (const vel::AppError& e) {
        std::fprintf(stderr, "make_examples: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
