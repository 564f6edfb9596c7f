#include "history/HistoryCharts.h"

#include <algorithm>

namespace vel {

namespace {

struct VerdictColor {
    const char* verdict;
    QColor color;
};

const VerdictColor kTestColors[] = {{"vyhověl", QColor(0, 150, 0)},
                                    {"s výhradami", QColor(240, 150, 0)},
                                    {"nevyhověl", QColor(220, 0, 0)}};
const VerdictColor kCalibrationColors[] = {{"výborný", QColor(0, 110, 0)},
                                           {"dobrý", QColor(110, 200, 60)},
                                           {"vyhověl", QColor(240, 150, 0)},
                                           {"odlehlý", QColor(220, 0, 0)}};
const QColor kOther(128, 128, 128);

template <std::size_t N> QColor colorOf(const VerdictColor (&table)[N], const QString& verdict) {
    for (const VerdictColor& v : table)
        if (verdict == QString::fromUtf8(v.verdict))
            return v.color;
    return kOther;
}

struct ScoreLine {
    int kind;
    QColor color;
    Qt::PenStyle pen;
};

// A chart of the given scores with points coloured by the verdict that `verdictOf` gives.
template <std::size_t N>
std::unique_ptr<ui::ChartModel>
scoreChart(const InstrumentHistory& h, const QString& title, const std::vector<ScoreLine>& lines,
           const VerdictColor (&colors)[N], QString (*verdictOf)(const InstrumentResult&)) {
    auto chart = std::make_unique<ui::ChartModel>(QStringLiteral("Chart1"));
    chart->title = {title};
    chart->legend = ui::LegendPlace::Right;
    const int n = int(h.entries.size());
    for (std::size_t i = 0; i < h.entries.size(); ++i)
        chart->bottom.names << h.label(i);
    chart->bottom.setRange(-0.5, std::max(n, 1) - 0.5);
    chart->bottom.labelAngle = n > 6 ? 90 : 0;
    chart->bottom.tickMinor = 0;
    chart->bottom.title = QStringLiteral("kolo");
    chart->left.title = QStringLiteral("skóre (1 = mez kola)");
    chart->left.labelFormat = QStringLiteral("0.##");

    ui::Series& limit = chart->addSeries(QStringLiteral("mez"), ui::SeriesKind::Line);
    limit.title = QStringLiteral("mez kola = 1");
    limit.color = Qt::black;
    limit.penStyle = Qt::DashLine;
    limit.add(-0.5, 1);
    limit.add(std::max(n, 1) - 0.5, 1);

    double top = 1;
    for (const ScoreLine& l : lines) {
        ui::Series& s = chart->addSeries(scoreTitle(l.kind), ui::SeriesKind::Line);
        s.color = l.color;
        s.penStyle = l.pen;
        s.penWidth = 2;
        for (int i = 0; i < n; ++i)
            if (const std::optional<double>& v = h.entries[std::size_t(i)].scores[l.kind].value) {
                s.add(i, *v);
                top = std::max(top, *v);
            }
    }
    // The points above the lines, one series per verdict (and one for any other text).
    std::vector<ui::Series*> byVerdict;
    for (const VerdictColor& c : colors) {
        ui::Series& s = chart->addSeries(QString::fromUtf8(c.verdict), ui::SeriesKind::Points);
        s.color = c.color;
        byVerdict.push_back(&s);
    }
    ui::Series& other = chart->addSeries(QStringLiteral("jiné hodnocení"), ui::SeriesKind::Points);
    other.color = kOther;
    for (int i = 0; i < n; ++i) {
        const HistoryEntry& e = h.entries[std::size_t(i)];
        const InstrumentResult* r = e.result();
        if (!r)
            continue;
        const QColor color = colorOf(colors, verdictOf(*r));
        ui::Series* target = &other;
        for (ui::Series* s : byVerdict)
            if (s->color == color)
                target = s;
        for (const ScoreLine& l : lines)
            if (const std::optional<double>& v = e.scores[l.kind].value)
                target->add(i, *v);
    }
    for (ui::Series* s : byVerdict)
        s->inLegend = !s->points().empty();
    other.inLegend = !other.points().empty();
    for (const auto& s : chart->allSeries())
        if (s->kind() == ui::SeriesKind::Points) {
            s->shape = ui::PointShape::Circle;
            s->symbolSize = 4;
        }
    chart->left.setRange(0, top * 1.1);
    return chart;
}

QString testVerdictOf(const InstrumentResult& r) {
    return r.testVerdict;
}

QString calibrationVerdictOf(const InstrumentResult& r) {
    return r.calibrationVerdict;
}

} // namespace

QColor testVerdictColor(const QString& verdict) {
    return colorOf(kTestColors, verdict);
}

QColor calibrationVerdictColor(const QString& verdict) {
    return colorOf(kCalibrationColors, verdict);
}

std::unique_ptr<ui::ChartModel> testScoreChart(const InstrumentHistory& h) {
    return scoreChart(h, QStringLiteral("Poloha vůči kružnici a elipse kola"),
                      {{kCircleScore, QColor(0, 70, 200), Qt::SolidLine},
                       {kEllipseScore, QColor(150, 0, 150), Qt::DashDotLine}},
                      kTestColors, testVerdictOf);
}

std::unique_ptr<ui::ChartModel> calibrationScoreChart(const InstrumentHistory& h) {
    return scoreChart(h, QStringLiteral("Kvalita kalibrace vůči mezím kola"),
                      {{kScoreCE, QColor(0, 70, 200), Qt::SolidLine},
                       {kScoreCQ, QColor(150, 0, 150), Qt::SolidLine},
                       {kScoreLE, QColor(0, 160, 160), Qt::DashDotLine},
                       {kScoreLQ, QColor(120, 80, 0), Qt::DashDotLine}},
                      kCalibrationColors, calibrationVerdictOf);
}

} // namespace vel
