// The linearity check (Button6Click).

#include "eval/Evaluations.h"

#include "data/Conversion.h"
#include "eval/Checked.h"
#include "eval/DeviationChart.h"
#include "eval/EvalSupport.h"
#include "eval/Regression.h"
#include "eval/Workspace.h"
#include "output/NumberFormat.h"
#include "output/SummaryMode.h"
#include "output/TextPane.h"

#include <cmath>
#include <cstdint>

namespace vel {

namespace {
// Asks the chart views to repaint when the check ends, on an error too: what was put into
// the chart before the error stays there and is shown.
class ChartsChangedOnExit {
public:
    explicit ChartsChangedOnExit(Workspace& ws) : m_ws(ws) {}
    ~ChartsChangedOnExit() {
        try {
            m_ws.chartsChanged();
        } catch (...) {
        }
    }
    ChartsChangedOnExit(const ChartsChangedOnExit&) = delete;
    ChartsChangedOnExit& operator=(const ChartsChangedOnExit&) = delete;

private:
    Workspace& m_ws;
};
} // namespace

void linearity(Workspace& ws) {
    if (!detail::hasCurrentSheet(ws))
        return;

    DeviationChart& chart = ws.deviationChart();
    ChartsChangedOnExit repaint(ws);
    ui::Series& points = chart.Series2;
    ui::Series& regression = chart.Series3;
    ui::Series& identity = chart.Series4;

    // Empty every series of the chart.
    for (const auto& s : chart.allSeries())
        s->clear();

    // The title names the instrument.
    chart.title = QStringList{QStringLiteral("Odchylky měření pro přístroj: ") + ws.idText()};

    // Means, deviations and their points.
    double mean[10];
    for (int k = 1; k <= 10; ++k) {
        std::int64_t sum = 0;
        for (int c = 1; c <= 4; ++c)
            sum += toInt(ws.countText(k + 1, c));
        mean[k - 1] = (Real(double(sum)) / 4).value();
        const double r = toInt(ws.referenceText(k));
        const double d = abs(Real(mean[k - 1]) - r).value();
        points.add(r, d, QStringLiteral("v ") + QString::number(k));
    }

    // rc from the extent of Series2. All reference values equal: "Floating point
    // division by zero", or "Invalid floating point operation" when all d are equal too.
    const double maxD = *points.maxY();
    const double minD = *points.minY();
    const double maxR = *points.maxX();
    const double minR = *points.minX();
    const Real spreadD = 100 * (Real(maxD) - minD);
    const Real spreadR = Real(maxR) - minR;
    const double rc = (spreadD / spreadR).value();

    // The first three lines: heading and rc.
    const QString lines1[3] = {
        QStringLiteral("Výsledky regrese"),
        QStringLiteral("----------------"),
        QStringLiteral("Hodnota rc: ") + formatGeneral(rc) + QStringLiteral(" %"),
    };
    TextPane& main = ws.mainPane();
    main.clear();
    for (const QString& l : lines1)
        main.add(l);

    // The fit of the means on the reference values (read again).
    RegressionPair pairs[10];
    for (int k = 1; k <= 10; ++k)
        pairs[k - 1] = RegressionPair{double(toInt(ws.referenceText(k))), mean[k - 1]};
    double covariance = 0, determination = 0, correlation = 0, slope = 0, intercept = 0;
    Regression(pairs, 10, 1, covariance, determination, correlation, slope, intercept);

    // The fitted line and its statistics.
    const QString lines2[4] = {
        QStringLiteral("Rovnice regrese: ") + formatGeneral(intercept) + QStringLiteral(" +") +
            formatGeneral(slope) + QStringLiteral("*x"),
        QStringLiteral("Korelační koeficient: ") + formatGeneral(correlation),
        QStringLiteral("Koeficient determinace: ") + formatGeneral(determination),
        QStringLiteral("Kovariance korelace: ") + formatGeneral(covariance),
    };
    for (const QString& l : lines2)
        main.add(l);

    // The two lines up to the largest reference value.
    const double X = *points.maxX();
    regression.add(0, intercept);
    regression.add(X, (intercept + Real(slope) * X).value());
    identity.add(0, 0);
    identity.add(X, X);

    // In summary mode the same block goes to the summary pane.
    if (summaryMode()) {
        TextPane& sum = ws.summaryPane();
        sum.add(QString());
        for (const QString& l : lines1)
            sum.add(l);
        for (const QString& l : lines2)
            sum.add(l);
    }
}

} // namespace vel
