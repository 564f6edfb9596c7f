// Stores generated rounds into an archive one after another, for the tests that kill a
// writer part-way or run two writers at once.
//
//   archive_stress <archive> <first> <count> [<names>]
//
// Stores generations n = first … first + count - 1; generation n is round k = n mod names
// (k = n without names), replacing the round of that name. Prints n on its own line once
// it is stored. Exit status 0 when all are stored, 1 with the message on an error.
#include "archive/Archive.h"
#include "data/Errors.h"
#include "examples/ArchiveRounds.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: archive_stress <archive> <first> <count> [<names>]\n");
        return 2;
    }
    const int first = std::atoi(argv[2]);
    const int count = std::atoi(argv[3]);
    const int names = argc > 4 ? std::atoi(argv[4]) : 0;
    try {
        vel::Archive archive(vel::ArchiveLocation::parse(QString::fromLocal8Bit(argv[1])));
        for (int n = first; n < first + count; ++n) {
            const int k = names > 0 ? n % names : n;
            archive.store(examples::generatedRound(k, n, examples::stressSheets(k, n)),
                          vel::IfStored::Replace);
            std::printf("%d\n", n);
            std::fflush(stdout);
        }
    } catch (const vel::AppError& e) {
        std::fprintf(stderr, "%s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
