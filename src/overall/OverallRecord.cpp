#include "overall/OverallRecord.h"

#include <QHash>

#include <algorithm>

namespace vel {

QStringList OverallRecord::block(int instrument) const {
    const InstrumentOutcome& o = instruments.at(instrument);
    return summary.mid(o.blockFirst, o.blockEnd - o.blockFirst);
}

QStringList OverallRecord::errorLines() const {
    return summary.mid(errorLinesFirst, calibrationLinesFirst - errorLinesFirst);
}

QStringList OverallRecord::calibrationLines() const {
    return summary.mid(calibrationLinesFirst);
}

QString roundTestDate(const QStringList& testDates) {
    QHash<QString, int> counts;
    int most = 0;
    for (const QString& date : testDates)
        if (!date.trimmed().isEmpty())
            most = std::max(most, ++counts[date]);
    // Among the most frequent dates the one of the earliest sheet.
    for (const QString& date : testDates)
        if (!date.trimmed().isEmpty() && counts.value(date) == most)
            return date;
    return QString();
}

QString OverallRecord::roundTestDate() const {
    QStringList dates;
    for (const InstrumentOutcome& o : instruments)
        dates << o.testDate;
    return vel::roundTestDate(dates);
}

void copyChartData(const ui::ChartModel& from, ui::ChartModel& to) {
    to.title = from.title;
    to.background = from.background;
    to.backWallFilled = from.backWallFilled;
    to.plotFramed = from.plotFramed;
    to.legend = from.legend;
    to.bottom = from.bottom;
    to.left = from.left;
    to.right = from.right;
    const auto& src = from.allSeries();
    const auto& dst = to.allSeries();
    for (std::size_t i = 0; i < src.size() && i < dst.size(); ++i) {
        ui::Series& d = *dst[i];
        d.clear();
        for (const ui::ChartPoint& p : src[i]->points())
            d.add(p.x, p.y, p.label); // in order, so equal x keep their order
        if (src[i]->hasShape())
            d.setShape(src[i]->x0(), src[i]->y0(), src[i]->x1(), src[i]->y1());
    }
}

} // namespace vel
