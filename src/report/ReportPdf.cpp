#include "report/ReportPdf.h"

#include "output/NumberFormat.h"
#include "overall/LabelArrange.h"
#include "report/PageFlow.h"
#include "report/ResultMeaning.h"
#include "report/ResultTable.h"
#include "report/RoundHeader.h"
#include "ui/ChartLayout.h"
#include "ui/ChartPaint.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <optional>

namespace vel {

using namespace page;

namespace {

QString instrumentSubject(const InstrumentOutcome& o, int index) {
    return o.id.trimmed().isEmpty() ? QStringLiteral("Přístroj č. %1").arg(index + 1)
                                    : QStringLiteral("Přístroj ") + o.id;
}

QString codeOf(const ReportRound& about, std::size_t i) {
    return about.round && i < about.round->sheets.size()
               ? QString::number(about.round->sheets[i].participantCode)
               : QStringLiteral("–");
}

void roundLines(Flow& flow, const OverallRecord& record, const ReportRound& about) {
    const QString date = record.roundTestDate();
    flow.line(QStringLiteral("%1, datum testu %2, přístrojů v kole: %3")
                  .arg(about.round ? QStringLiteral("Kolo ") + about.round->name
                                   : QStringLiteral("Kolo neuložené v archivu"),
                       date.isEmpty() ? QStringLiteral("neuvedeno") : date)
                  .arg(record.instruments.size()),
              Body);
    if (!about.round)
        return;
    const RoundInfo& info = about.round->info;
    roundInfoLines(flow, QStringLiteral("Organizátor: "), info.provider);
    roundInfoLines(flow, QStringLiteral("Koordinátor: "), info.coordinator);
    roundInfoLines(flow, QStringLiteral("Vzorky: "), info.samples);
    roundInfoLines(flow, QStringLiteral("Jak byly referenční hodnoty získány: "), info.referenceOrigin);
    roundInfoLines(flow, QStringLiteral("Komentář organizátora: "), info.advice);
}

void firstPage(Flow& flow, const OverallRecord& record, const ReportRound& about) {
    flow.newPage(QStringLiteral("Souhrn výsledků"));
    flow.line(QStringLiteral("Zpráva o výsledcích testu"), Title);
    roundLines(flow, record, about);
    flow.line(about.anonymous
                  ? QStringLiteral("Verze ke zveřejnění: přístroje jsou označeny jen kódy "
                                   "účastníků; svůj kód zná každý účastník ze své zprávy.")
                  : QStringLiteral("Zpráva jmenuje všechny účastníky a je určena jen "
                                   "organizátorovi. Účastníci dostávají své zprávy, ke "
                                   "zveřejnění slouží anonymní verze."),
              BodyBold);
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
        for (std::size_t i = 0; i < record.instruments.size(); ++i)
            rows.push_back(resultRow(record.instruments[i], codeOf(about, i),
                                     [](double v) { return formatGeneral(v); }));
        std::vector<bool> right(kResultColumns, false);
        for (int c : {1, 2, 3, 5, 6})
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
    flow.gap(10);

    flow.line(QStringLiteral("Význam hodnocení"), Heading);
    flow.line(QStringLiteral("Hodnoty chyb, Sy,x a mezí jsou v tisících buněk na mililitr (%1).")
                  .arg(QString::fromUtf8(kCountUnit)),
              Body);
    for (const TermLine& t : verdictTerms())
        flow.line(t.term + QStringLiteral(": ") + t.meaning, Body);
    flow.gap(4);
    flow.line(QStringLiteral("Varování a veličiny"), BodyBold);
    for (const TermLine& t : warningTerms())
        flow.line(t.term + QStringLiteral(": ") + t.meaning, Body);
    flow.gap(4);
    flow.line(QStringLiteral("Údaje celého kola"), BodyBold);
    roundFigureLines(flow, record);
    flow.gap(3);
    flow.line(QStringLiteral("Souhrnné řádky uvádějí poloosy elipsy zápisem "
                             "„mean_value(...)/2*0.95“ a 1 − r² jako převrácenou hodnotu; "
                             "vypočteno je, jak je popsáno výše: polovina rozpětí krát 0,95 a "
                             "doplněk koeficientu determinace."),
              Small);
}

// The footer: the page's subject and the round's test date.
void paintFooter(QPainter& p, const Page& page, const QString& date, const Fonts& fonts) {
    drawText(p, fonts, QPointF(kLeft, page.footerBaseline()), page.subject, SmallBold);
    const QString right = date.isEmpty() ? QStringLiteral("datum testu neuvedeno")
                                         : QStringLiteral("datum testu: ") + date;
    drawText(p, fonts, QPointF(page.right() - fonts.advance(Small, right), page.footerBaseline()),
             right, Small);
}

// A chart's picture drawn `width` points wide, laid out anew at a readable size when its
// own is too large for that; the zoom stays, the labels of `labelled` are moved apart.
ChartPicture readable(const ui::ChartModel& model, const ui::Series& labelled,
                      const ChartPicture& picture, const QFont& font,
                      const std::function<double(QSize)>& width) {
    const QSize size = readableChartSize(picture.size, font, width);
    if (size == picture.size)
        return picture;
    ChartPicture out{size, {}};
    if (const auto zoom = picture.state.zoom(model))
        out.state.setZoom(model, *zoom);
    arrangeChartLabels(model, labelled, out, font);
    return out;
}

} // namespace

QSize readableChartSize(QSize size, const QFont& font, const std::function<double(QSize)>& width) {
    const int px = ui::pixelFont(font).pixelSize();
    for (int i = 0; i < 8 && size.width() > 1; ++i) {
        const double text = px * width(size) / size.width();
        if (text >= kSmallestChartText)
            break;
        const double f = text / kSmallestChartText;
        size = QSize(std::max(1, int(size.width() * f)), std::max(1, int(size.height() * f)));
    }
    return size;
}

ReportDocument makeReportPdf(const OverallRecord& record, const ReportCharts& charts,
                             const ReportRound& about) {
    ReportDocument doc;
    QBuffer buffer(&doc.pdf);
    buffer.open(QIODevice::WriteOnly);
    const QString date = record.roundTestDate();
    RoundHeader header = about.round ? roundHeader(about.round->name, about.round->info, QString())
                                     : roundHeader(QString(), RoundInfo{}, QString());
    if (!about.anonymous)
        header.mark = QStringLiteral("Důvěrné – pouze pro organizátora");
    {
        QPdfWriter writer(&buffer);
        QString title = QStringLiteral("Zpráva o výsledcích testu");
        if (about.round)
            title += QStringLiteral(", kolo ") + about.round->name;
        else if (!date.isEmpty())
            title += QStringLiteral(", ") + date;
        setUpWriter(writer, title);

        const Fonts fonts(&writer);
        Flow flow(fonts, kRoundTop);
        firstPage(flow, record, about);

        // The two overall charts, each from a landscape page of its own with its lines of
        // the summary pane.
        const auto landscape = [&](QSize size) {
            return Flow::chartWidth(size, Orientation::Landscape, kRoundTop);
        };
        std::vector<ui::ChartState> deviationStates(record.instruments.size());
        std::optional<ChartPicture> overall, calibration;
        if (record.overallChart) {
            overall = readable(*record.overallChart, record.overallChart->Series1, charts.overall,
                               charts.font, landscape);
            flow.newPage(QStringLiteral("Celkové vyhodnocení testu"), Orientation::Landscape);
            flow.chart(*record.overallChart, overall->state, overall->size, charts.font);
            flow.gap(6);
            for (const QString& l : record.errorLines())
                flow.line(l, Body);
        }
        if (record.calibrationChart) {
            calibration = readable(*record.calibrationChart, record.calibrationChart->Series1,
                                   charts.calibration, charts.font, landscape);
            flow.newPage(QStringLiteral("Kvalita kalibrace"), Orientation::Landscape);
            flow.chart(*record.calibrationChart, calibration->state, calibration->size,
                       charts.font);
            flow.gap(6);
            for (const QString& l : record.calibrationLines())
                flow.line(l, Body);
        }

        // A section per instrument: its verdicts, its block and its deviation chart.
        const auto portrait = [&](QSize size) {
            return Flow::chartWidth(size, Orientation::Portrait, kRoundTop);
        };
        for (std::size_t i = 0; i < record.instruments.size(); ++i) {
            const InstrumentOutcome& o = record.instruments[i];
            flow.newPage(instrumentSubject(o, int(i)));
            flow.line(instrumentSubject(o, int(i)) + QStringLiteral(", kód účastníka ") +
                          codeOf(about, i),
                      Heading);
            flow.box(verdictBox(record, int(i)));
            flow.gap(8);
            for (const QString& l : record.block(int(i)))
                flow.line(l, Body);
            if (o.deviation) {
                flow.gap(8);
                flow.chart(*o.deviation, deviationStates[i],
                           readableChartSize(charts.deviation, charts.font, portrait),
                           charts.font);
            }
        }

        paintPages(writer, flow.pages, fonts, charts.font,
                   [&](QPainter& p, const Page& page, int number, int count) {
                       paintRoundHeader(p, fonts, header, number, count, page.right());
                       paintFooter(p, page, date, fonts);
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
