// The repeatability evaluation (Button3Click) and CheckPairDifference.

#include "eval/Evaluations.h"

#include "data/Conversion.h"
#include "eval/Checked.h"
#include "eval/EvalSupport.h"
#include "eval/Workspace.h"
#include "output/NumberFormat.h"
#include "output/SummaryMode.h"
#include "output/TextPane.h"

#include <cstdint>

namespace vel {

namespace {

struct Level {
    int limit;
    const char* mainLabel;    // in Form1's Memo1, after "vzorky " and the pair label
    const char* summaryLabel; // in Form2's Memo1
};

// The six concentration levels; the upper bound of each is inclusive.
const Level& levelOf(std::int32_t r) {
    static const Level levels[6] = {
        {25, ": diference na hladině <150*10^3: ", " diference na hladině <150*10^3: "},
        {42, ": diference na hladině 150-300*10^3: ", " diference na hladině 150-300*10^3: "},
        {50, ": diference na hladině 300-450*10^3: ", " diference na hladině 300-450*10^3: "},
        {63, ": diference na hladině 450-750*10^3: ", " diference na hladině 450-750*10^3: "},
        {126, ": diference na hladině 750-1500*10^3: ", " diference na hladině 750-1500*10^3: "},
        {126, ": diference na hladině >1500*10^3: ", " diference na hladině >1500*10^3: "},
    };
    if (r <= 150)
        return levels[0];
    if (r <= 300)
        return levels[1];
    if (r <= 450)
        return levels[2];
    if (r <= 750)
        return levels[3];
    if (r <= 1500)
        return levels[4];
    return levels[5];
}

struct Pair {
    const char* label;
    int first;  // replicate of a
    int second; // replicate of b
};

constexpr Pair kPairs[6] = {{"1-2", 1, 2}, {"1-3", 1, 3}, {"1-4", 1, 4},
                            {"2-3", 2, 3}, {"2-4", 2, 4}, {"3-4", 3, 4}};

} // namespace

bool CheckPairDifference(Workspace& ws, double& P, double& T, int a, int b, int s,
                         const QString& label) {
    // The level of the sample from its reference value; the difference in 64 bits, so
    // counts across the whole 32-bit range give the true difference.
    const Level& level = levelOf(toInt(ws.referenceText(s)));
    const std::int64_t d = a >= b ? std::int64_t(a) - b : std::int64_t(b) - a;

    // The pair's line in the main pane, and in the summary pane in summary mode.
    ws.mainPane().add(QStringLiteral("vzorky ") + label + QString::fromUtf8(level.mainLabel) +
                      QString::number(d));
    if (summaryMode())
        ws.summaryPane().add(QString::fromUtf8(level.summaryLabel) + QString::number(d));

    // d^2 as an integer, then added as a real. d < 2^32, so d^2 < 2^64 fits unsigned.
    const std::uint64_t square = std::uint64_t(d) * std::uint64_t(d);
    P = (Real(P) + double(square)).value();
    T = (Real(T) + double(square)).value();

    // A difference above the limit marks the pair's line with "*" in both panes.
    if (d > level.limit) {
        ws.mainPane().appendToLast(QStringLiteral("*"));
        if (summaryMode())
            ws.summaryPane().appendToLast(QStringLiteral("*"));
        return true;
    }
    return false;
}

RepeatabilityResult repeatability(Workspace& ws) {
    if (!detail::hasCurrentSheet(ws))
        return {};

    TextPane& main = ws.mainPane();
    TextPane& sum = ws.summaryPane();

    // Counters and sums of squares start afresh; the main pane is emptied.
    std::int32_t n = 0;
    main.clear();
    double P = 0;
    double T = 0;

    // Rows 2 to 11 white again before the pairs are judged anew.
    for (int r = 2; r <= 11; ++r)
        for (int c = 1; c <= 4; ++c)
            ws.setCountYellow(r, c, false);

    // Headings.
    const QString title = QStringLiteral("Vyhodnocení opakovatelností celého setu.");
    const QString hyphens34(34, u'-');
    main.add(QString());
    main.add(title);
    main.add(hyphens34);
    if (summaryMode()) {
        sum.add(QString());
        sum.add(title);
        sum.add(hyphens34);
    }

    // Sample by sample: six pairs each, then the partial repeatability.
    for (int s = 1; s <= 10; ++s) {
        const int row = s + 1;
        main.add(QStringLiteral("vzorky ") + QString::number(s));
        for (const Pair& pair : kPairs) {
            // b is converted before a.
            const std::int32_t b = toInt(ws.countText(row, pair.second));
            const std::int32_t a = toInt(ws.countText(row, pair.first));
            if (CheckPairDifference(ws, P, T, a, b, s, QString::fromLatin1(pair.label))) {
                ++n;
                ws.setCountYellow(row, pair.first, true);
                ws.setCountYellow(row, pair.second, true);
            }
        }
        const QString partial = formatGeneral(sqrt(Real(P) / 12).value());
        main.add(QStringLiteral("parciální opakovatelnost: ") + partial);
        if (summaryMode())
            sum.add(QStringLiteral("parciální opakovatelnost vzorku ") + QString::number(s) +
                    QStringLiteral(" : ") + partial);
        P = 0;
    }

    const QString overall = formatGeneral(sqrt(Real(T) / 120).value());
    const QString share = formatGeneral((Real(double(n)) * 100 / 60).value());

    // Closing lines of the summary block.
    if (summaryMode()) {
        sum.add(QString());
        sum.add(QStringLiteral("celková opakovatelnost: ") + overall);
        sum.add(QStringLiteral("Rozdíl mezi vzorky na daných hladiná dle normy je v: ") + share +
                QStringLiteral(" % případů."));
        sum.add(QStringLiteral(
            "* - diference na dané hladině je mezi vzorky větší než předepisuje norma"));
        sum.add(QStringLiteral("Parciální opakovatelnost je určena jako směrodatná odchylka pro "
                               "diference mezi kombinacemi měření jednotlivých vzorků (6 "
                               "kombinací)"));
        sum.add(QStringLiteral("Celková opakovatelnost je určena jako směrodatná odchylka pro "
                               "diference mezi všemi možnými kombinacemi měření jednotlivých "
                               "vzorků (60 kombinací)"));
    }

    // Closing lines of the main pane.
    main.add(QStringLiteral("celková opakovatelnost: ") + overall);
    main.add(QStringLiteral("Rozdíl mezi vzorky je v: ") + share + QStringLiteral(" % případů."));
    main.add(QStringLiteral("* - diference je větší než předepisuje norma"));

    // More than 3 of the 60 pairs above their limits: the warning box.
    const bool warning = n > 3;
    if (warning)
        ws.notify(QString::fromUtf8(texts::kRepeatabilityBox));
    return {warning, n};
}

} // namespace vel
