#include "report/ReportPdf.h"

#include "data/Errors.h"
#include "output/NumberFormat.h"
#include "overall/LabelArrange.h"
#include "report/ResultTable.h"
#include "ui/ChartPaint.h"
#include "ui/Dialogs.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <optional>

namespace vel {

namespace {

// Page geometry in points (1/72 inch), A4 portrait, measured from the top left corner.
constexpr double kPageWidth = 595.2756;  // 210 mm
constexpr double kPageHeight = 841.8898; // 297 mm
constexpr double kLeft = 42.52;          // 15 mm margins left and right
constexpr double kRight = kPageWidth - kLeft;
constexpr double kWidth = kRight - kLeft;
constexpr double kHeaderBaseline = 32;
constexpr double kHeaderRule = 37;
constexpr double kTop = 52; // top of the first line of a page's content
constexpr double kBottom = kPageHeight - 46;
constexpr double kFooterBaseline = kPageHeight - 26;
constexpr double kIndent = 14;   // a wrapped line goes on this far in
constexpr double kCellPad = 2.5; // inside a table cell, left and right
constexpr int kResolution = 720; // device units per inch: 10 per point

enum Role { Body, Heading, Title, Small, SmallBold, Table, TableBold, kRoles };

struct Style {
    double size;    // points
    bool bold;
    double leading; // points from line to line
};
constexpr std::array<Style, kRoles> kStyles = {{
    {8, false, 10},    // Body: the pane's lines
    {10.5, true, 16},  // Heading
    {15, true, 22},    // Title
    {7.5, false, 9},   // Small: header and footer
    {7.5, true, 9},    // SmallBold
    {7.5, false, 9.5}, // Table
    {7.5, true, 9.5},  // TableBold
}};

struct TextItem {
    QPointF pos; // left end of the baseline
    QString text;
    Role role;
};

struct ChartItem {
    QRectF rect;
    const ui::ChartModel* model;
    const ui::ChartState* state;
    QSize size;
};

struct Page {
    QString subject;
    std::vector<TextItem> texts;
    std::vector<QLineF> rules;
    std::vector<ChartItem> charts;
};

// Fonts of the report and their measures in points. The text is written glyph by glyph
// as the font has it, without shaping: no ligature or substitution can change what a
// reader of the text layer gets back.
class Fonts {
public:
    explicit Fonts(QPaintDevice* device) {
        for (int r = 0; r < kRoles; ++r) {
            QFont f(QStringLiteral("MS Sans Serif"));
            f.setPointSizeF(kStyles[r].size);
            f.setBold(kStyles[r].bold);
            f.setStyleStrategy(QFont::PreferNoShaping);
            f.setHintingPreference(QFont::PreferNoHinting);
            f.setKerning(false);
            m_fonts[r] = QFont(f, device);
            m_metrics[r].emplace(m_fonts[r], device);
        }
        m_scale = 72.0 / device->logicalDpiX();
    }
    const QFont& font(Role r) const { return m_fonts[r]; }
    double advance(Role r, const QString& text) const {
        return m_metrics[r]->horizontalAdvance(text) * m_scale;
    }
    double ascent(Role r) const { return m_metrics[r]->ascent() * m_scale; }

private:
    std::array<QFont, kRoles> m_fonts;
    std::array<std::optional<QFontMetricsF>, kRoles> m_metrics;
    double m_scale = 1;
};

// Splits a line into pieces no wider than width: at blanks (the blanks at a break are
// dropped), and only where a single word is wider than the line, within the word. Nothing
// of the text is lost. The first piece keeps the line's leading blanks.
QStringList wrapText(const Fonts& fonts, Role role, const QString& line, double width,
                     double indent) {
    QStringList pieces;
    QString rest = line;
    double room = width;
    constexpr double kSlack = 1e-6; // widths computed from the same measures fit exactly
    while (fonts.advance(role, rest) > room + kSlack) {
        // The longest prefix that fits.
        qsizetype fit = 0;
        qsizetype lo = 1, hi = rest.size();
        while (lo <= hi) {
            const qsizetype mid = (lo + hi) / 2;
            if (fonts.advance(role, rest.left(mid)) <= room + kSlack) {
                fit = mid;
                lo = mid + 1;
            } else {
                hi = mid - 1;
            }
        }
        fit = std::max<qsizetype>(fit, 1);
        // Back to the last blank within it, past the leading blanks.
        qsizetype start = 0;
        while (start < rest.size() && rest[start] == u' ')
            ++start;
        qsizetype cut = fit;
        if (fit < rest.size() && rest[fit] != u' ') {
            qsizetype b = fit;
            while (b > start && rest[b - 1] != u' ')
                --b;
            if (b > start)
                cut = b - 1;
        }
        qsizetype end = cut;
        while (end > start && rest[end - 1] == u' ')
            --end;
        if (end <= start) // a blank-only prefix: keep the text together as far as it fits
            end = fit;
        pieces << rest.left(end);
        qsizetype next = end;
        while (next < rest.size() && rest[next] == u' ')
            ++next;
        rest = rest.mid(next);
        room = width - indent;
        if (rest.isEmpty())
            return pieces;
    }
    pieces << rest;
    return pieces;
}

// Places texts, tables and charts down the pages; a page full goes on on a new one with
// the same subject.
class Flow {
public:
    explicit Flow(const Fonts& fonts) : m_fonts(fonts) {}

