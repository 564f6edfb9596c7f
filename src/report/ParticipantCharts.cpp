#include "report/ParticipantCharts.h"

#include "overall/LabelArrange.h"
#include "overall/OverallRecord.h"
#include "ui/ChartPaint.h"

namespace vel {

namespace {

// The points of the record's instruments, each at (x, y) of its outcome: the others into
// `others` labelled with their codes, the participant's into a new series of the chart.
template <typename Chart, typename Coordinates>
ui::Series& fillPoints(Chart& chart, const OverallRecord& record, const std::vector<int>& codes,
                       int own, const QString& ownLabel, Coordinates xy) {
    ui::Series& others = chart.Series1;
    ui::Series& mine = chart.addSeries(QStringLiteral("Series%1").arg(chart.allSeries().size() + 1),
                                       ui::SeriesKind::Points);
    mine.title = QStringLiteral("váš přístroj");
    mine.color = kOwnPointColor;
    mine.outline = others.outline;
    mine.outlineWidth = others.outlineWidth;
    mine.shape = others.shape;
    mine.symbolSize = kOwnPointSize;
    mine.marksVisible = true;
    mine.markOffset = others.markOffset;
    mine.markFramed = others.markFramed;
    mine.markBack = others.markBack;
    mine.markLineColor = others.markLineColor;
    mine.markLineVisible = others.markLineVisible;
    others.title = QStringLiteral("ostatní přístroje (kódy)");
    for (int i = 0; i < int(record.instruments.size()); ++i) {
        const auto [x, y] = xy(record.instruments[i]);
        if (i == own)
            mine.add(x, y, ownLabel);
        else
            others.add(x, y, QString::number(i < int(codes.size()) ? codes[i] : 0));
    }
    return mine;
}

// Copies a chart of the record without its instrument points, which carry the tab captions.
template <typename Chart> std::unique_ptr<Chart> copyWithoutInstruments(const Chart& from) {
    auto to = std::make_unique<Chart>();
    copyChartData(from, *to);
    to->Series1.clear(); // with the series that depend on it
    const auto& src = from.allSeries();
    const auto& dst = to->allSeries();
    for (std::size_t i = 0; i < src.size() && i < dst.size(); ++i)
        if (dst[i].get() != &to->Series1 && dst[i]->points().empty())
            for (const ui::ChartPoint& p : src[i]->points())
                dst[i]->add(p.x, p.y, p.label);
    return to;
}

} // namespace

ParticipantCharts participantCharts(const OverallRecord& record, const std::vector<int>& codes,
                                    int own, const QString& ownLabel) {
    ParticipantCharts c;
    c.overall = copyWithoutInstruments(*record.overallChart);
    c.overallOwn = &fillPoints(*c.overall, record, codes, own, ownLabel,
                               [](const InstrumentOutcome& o) { return std::pair(o.d, o.s); });
    c.calibration = copyWithoutInstruments(*record.calibrationChart);
    c.calibrationOwn = &fillPoints(*c.calibration, record, codes, own, ownLabel,
                                   [](const InstrumentOutcome& o) { return std::pair(o.E, o.Q); });
    return c;
}

void arrangeParticipantLabels(const ParticipantCharts& charts, ChartPicture& picture,
                              const QFont& font) {
    ui::renderChart(*charts.calibration, picture.state, picture.size, font);
    std::vector<ui::MarkBox>& others = picture.state.marks(charts.calibration->Series1);
    std::vector<ui::MarkBox>& mine = picture.state.marks(*charts.calibrationOwn);
    std::vector<ui::MarkBox> all = others;
    all.insert(all.end(), mine.begin(), mine.end());
    arrangeLabels(all);
    std::copy(all.begin(), all.begin() + qsizetype(others.size()), others.begin());
    std::copy(all.begin() + qsizetype(others.size()), all.end(), mine.begin());
}

} // namespace vel
