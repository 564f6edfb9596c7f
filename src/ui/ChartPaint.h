#pragma once
// Painting of a chart model with a view's state: the same function draws on the screen,
// into images and on the printer. It never changes the model or the state; the label boxes
// it drew come back as its result.

#include "ui/ChartLayout.h"
#include "ui/ChartModel.h"
#include "ui/ChartState.h"

#include <QImage>
#include <QSize>
#include <QString>

class QPainter;

namespace ui {

// Paints the whole chart into (0, 0, size) with the state's zoom and label boxes (pinned
// boxes stay where they are). Gives the label boxes as drawn, for ChartState::keepMarks.
ChartMarks paintChart(const ChartModel& model, const ChartState& state, QPainter& painter,
                      QSize size);

// The chart as an image of that size, its texts in the given font; the state keeps the
// label boxes drawn.
QImage renderChart(const ChartModel& model, ChartState& state, QSize size,
                   const QFont& font = QFont());

// The chart as the bytes of an uncompressed BMP image of that size; the state keeps the
// label boxes drawn. Raises "Cannot create file "<fileName>". <reason>" when the image
// cannot be encoded.
QByteArray chartBmp(const ChartModel& model, ChartState& state, QSize size,
                    const QString& fileName);

} // namespace ui