    std::vector<Page> pages;
    std::vector<PlacedChart> charts;

    void newPage(const QString& subject) {
        pages.push_back(Page{subject, {}, {}, {}});
        m_y = kTop;
    }
    void room(double height) {
        if (m_y + height > kBottom && m_y > kTop)
            newPage(pages.back().subject);
    }
    void gap(double height) { m_y += height; }

    // One line of text, wrapped to the width; its pieces stay on one page.
    void line(const QString& text, Role role, double x = kLeft) {
        const double width = kRight - x;
        const QStringList pieces = wrapText(m_fonts, role, text, width, kIndent);
        const double leading = kStyles[role].leading;
        room(leading * pieces.size());
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            put(QPointF(x + (i > 0 ? kIndent : 0), m_y + m_fonts.ascent(role)), pieces[i], role);
            m_y += leading;
        }
    }

    // A table: a header row repeated on every page it spans, and the rows. Each column is
    // as wide as its widest cell and the longest word of its title, and the width left over
    // is shared out evenly; cells wrap only when the columns cannot all have that much.
    // rightAligned[i]: column i holds numbers.
    void table(const QStringList& header, const std::vector<QStringList>& rows,
               const std::vector<bool>& rightAligned) {
        std::vector<double> widths(header.size(), 0);
        for (qsizetype c = 0; c < header.size(); ++c) {
            for (const QString& word : header[c].split(u' ', Qt::SkipEmptyParts))
                widths[c] = std::max(widths[c], m_fonts.advance(TableBold, word));
            for (const QStringList& r : rows)
                widths[c] = std::max(widths[c], m_fonts.advance(Table, r.value(c)));
            widths[c] += 2 * kCellPad;
        }
        double total = 0;
        for (double w : widths)
            total += w;
        for (double& w : widths)
            w = total <= kWidth ? w + (kWidth - total) / widths.size() : w * kWidth / total;

        auto cellLines = [&](const QStringList& cells, Role role) {
            std::vector<QStringList> out;
            for (qsizetype c = 0; c < cells.size(); ++c)
                out.push_back(wrapText(m_fonts, role, cells[c], widths[c] - 2 * kCellPad, 0));
            return out;
        };
        auto height = [&](const std::vector<QStringList>& cells, Role role) {
            qsizetype n = 1;
            for (const QStringList& c : cells)
                n = std::max(n, c.size());
            return n * kStyles[role].leading + 3;
        };
        auto draw = [&](const std::vector<QStringList>& cells, Role role) {
            double x = kLeft;
            for (std::size_t c = 0; c < cells.size(); ++c) {
                double y = m_y + 1.5 + m_fonts.ascent(role);
                for (const QString& piece : cells[c]) {
                    const double px = rightAligned[c]
                                          ? x + widths[c] - kCellPad - m_fonts.advance(role, piece)
                                          : x + kCellPad;
                    put(QPointF(px, y), piece, role);
                    y += kStyles[role].leading;
                }
                x += widths[c];
            }
            m_y += height(cells, role);
        };
        const auto head = cellLines(header, TableBold);
        const double headHeight = height(head, TableBold);
        auto drawHead = [&] {
            rule(m_y);
            draw(head, TableBold);
            rule(m_y);
        };
        std::vector<std::vector<QStringList>> body;
        for (const QStringList& r : rows)
            body.push_back(cellLines(r, Table));
        room(headHeight + (body.empty() ? 0 : height(body.front(), Table)));
        drawHead();
        for (const auto& cells : body) {
            const double h = height(cells, Table);
            if (m_y + h > kBottom) {
                rule(m_y);
                newPage(pages.back().subject);
                drawHead();
            }
            draw(cells, Table);
        }
        rule(m_y);
    }

