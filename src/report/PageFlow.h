#pragma once
// The pages of the report laid out before they are painted, so that every page knows how
// many there are: lines of text wrapped at blanks, tables, charts, and a new page with the
// same subject whenever one is full. Measures are in points from the top left corner of an
// A4 page.

#include "report/ReportPdf.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QPaintDevice;
class QPainter;
class QPdfWriter;

namespace vel::page {

inline constexpr double kPageWidth = 595.2756;  // 210 mm
inline constexpr double kPageHeight = 841.8898; // 297 mm
inline constexpr double kLeft = 42.52;          // 15 mm margins left and right
inline constexpr double kRight = kPageWidth - kLeft;
inline constexpr double kWidth = kRight - kLeft;
inline constexpr double kHeaderBaseline = 32;
inline constexpr double kHeaderRule = 37;
inline constexpr double kTop = 52; // top of the first line of a page's content
inline constexpr double kBottom = kPageHeight - 46;
inline constexpr double kFooterBaseline = kPageHeight - 26;
inline constexpr double kIndent = 14;   // a wrapped line goes on this far in
inline constexpr double kCellPad = 2.5; // inside a table cell, left and right

enum Role { Body, Heading, Title, Small, SmallBold, Table, TableBold, BodyBold, kRoles };

struct Style {
    double size; // points
    bool bold;
    double leading; // points from line to line
};
inline constexpr std::array<Style, kRoles> kStyles = {{
    {8, false, 10},    // Body: the pane's lines
    {10.5, true, 16},  // Heading
    {15, true, 22},    // Title
    {7.5, false, 9},   // Small: header and footer
    {7.5, true, 9},    // SmallBold
    {7.5, false, 9.5}, // Table
    {7.5, true, 9.5},  // TableBold
    {8, true, 10},     // BodyBold
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

enum class Orientation { Portrait, Landscape };

struct Page {
    QString subject;
    std::vector<TextItem> texts;
    std::vector<QLineF> rules;
    std::vector<ChartItem> charts;
    Orientation orientation = Orientation::Portrait;

    double width() const { return orientation == Orientation::Portrait ? kPageWidth : kPageHeight; }
    double height() const { return orientation == Orientation::Portrait ? kPageHeight : kPageWidth; }
    double right() const { return width() - kLeft; } // the right margin's edge
    double bottom() const { return height() - (kPageHeight - kBottom); }
    double footerBaseline() const { return height() - (kPageHeight - kFooterBaseline); }
};

// Fonts of the report and their measures in points. The text is written glyph by glyph
// as the font has it, without shaping: no ligature or substitution can change what a
// reader of the text layer gets back.
class Fonts {
public:
    explicit Fonts(QPaintDevice* device);
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

// Splits a line into pieces no wider than width (the pieces after the first are indent
// narrower): at blanks, the blanks at a break dropped, and only where a single word is
// wider than the line, within the word. Nothing of the text is lost. The first piece keeps
// the line's leading blanks.
QStringList wrapText(const Fonts& fonts, Role role, const QString& line, double width,
                     double indent);

// Places texts, tables and charts down the pages; a page full goes on on a new one with
// the same subject and orientation. Content starts at top on every page (below the page's
// header) and fills the page's width between the margins.
class Flow {
public:
    explicit Flow(const Fonts& fonts, double top = kTop) : m_fonts(fonts), m_top(top), m_y(top) {}

    std::vector<Page> pages;
    std::vector<PlacedChart> charts;

    void newPage(const QString& subject, Orientation orientation = Orientation::Portrait);
    void gap(double height) { m_y += height; }

    // One line of text, wrapped to the width; its pieces stay on one page.
    void line(const QString& text, Role role);

    // Lines in a frame, all on one page, each wrapped to the frame's width; a line indented
    // goes in by kIndent.
    struct BoxLine {
        QString text;
        Role role = Body;
        bool indented = false;
    };
    void box(const std::vector<BoxLine>& lines);

    // A table: a header row repeated on every page it spans, and the rows. Each column is
    // as wide as its widest cell and the longest word of its title, and the width left over
    // is shared out evenly; cells wrap only when the columns cannot all have that much.
    // rightAligned[i]: column i holds numbers.
    void table(const QStringList& header, const std::vector<QStringList>& rows,
               const std::vector<bool>& rightAligned);

    // A chart at the size it has on a screen of 96 dpi, or as wide as the text when that is
    // narrower, its proportions kept, on one page.
    // The width in points that chart() of a flow starting at top gives a chart of this size
    // on an empty page of this orientation.
    static double chartWidth(QSize size, Orientation orientation, double top);
    void chart(const ui::ChartModel& model, const ui::ChartState& state, QSize size,
               const QFont& font);

private:
    // Goes on on a new page unless height fits below what is placed.
    void room(double height);
    void put(QPointF pos, const QString& text, Role role);
    void rule(double y) { pages.back().rules.push_back(QLineF(kLeft, y, right(), y)); }
    double right() const { return pages.back().right(); }
    double width() const { return right() - kLeft; }
    double bottom() const { return pages.back().bottom(); }

    const Fonts& m_fonts;
    double m_top;
    double m_y;
};

// Draws a text with its baseline's left end at pos (in points) on a painter whose device
// has the report's resolution.
inline constexpr int kResolution = 720; // device units per inch: 10 per point
void drawText(QPainter& p, const Fonts& fonts, QPointF pos, const QString& text, Role role);

// What stands around the content of a page: header and footer, given the page's number
// (from 1) and the count of pages.
using PageFrame = std::function<void(QPainter&, const Page&, int number, int count)>;

// A PDF writer of the report's kind: A4 at kResolution, no margins, the program as its
// creator and this title.
void setUpWriter(QPdfWriter& writer, const QString& title);

// Paints the pages laid out by a flow, each with its frame; the charts in chartFont.
// Raises "Stream write error" when the writer cannot be painted on.
void paintPages(QPdfWriter& writer, const std::vector<Page>& pages, const Fonts& fonts,
                const QFont& chartFont, const PageFrame& frame);

} // namespace vel::page
