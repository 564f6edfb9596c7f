#include "examples/ExampleData.h"

#include "data/FileIo.h"

#include <QDir>

namespace examples {

vel::ReferenceValues referenceValues() {
    vel::ReferenceValues v{};
    for (int k = 0; k < 10; ++k)
        v[k] = 100 * (k + 1);
    return v;
}

vel::InstrumentRecord makeInstrument(const QString& id, const std::array<int, 4>& errors,
                                     const std::array<int, 4>& blank,
                                     const std::array<int, 4>& water1,
                                     const std::array<int, 4>& water2) {
    vel::InstrumentRecord rec;
    const vel::ReferenceValues refs = referenceValues();
    for (int c = 1; c <= 4; ++c) {
        rec.count(1, c) = blank[c - 1];
        for (int k = 1; k <= 10; ++k)
            rec.count(k + 1, c) = refs[k - 1] + errors[c - 1];
        rec.count(12, c) = water1[c - 1];
        rec.count(13, c) = water2[c - 1];
    }
    rec.id = id;
    rec.time = QStringLiteral("08:%1").arg(10 + 7 * id.right(1).toInt());
    rec.temperature = QStringLiteral("40 °C");
    rec.received = QStringLiteral("01.12.2026");
    rec.testDate = QStringLiteral("03.12.2026");
    return rec;
}

std::vector<vel::InstrumentRecord> instruments() {
    return {
        makeInstrument(QStringLiteral("SCC-01"), {2, -2, 2, -2}, {2, 1, 3, 2}, {3, 2, 2, 3},
                       {1, 1, 0, 2}),
        makeInstrument(QStringLiteral("SCC-02"), {4, 0, 4, 0}, {1, 2, 2, 1}, {4, 3, 3, 2},
                       {1, 2, 1, 1}),
        // A blank above 8 000 cells/ml in the second intake.
        makeInstrument(QStringLiteral("SCC-03"), {3, -1, 3, -1}, {4, 9, 3, 5}, {2, 3, 2, 2},
                       {1, 0, 1, 1}),
        // Carry-over: (100 - 3) / (4016 - 3) * 100 = 2.42 %.
        makeInstrument(QStringLiteral("SCC-04"), {6, 2, 6, 2}, {1, 1, 2, 2}, {25, 25, 26, 24},
                       {1, 0, 1, 1}),
        makeInstrument(QStringLiteral("SCC-05"), {-10, -10, -10, -10}, {3, 2, 2, 2}, {2, 2, 3, 1},
                       {1, 1, 1, 0}),
        makeInstrument(QStringLiteral("SCC-06"), {1, 1, 1, 1}, {0, 1, 1, 0}, {1, 2, 1, 2},
                       {0, 0, 1, 0}),
    };
}

QString instrumentFileName(int i) {
    return QStringLiteral("instrument%1.dat").arg(i);
}
QString referenceFileName() {
    return QStringLiteral("reference.ref");
}

void writeExamples(const QString& dir) {
    QDir d(dir);
    const auto all = instruments();
    for (size_t i = 0; i < all.size(); ++i)
        vel::writeWholeFile(d.filePath(instrumentFileName(int(i) + 1)),
                            vel::encodeInstrumentRecord(all[i]), vel::WriteErrors::Io);
    vel::writeReferenceFile(d.filePath(referenceFileName()), referenceValues());
}

vel::InstrumentRecord generatedInstrument(int i) {
    static const std::array<std::array<int, 4>, 6> patterns = {{{2, -2, 2, -2},
                                                                {4, 0, 4, 0},
                                                                {3, -1, 3, -1},
                                                                {6, 2, 6, 2},
                                                                {-10, -10, -10, -10},
                                                                {1, 1, 1, 1}}};
    std::array<int, 4> e = patterns[size_t(i % 6)];
    for (int& v : e)
        v += (i / 6) % 7 - 3;
    e[0] += (i / 42) % 3;
    return makeInstrument(QStringLiteral("BENCH-%1").arg(i + 1), e, {1, 2, 2, 1}, {3, 2, 2, 3},
                          {1, 1, 0, 2});
}

} // namespace examples
