#pragma once
// The provider's round report as a PDF document: A4, Czech, fonts embedded, every page
// headed by the round's header (RoundHeader.h: provider, round, status, issue date,
// "strana N z M") with the mark "Důvěrné – pouze pro organizátora", since it names every
// participant, and footed by the page's subject and the round's test date.
//
//   - the first pages: the round, the ten reference values, one table row per instrument
//     with its participant code (ResultTable.h, reals in the general 3-digit number format),
//     the figures of the overall test and its four calibration limits, and "Význam
//     hodnocení": each verdict, each warning and each figure in plain Czech with its unit;
//   - the overall evaluation chart with the summary lines of the comparison of the errors,
//     then the calibration-quality chart with the lines of the calibration quality, each
//     from a landscape page of its own;
//   - one section per instrument, from a new page: a box of its verdicts and warnings with
//     their values and limits, its block of the summary pane and its deviation chart.
//
// The anonymous version, for publication, is the same report of a test run on the round
// with every instrument named by its code (anonymousRound()), without the mark.
//
// The texts are the summary pane's lines as the overall test wrote them; a line too long
// for the page wraps at blanks (a continuation is indented) and is never cut. Charts are
// painted by the chart layer as vector graphics; the document holds no raster image, and
// no chart text is smaller than kSmallestChartText on paper.

#include "archive/ArchiveRecords.h"
#include "eval/DeviationChart.h"
#include "overall/OverallCharts.h"
#include "overall/OverallRecord.h"
#include "ui/ChartLayout.h"
#include "ui/ChartState.h"

#include <QByteArray>
#include <QFont>
#include <QRectF>
#include <QSize>

#include <functional>
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

// The text of a chart on paper is at least this many points high.
inline constexpr double kSmallestChartText = 6;

// What the report knows of the round behind the record's test.
struct ReportRound {
    // The round as stored in the archive: its name, information and participant codes;
    // none for a test that has not been stored (the header says so, the codes are "–").
    const Round* round = nullptr;
    // The record is of the anonymous round: the report is for publication.
    bool anonymous = false;
};

ReportDocument makeReportPdf(const OverallRecord& record, const ReportCharts& charts,
                             const ReportRound& about = {});

// The size to lay out a chart at so that its text, in font, is at least
// kSmallestChartText high when drawn `width` points wide for `size`'s width (width(size)
// gives that width for a size): size itself when it is, else the largest size of the same
// proportions that is.
QSize readableChartSize(QSize size, const QFont& font, const std::function<double(QSize)>& width);

// Gives to the state of a chart's copy the zoom and label boxes that a view's state holds
// for the original, point by point (the copy has the same points in the same order).
void carryArrangement(const ui::ChartModel& original, const ui::ChartState& originalState,
                      const ui::ChartModel& copy, ui::ChartState& copyState);

// Lays out a chart once at its size, as a view would show it, and moves its overlapping
// point labels of the series apart as "uspořádat" does.
void arrangeChartLabels(const ui::ChartModel& model, const ui::Series& series,
                        ChartPicture& picture, const QFont& font);

} // namespace vel
