#pragma once
// Scale of one chart axis: its range, a readable label step, the labelled values and their
// texts.

#include "ui/ChartModel.h"

#include <QString>
#include <QStringList>

#include <vector>

class QFontMetrics;

namespace ui {

// One axis as resolved for a painting: its range, step and the labelled values.
struct AxisScale {
    double min = 0;
    double max = 1;
    double step = 1;
    std::vector<double> ticks; // labelled values, ascending
    QStringList labels;        // texts of ticks
    bool shown = false;        // labels, ticks and title are painted
    int labelSize = 0;         // depth of the label column (px across the axis)
};

// Readable step (1, 2 or 5 times a power of ten) for a range spread over the given
// pixels, so that labels stand at least minSpacing pixels apart.
double niceStep(double range, double pixels, double minSpacing = 50);

// Text of an axis value. format "" gives the plain value; a pattern like "#,##0.#####"
// gives grouped digits, the required digits before the decimal separator and up to the
// given decimals without trailing zeros. step is the label step, used to drop noise.
QString formatAxisLabel(double value, const QString& format, double step);

// Smallest difference between two values that the label format shows apart: 10 to the
// minus the number of decimals of a pattern ("#,##0.#####" gives 0.00001), 0 for plain
// labels.
double labelResolution(const QString& format);

// Step, values and texts of the labels of scale s (its min and max set) for the axis
// spread over the given pixels. Side by side labels get room for their width. The step is
// never finer than the labels can tell apart, so no two labels read the same.
void makeTicks(AxisScale& s, const Axis& axis, int pixels, const QFontMetrics& fm, bool horizontal);

// Width of the widest of the texts.
int textWidth(const QFontMetrics& fm, const QStringList& texts);

} // namespace ui
