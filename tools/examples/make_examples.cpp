// Writes the example proficiency test (six instrument data files and the reference values
// file) into the folder given as the only argument, by default the current folder.
//
//   make_examples [folder]
#include "data/Errors.h"
#include "examples/ExampleData.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    try {
        examples::writeExamples(dir);
    } catch (const vel::AppError& e) {
        std::fprintf(stderr, "make_examples: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
