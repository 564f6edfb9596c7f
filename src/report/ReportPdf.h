#pragma once
// The round report as a PDF document: A4, Czech, fonts embedded, every page headed by the
// round's test date and the page's subject and numbered "strana N z M".
//
//   - the first page (continued on further pages when the instruments need them): the ten
//     reference values, one table row per instrument (ResultTable.h, reals in the general
//     3-digit number format) and the figures of the overall test and its four calibration
//     limits;
//   - the overall evaluation chart with the summary lines of the comparison of the errors,
//     then the calibration-quality chart with the lines of the calibration quality;
//   - one section per instrument, from a new page: its block of the summary pane and its
//     deviation chart.
//
// The texts are the summary pane's lines as the overall test wrote them; a line too long
// for the page wraps at blanks (a continuation is indented) and is never cut. Charts are
// painted by the chart layer as vector graphics; the document holds no raster image.

#include "eval/DeviationChart.h"
#include "overall/OverallCharts.h"
#include "overall/OverallRecord.h"
#include "ui/ChartLayout.h"
#include "ui/ChartState.h"

#include <QByteArray>
#include <QFont>
#include <QRectF>
#include <QSize>

#include <vector>

namespace vel {

// How one chart is drawn: the size it is laid out at (in chart pixels, the size of its
// view on the screen) and the view state with its zoom and label boxes.
struct ChartPicture {
    QSize size;
    ui::ChartState state;
};

// The charts of a report. The states belong to the record's own chart copies.
struct ReportCharts {
    ChartPicture overall{kOverallChartSize, {}};         // Form3's chart
    ChartPicture calibration{kCalibrationChartSize, {}}; // Form5's chart
    QSize deviation = kDeviationChartSize;               // the main window's chart
    QFont font;                                     // the charts' font, as the views use
};

// A chart as placed in the document, for checking the document against the model.
struct PlacedChart {
    int page = 0;                       // from 0
    QRectF rect;                        // on the page, in points from its top left corner
    QSize size;                         // chart pixels the rectangle shows
    const ui::ChartModel* model = nullptr;
    ui::ChartLayout layout;             // the layout it was painted with
};

struct ReportDocument {
    QByteArray pdf;
    std::vector<PlacedChart> charts; // overall, calibration, then each instrument's
};

ReportDocument makeReportPdf(const OverallRecord& record, const ReportCharts& charts);

// Gives to the state of a chart's copy the zoom and label boxes that a view's state holds
// for the original, point by point (the copy has the same points in the same order).
void carryArrangement(const ui::ChartModel& original, const ui::ChartState& originalState,
                      const ui::ChartModel& copy, ui::ChartState& copyState);

// Lays out a chart once at its size, as a view would show it, and moves its overlapping
// point labels of the series apart as "uspořádat" does.
void arrangeChartLabels(const ui::ChartModel& model, const ui::Series& series,
                        ChartPicture& picture, const QFont& font);

} // namespace vel