    // A chart at the size it has on a screen of 96 dpi, or as wide as the text when that is
    // narrower, its proportions kept, on one page.
    void chart(const ui::ChartModel& model, const ui::ChartState& state, QSize size,
               const QFont& font) {
        double w = std::min(kWidth, size.width() * 0.75);
        double h = w * size.height() / size.width();
        if (h > kBottom - kTop) {
            h = kBottom - kTop;
            w = h * size.width() / size.height();
        }
        room(h);
        const QRectF rect(kLeft + (kWidth - w) / 2, m_y, w, h);
        pages.back().charts.push_back(ChartItem{rect, &model, &state, size});
        charts.push_back(PlacedChart{int(pages.size()) - 1, rect, size, &model,
                                     ui::layoutChart(model, size, font, state.zoom(model))});
        m_y += h;
    }

private:
    void put(QPointF pos, const QString& text, Role role) {
        if (!text.isEmpty())
            pages.back().texts.push_back(TextItem{pos, text, role});
    }
    void rule(double y) { pages.back().rules.push_back(QLineF(kLeft, y, kRight, y)); }

    const Fonts& m_fonts;
    double m_y = kTop;
};

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

void paintPage(QPainter& p, const Page& page, int number, int count, const QString& date,
               const Fonts& fonts, const QFont& chartFont) {
    const double u = kResolution / 72.0; // device units per point
    auto text = [&](QPointF pos, const QString& s, Role role) {
        p.setFont(fonts.font(role));
        p.drawText(QPointF(pos.x() * u, pos.y() * u), s);
    };
    p.setPen(Qt::black);

    // Header: the round's test date and the page's subject; footer: the page number.
    text(QPointF(kLeft, kHeaderBaseline),
         date.isEmpty() ? QStringLiteral("datum testu neuvedeno")
                        : QStringLiteral("datum testu: ") + date,
         Small);
    text(QPointF(kRight - fonts.advance(SmallBold, page.subject), kHeaderBaseline), page.subject,
         SmallBold);
    p.setPen(QPen(Qt::black, 0.5 * u));
    p.drawLine(QLineF(kLeft * u, kHeaderRule * u, kRight * u, kHeaderRule * u));
    p.setPen(Qt::black);
    const QString folio = QStringLiteral("strana %1 z %2").arg(number).arg(count);
    text(QPointF((kPageWidth - fonts.advance(Small, folio)) / 2, kFooterBaseline), folio, Small);

    p.setPen(QPen(Qt::black, 0.4 * u));
    for (const QLineF& l : page.rules)
        p.drawLine(QLineF(l.p1() * u, l.p2() * u));
    p.setPen(Qt::black);
    for (const TextItem& t : page.texts)
        text(t.pos, t.text, t.role);

    for (const ChartItem& c : page.charts) {
        p.save();
        p.translate(c.rect.left() * u, c.rect.top() * u);
        p.scale(c.rect.width() * u / c.size.width(), c.rect.height() * u / c.size.height());
        p.setClipRect(QRect(QPoint(0, 0), c.size));
        p.setFont(chartFont);
        ui::paintChart(*c.model, *c.state, p, c.size);
        p.restore();
    }
}

} // namespace

ReportDocument makeReportPdf(const OverallRecord& record, const ReportCharts& charts) {
    ReportDocument doc;
    QBuffer buffer(&doc.pdf);
    buffer.open(QIODevice::WriteOnly);
    const QString date = record.roundTestDate();
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setCreator(QString::fromUtf8(ui::kAppTitle));
        writer.setTitle(date.isEmpty() ? QStringLiteral("Zpráva o výsledcích testu")
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

        QPainter painter;
        if (!painter.begin(&writer))
            throw AppError(QStringLiteral("Stream write error"));
        const int count = int(flow.pages.size());
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                writer.newPage();
            paintPage(painter, flow.pages[i], i + 1, count, date, fonts, charts.font);
        }
        painter.end();
        doc.pageCount = count;
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
    QImage image(picture.size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(font);
    picture.state.keepMarks(model, ui::paintChart(model, picture.state, painter, picture.size));
    painter.end();
    arrangeLabels(picture.state.marks(series));
}

} // namespace vel
