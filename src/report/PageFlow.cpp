#include "report/PageFlow.h"

#include "data/Errors.h"
#include "ui/ChartLayout.h"
#include "ui/ChartPaint.h"
#include "ui/Dialogs.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace vel::page {

Fonts::Fonts(QPaintDevice* device) {
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

void Flow::newPage(const QString& subject, Orientation orientation) {
    pages.push_back(Page{subject, {}, {}, {}, orientation});
    m_y = m_top;
}

void Flow::room(double height) {
    if (m_y + height > bottom() && m_y > m_top)
        newPage(pages.back().subject, pages.back().orientation);
}

void Flow::put(QPointF pos, const QString& text, Role role) {
    if (!text.isEmpty())
        pages.back().texts.push_back(TextItem{pos, text, role});
}

void Flow::line(const QString& text, Role role) {
    const QStringList pieces = wrapText(m_fonts, role, text, width(), kIndent);
    const double leading = kStyles[role].leading;
    room(leading * pieces.size());
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        put(QPointF(kLeft + (i > 0 ? kIndent : 0), m_y + m_fonts.ascent(role)), pieces[i], role);
        m_y += leading;
    }
}

void Flow::box(const std::vector<BoxLine>& lines) {
    constexpr double kPad = 6; // inside the frame
    std::vector<QStringList> pieces;
    double height = 2 * kPad;
    for (const BoxLine& l : lines) {
        const double indent = l.indented ? kIndent : 0;
        pieces.push_back(wrapText(m_fonts, l.role, l.text, width() - 2 * kPad - indent, kIndent));
        height += kStyles[l.role].leading * pieces.back().size();
    }
    room(height);
    const double top = m_y;
    m_y += kPad;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Role role = lines[i].role;
        const double x = kLeft + kPad + (lines[i].indented ? kIndent : 0);
        for (qsizetype k = 0; k < pieces[i].size(); ++k) {
            put(QPointF(x + (k > 0 ? kIndent : 0), m_y + m_fonts.ascent(role)), pieces[i][k], role);
            m_y += kStyles[role].leading;
        }
    }
    m_y = top + height;
    auto& rules = pages.back().rules;
    rules.push_back(QLineF(kLeft, top, right(), top));
    rules.push_back(QLineF(kLeft, m_y, right(), m_y));
    rules.push_back(QLineF(kLeft, top, kLeft, m_y));
    rules.push_back(QLineF(right(), top, right(), m_y));
}

void Flow::table(const QStringList& header, const std::vector<QStringList>& rows,
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
    const double space = width();
    for (double& w : widths)
        w = total <= space ? w + (space - total) / widths.size() : w * space / total;

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
        if (m_y + h > bottom()) {
            rule(m_y);
            newPage(pages.back().subject, pages.back().orientation);
            drawHead();
        }
        draw(cells, Table);
    }
    rule(m_y);
}

double Flow::chartWidth(QSize size, Orientation orientation, double top) {
    Page page;
    page.orientation = orientation;
    double w = std::min(page.right() - kLeft, size.width() * 0.75);
    const double h = w * size.height() / size.width();
    if (h > page.bottom() - top)
        w = (page.bottom() - top) * size.width() / size.height();
    return w;
}

void Flow::chart(const ui::ChartModel& model, const ui::ChartState& state, QSize size,
                 const QFont& font) {
    double w = std::min(width(), size.width() * 0.75);
    double h = w * size.height() / size.width();
    if (h > bottom() - m_top) {
        h = bottom() - m_top;
        w = h * size.width() / size.height();
    }
    room(h);
    const QRectF rect(kLeft + (width() - w) / 2, m_y, w, h);
    pages.back().charts.push_back(ChartItem{rect, &model, &state, size});
    charts.push_back(PlacedChart{int(pages.size()) - 1, rect, size, &model,
                                 ui::layoutChart(model, size, font, state.zoom(model))});
    m_y += h;
}

void drawText(QPainter& p, const Fonts& fonts, QPointF pos, const QString& text, Role role) {
    const double u = kResolution / 72.0; // device units per point
    p.setFont(fonts.font(role));
    p.drawText(QPointF(pos.x() * u, pos.y() * u), text);
}

void setUpWriter(QPdfWriter& writer, const QString& title) {
    writer.setResolution(kResolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QString::fromUtf8(ui::kAppTitle));
    writer.setTitle(title);
}

void paintPages(QPdfWriter& writer, const std::vector<Page>& pages, const Fonts& fonts,
                const QFont& chartFont, const PageFrame& frame) {
    const auto orient = [](const Page& page) {
        return page.orientation == Orientation::Portrait ? QPageLayout::Portrait
                                                         : QPageLayout::Landscape;
    };
    if (!pages.empty())
        writer.setPageOrientation(orient(pages.front()));
    QPainter p;
    if (!p.begin(&writer))
        throw vel::AppError(QStringLiteral("Stream write error"));
    const double u = kResolution / 72.0;
    const int count = int(pages.size());
    for (int i = 0; i < count; ++i) {
        const Page& page = pages[i];
        if (i > 0) {
            writer.setPageOrientation(orient(page));
            writer.newPage();
        }
        p.setPen(Qt::black);
        frame(p, page, i + 1, count);
        p.setPen(QPen(Qt::black, 0.4 * u));
        for (const QLineF& l : page.rules)
            p.drawLine(QLineF(l.p1() * u, l.p2() * u));
        p.setPen(Qt::black);
        for (const TextItem& t : page.texts)
            drawText(p, fonts, t.pos, t.text, t.role);
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
    p.end();
}

} // namespace vel::page
