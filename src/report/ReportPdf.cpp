#include "report/ReportPdf.h"

#include "output/NumberFormat.h"
#include "overall/LabelArrange.h"
#include "report/PageFlow.h"
#include "report/ResultTable.h"
#include "ui/ChartPaint.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace vel {

using namespace page;

namespace {

QString instrumentSubject(const InstrumentOutcome& o, int index) {
    return o.id.trimmed().isEmpty() ? QStringLiteral("Přístroj č. %1").arg(index + 1)
                                    : QStringLiteral("Přístroj ") + o.id;
}

void firstPage(Flow& flow, const OverallRecord& record) {
    flow.newPage(QStringLiteral("Souhrn výsledků"));
    flow.line(QStringLiteral("Zpráva o výsledcích testu"), Title);
    flow.line(QStringLiteral("Počet přístrojů v testu: %1").arg(record.instruments.size()),
              Body);
    flow.gap(8);

    flow.line(QStringLiteral("Referenční hodnoty"), Heading);
    {
        QStringList header{QStringLiteral("vzorek")};
        QStringList values{QStringLiteral("hodnota [10³ buněk/ml]")};
        for (int k = 0; k < 10; ++k) {
            header << QString::number(k + 1);
            values << QString::number(record.references[k]);
        }
        std::vector<bool> right(11, true);
        right[0] = false;
        flow.table(header, {values}, right);
    }
    flow.gap(10);

    flow.line(QStringLiteral("Výsledky přístrojů"), Heading);
    {
        std::vector<QStringList> rows;
        for (const InstrumentOutcome& o : record.instruments)
            rows.push_back(resultRow(o, [](double v) { return formatGeneral(v); }));
        std::vector<bool> right(kResultColumns, false);
        for (int c : {1, 2, 4, 5})
            right[c] = true;
        flow.table(resultColumnTitles(), rows, right);
    }
    flow.gap(3);
    flow.line(QStringLiteral("„ano“: hodnocení přístroje vydalo varování – slepý pokus "
                             "(střední hodnota vod nad 3000 buněk/ml nebo vzorek nad 8000 "
                             "buněk/ml), vliv přenosu nad 2\u00a0%, opakovatelnost (více než 5\u00a0% "
                             "diferencí nad limity)."),
              Small);
    flow.gap(10);

    const OverallFigures& f = record.overall;
    flow.line(QStringLiteral("Celkový test"), Heading);
    flow.line(QStringLiteral("střed [mean(průměrná chyba); median(směrodatná odchylka chyby)]: "
                             "[%1; %2]")
                  .arg(formatGeneral(f.M), formatGeneral(f.Med)),
              Body);
    flow.line(QStringLiteral("poloměr kružnice (Interval 1): %1").arg(formatGeneral(f.R)), Body);
    flow.line(QStringLiteral("poloosy elipsy (Interval 2): %1 a %2")
                  .arg(formatGeneral(f.a), formatGeneral(f.b)),
              Body);
    flow.gap(10);

    const CalibrationFigures& c = record.calibration;
    flow.line(QStringLiteral("Meze kvality kalibrace"), Heading);
    flow.line(QStringLiteral("mez náhodné chyby pro Sy,x: %1").arg(formatGeneral(c.LE)), Body);
    flow.line(QStringLiteral("mez náhodné chyby pro 1 − r²: %1").arg(formatGeneral(c.LQ)), Body);
    flow.line(QStringLiteral("95 % mez spolehlivosti pro Sy,x: %1").arg(formatGeneral(c.CE)),
              Body);
    flow.line(QStringLiteral("95 % mez spolehlivosti pro 1 − r²: %1").arg(formatGeneral(c.CQ)),
              Body);
}

// The provider's header: the round's test date and the page's subject; the footer: the
// page number.
void paintFrame(QPainter& p, const Page& page, int number, int count, const QString& date,
                const Fonts& fonts) {
    const double u = kResolution / 72.0; // device units per point
    drawText(p, fonts, QPointF(kLeft, kHeaderBaseline),
             date.isEmpty() ? QStringLiteral("datum testu neuvedeno")
                            : QStringLiteral("datum testu: ") + date,
             Small);
    drawText(p, fonts, QPointF(kRight - fonts.advance(SmallBold, page.subject), kHeaderBaseline),
             page.subject, SmallBold);
    p.setPen(QPen(Qt::black, 0.5 * u));
    p.drawLine(QLineF(kLeft * u, kHeaderRule * u, kRight * u, kHeaderRule * u));
    p.setPen(Qt::black);
    const QString folio = QStringLiteral("strana %1 z %2").arg(number).arg(count);
    drawText(p, fonts, QPointF((kPageWidth - fonts.advance(Small, folio)) / 2, kFooterBaseline),
             folio, Small);
}

} // namespace

