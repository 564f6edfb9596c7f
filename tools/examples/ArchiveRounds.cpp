#include "examples/ArchiveRounds.h"

#include <QtGlobal>

#include <bit>
#include <cfloat>
#include <cstdint>
#include <limits>
#include <random>

namespace examples {

QStringList oddTexts() {
    QStringList texts{QString(),
                      QStringLiteral("<b>tučně</b> &amp; <script>"),
                      QStringLiteral("řádek 1\r\nřádek 2\rřádek 3\nkonec\n"),
                      QStringLiteral("€ 中 😀 ∑ Ω"),
                      QStringLiteral("\"uvozovky\" 'apostrofy' \\ zpětná \\\\ lomítka '' ; --"),
                      QString(1000, QChar(u'ž')),
                      QStringLiteral("   mezery na krajích   "),
                      QStringLiteral("123"),
                      QStringLiteral("-1,5e3"),
                      QStringLiteral("%1 %2 ? :name $1")};
    texts << QStringLiteral("nula") + QChar(0) + QStringLiteral("uvnitř") << QString(1, QChar(0))
          << QString::fromUtf16(u"\uFEFF\u200B\uFFFD\U0010FFFD");
    return texts;
}

std::vector<double> oddReals() {
    return {std::numeric_limits<double>::denorm_min(),
            -std::numeric_limits<double>::denorm_min(),
            std::bit_cast<double>(std::uint64_t(0x000FFFFFFFFFFFFF)), // largest denormal
            DBL_MIN,
            DBL_MAX,
            -DBL_MAX,
            1e308,
            -1e-307,
            0.0,
            1.0 / 3.0,
            0.1,
            -2.5,
            1e15 + 0.5};
}

namespace {

// A random finite double of any exponent.
double randomReal(std::mt19937_64& random) {
    std::uint64_t bits = random();
    if (((bits >> 52) & 0x7FF) == 0x7FF)
        bits &= ~(std::uint64_t(1) << 62);
    return std::bit_cast<double>(bits);
}

} // namespace

vel::Round generatedRound(int k, int n, int sheets, bool withResults) {
    std::mt19937_64 random(std::uint64_t(k) * 1000003u + std::uint64_t(n));
    const QStringList odd = oddTexts();
    const std::vector<double> reals = oddReals();
    auto text = [&] {
        const auto pick = random() % (odd.size() + 3);
        return pick < std::uint64_t(odd.size()) ? odd[qsizetype(pick)]
                                                : QString::number(random() % 100000);
    };
    auto real = [&] {
        const auto pick = random() % (reals.size() * 2);
        return pick < reals.size() ? reals[pick] : randomReal(random);
    };

    vel::Round r;
    r.name = QStringLiteral("kolo %1").arg(k);
    r.programVersion = QString::number(n);
    r.testDate = text();
    r.info.provider = QStringLiteral("Laboratoř %1\nUlice 1\n123 45 Město").arg(k) + text();
    r.info.coordinator = text();
    r.info.samples = text();
    r.info.referenceOrigin = text();
    r.info.advice = text();
    r.info.status = random() % 2 ? vel::RoundStatus::Final : vel::RoundStatus::Preliminary;
    if (random() % 4)
        r.info.issueDate = QDate(2000, 1, 1).addDays(qint64(random() % 20000));
    for (QString& reference : r.references)
        reference = text();
    for (int i = 0; i < sheets; ++i) {
        vel::Sheet& s = r.sheets.emplace_back();
        s.caption = text();
        for (QString& f : s.fields)
            f = text();
        s.fields[vel::kInstrumentIdField] = QStringLiteral("SCC-%1-%2").arg(k).arg(i) + text();
    }
    if (!withResults)
        return r;
    vel::RoundResults& res = r.results.emplace();
    for (double* v : {&res.M, &res.Med, &res.R, &res.a, &res.b, &res.CE, &res.CQ, &res.LE, &res.LQ})
        *v = real();
    for (int i = 0; i < sheets; ++i) {
        vel::InstrumentResult& ir = res.instruments.emplace_back();
        for (double* v : {&ir.d, &ir.s, &ir.E, &ir.Q})
            *v = real();
        ir.testVerdict = text();
        ir.calibrationVerdict = text();
        ir.blankWarning = random() % 2;
        ir.repeatabilityWarning = random() % 2;
        ir.carryOverWarning = random() % 2;
        for (int line = 0; line < 3; ++line)
            res.summary << text();
    }
    res.summary << text();
    return r;
}

int stressSheets(int k, int n) {
    return 1 + (k * 7 + n * 13) % 30;
}

} // namespace examples
