#pragma once
// Chart model: title, three axes, legend and an ordered list of series. It holds no
// widget; ChartView paints it, and the same painting goes to images and printers.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

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
};

// A point label as last drawn, in chart pixels (x to the right, y downwards).
struct MarkBox {
    bool drawn = false;  // known only once the point has been painted
    QRect box;           // left, top, width, height of the label box
    QPoint lineStart;    // the data point on the screen
    QPoint lineEnd;      // where the connecting line ends
    bool pinned = false; // when set, later paintings keep this box and line
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
    bool marksClipped = false; // clipped to the plot area

    // Data. Points keep ascending x order; among equal x a new point goes last.
    const std::vector<ChartPoint>& points() const { return m_points; }
    void add(double x, double y, const QString& label = QString());
    // Empties the series (points, shape and marks) and every dependent series.
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

    // Marks as recorded at the last painting, one per point (index = point index).
    std::vector<MarkBox>& marks() { return m_marks; }
    const std::vector<MarkBox>& marks() const { return m_marks; }

private:
    QString m_name;
    SeriesKind m_kind;
    std::vector<ChartPoint> m_points;
    std::vector<MarkBox> m_marks;
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
    Series& series(const QString& name);
    const Series& series(const QString& name) const;
    const std::vector<std::unique_ptr<Series>>& allSeries() const { return m_series; }

    // Zoom state of the mouse: when set, painting uses these ranges instead.
    struct Zoom {
        double xmin, xmax, ylmin, ylmax, yrmin, yrmax;
    };
    std::optional<Zoom> zoom;

private:
    QString m_name;
    std::vector<std::unique_ptr<Series>> m_series;
};

} // namespace ui