ReportDocument makeReportPdf(const OverallRecord& record, const ReportCharts& charts) {
    ReportDocument doc;
    QBuffer buffer(&doc.pdf);
    buffer.open(QIODevice::WriteOnly);
    const QString date = record.roundTestDate();
    {
        QPdfWriter writer(&buffer);
        setUpWriter(writer, date.isEmpty() ? QStringLiteral("Zpráva o výsledcích testu")
                                           : QStringLiteral("Zpráva o výsledcích testu, ") + date);

        const Fonts fonts(&writer);
        Flow flow(fonts);
        firstPage(flow, record);

        // The two overall charts, each with its lines of the summary pane.
        std::vector<ui::ChartState> deviationStates(record.instruments.size());
        if (record.overallChart) {
            flow.newPage(QStringLiteral("Celkové vyhodnocení testu"));
            flow.chart(*record.overallChart, charts.overall.state, charts.overall.size,
                       charts.font);
            flow.gap(6);
            for (const QString& l : record.errorLines())
                flow.line(l, Body);
        }
        if (record.calibrationChart) {
            flow.newPage(QStringLiteral("Kvalita kalibrace"));
            flow.chart(*record.calibrationChart, charts.calibration.state,
                       charts.calibration.size, charts.font);
            flow.gap(6);
            for (const QString& l : record.calibrationLines())
                flow.line(l, Body);
        }

        // A section per instrument: its block and its deviation chart.
        for (std::size_t i = 0; i < record.instruments.size(); ++i) {
            const InstrumentOutcome& o = record.instruments[i];
            flow.newPage(instrumentSubject(o, int(i)));
            for (const QString& l : record.block(int(i)))
                flow.line(l, Body);
            if (o.deviation) {
                flow.gap(8);
                flow.chart(*o.deviation, deviationStates[i], charts.deviation, charts.font);
            }
        }

        paintPages(writer, flow.pages, fonts, charts.font,
                   [&](QPainter& p, const Page& page, int number, int count) {
                       paintFrame(p, page, number, count, date, fonts);
                   });
        doc.charts = std::move(flow.charts);
    }
    buffer.close();
    return doc;
}

void carryArrangement(const ui::ChartModel& original, const ui::ChartState& originalState,
                      const ui::ChartModel& copy, ui::ChartState& copyState) {
    if (const auto zoom = originalState.zoom(original))
        copyState.setZoom(copy, *zoom);
    const auto& from = original.allSeries();
    const auto& to = copy.allSeries();
    for (std::size_t i = 0; i < from.size() && i < to.size(); ++i) {
        const std::vector<ui::MarkBox>& boxes = originalState.marks(*from[i]);
        std::vector<ui::MarkBox>& target = copyState.marks(*to[i]);
        if (boxes.size() == target.size())
            target = boxes;
    }
}

void arrangeChartLabels(const ui::ChartModel& model, const ui::Series& series,
                        ChartPicture& picture, const QFont& font) {
    ui::renderChart(model, picture.state, picture.size, font);
    arrangeLabels(picture.state.marks(series));
}

} // namespace vel
