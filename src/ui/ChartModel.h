#pragma once
// Chart model: title, three axes, legend and an ordered list of series. It holds the data
// only: what a view adds (the mouse zoom, the label boxes as drawn) is its ChartState, and
// painting (ChartPaint.h) reads the model without changing it.

#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

enum class SeriesKind { Points, Line, Area, Ellipse };
enum class PointShape { Square, Circle, Triangle };
enum class AxisSide { Bottom, Left, Right };
enum class LegendPlace { Right, Bottom, None };

struct ChartPoint {
    double x = 0;
    double y = 0;
    QString label;
    std::uint64_t key = 0; // unique in the program; views keep the point's label box under it
};

struct Axis {
    QString title;
    bool automatic = true;
    double min = 0; // used when not automatic
    double max = 1;
    QString labelFormat; // "" for plain values, or a pattern such as "#,##0.#####"
    int labelAngle = 0;  // degrees; 90 turns the labels
    bool visible = true;
    bool firstLabelRounded = true; // false: the first label sits at the axis minimum
    int labelWidth = 0;            // fixed width of the label column, 0 for automatic
    int tickOuter = 4;
    int tickInner = 0;
    int tickMinor = 2;
    bool hideClippedLabels = false; // labels that would stand partly outside are not drawn
    // When not empty, the axis is labelled by these names at the whole values 0, 1, ...
    // instead of by numbers; where they would overlap, every k-th is shown, counted back
    // from the last.
    QStringList names;

    void setRange(double lo, double hi) {
        automatic = false;
        min = lo;
        max = hi;
    }
};

class Series {
public:
    Series(QString name, SeriesKind kind) : m_name(std::move(name)), m_kind(kind) {}

    const QString& name() const { return m_name; }
    SeriesKind kind() const { return m_kind; }

    // Appearance
    QString title;
    bool inLegend = true;
    AxisSide vertical = AxisSide::Left; // Left or Right axis
    QColor color = Qt::red;             // fill of symbols, colour of lines
    QColor outline = Qt::black;         // symbol outline
    int outlineWidth = 1;
    PointShape shape = PointShape::Square;
    int symbolSize = 4; // half size in pixels
    Qt::PenStyle penStyle = Qt::SolidLine;
    int penWidth = 1;
    bool fineDots = false; // pen of every other pixel

    // Point labels ("marks")
    bool marksVisible = false;
    int markOffset = 0;      // pixels above the point
    bool markFramed = false; // box drawn with a frame
    QColor markBack = QColor(255, 255, 128);
    QColor markLineColor = Qt::white;
    bool markLineVisible = true;

    // Data. Points keep ascending x order; among equal x a new point goes last.
    const std::vector<ChartPoint>& points() const { return m_points; }
    void add(double x, double y, const QString& label = QString());
    // Empties the series (points and shape) and every dependent series. The label boxes
    // that views keep for the points go with them.
    void clear();
    void addDependent(Series* s) { m_dependents.push_back(s); }

    // Ellipse shape: an ellipse inscribed in the box of two corners, in axis units.
    void setShape(double x0, double y0, double x1, double y1);
    bool hasShape() const { return m_hasShape; }
    double x0() const { return m_x0; }
    double y0() const { return m_y0; }
    double x1() const { return m_x1; }
    double y1() const { return m_y1; }

    // Extent of the data (points, or corners of a shape); nullopt when empty.
    std::optional<double> minX() const;
    std::optional<double> maxX() const;
    std::optional<double> minY() const;
    std::optional<double> maxY() const;

private:
    QString m_name;
    SeriesKind m_kind;
    std::vector<ChartPoint> m_points;
    std::vector<Series*> m_dependents;
    bool m_hasShape = false;
    bool m_clearing = false;
    double m_x0 = 0, m_y0 = 0, m_x1 = 0, m_y1 = 0;
};

class ChartModel {
public:
    explicit ChartModel(QString name = QStringLiteral("Chart1")) : m_name(std::move(name)) {}

    const QString& name() const { return m_name; }

    QStringList title;
    QColor background = Qt::white;
    bool backWallFilled = false;
    bool plotFramed = true; // a frame around the plot area
    LegendPlace legend = LegendPlace::Right;
    Axis bottom, left, right;

    Series& addSeries(const QString& name, SeriesKind kind);
    const std::vector<std::unique_ptr<Series>>& allSeries() const { return m_series; }

    // Asks every view of the chart to drop its mouse zoom, so that the axes show their own
    // ranges again (a new run of an evaluation). ChartState compares the count.
    void unzoomViews() { ++m_unzooms; }
    std::uint64_t unzoomCount() const { return m_unzooms; }

private:
    QString m_name;
    std::uint64_t m_unzooms = 0;
    std::vector<std::unique_ptr<Series>> m_series;
};

} // namespace ui
