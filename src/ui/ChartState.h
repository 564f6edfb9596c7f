#pragma once
// What a view of a chart keeps besides the data: the mouse zoom and the point labels
// ("marks") as last drawn. Painting reads a const model and a const state and hands the
// boxes it drew back to the caller, who keeps them here (the screen and images) or not
// (printing).

#include <QPoint>
#include <QRect>

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace ui {

class ChartModel;
class Series;

// A point label as last drawn, in chart pixels (x to the right, y downwards).
struct MarkBox {
    bool drawn = false;  // known only once the point has been painted
    QRect box;           // left, top, width, height of the label box
    QPoint lineStart;    // the data point on the screen
    QPoint lineEnd;      // where the connecting line ends
    bool pinned = false; // when set, later paintings keep this box and line
};

// Ranges shown instead of the axes' own after a mouse zoom or scroll.
struct ChartZoom {
    double xmin, xmax, ylmin, ylmax, yrmin, yrmax;
};

// Label boxes of every series of a model, in the order of ChartModel::allSeries().
using ChartMarks = std::vector<std::vector<MarkBox>>;

class ChartState {
public:
    // The zoom in force for the model: none after unzoom(), nor once the model has asked
    // its views to unzoom (ChartModel::unzoomViews) since the zoom was set.
    std::optional<ChartZoom> zoom(const ChartModel& model) const;
    void setZoom(const ChartModel& model, const ChartZoom& zoom);
    void unzoom() { m_zoom.reset(); }

    // Label boxes of a series, one per point in the order of its points. A box follows its
    // point when other points are inserted; a new point's box is undrawn until painted, and
    // the boxes of a cleared series go with its points.
    std::vector<MarkBox>& marks(const Series& series) { return synced(series); }
    const std::vector<MarkBox>& marks(const Series& series) const { return synced(series); }

    // Keeps the boxes a painting of the model drew (paintChart's result).
    void keepMarks(const ChartModel& model, ChartMarks drawn);

private:
    struct SeriesMarks {
        std::vector<std::uint64_t> keys; // ChartPoint::key of each box
        std::vector<MarkBox> boxes;
    };
    // The boxes of the series brought in line with its points. Only the cache of boxes
    // changes, never what they say, hence const.
    std::vector<MarkBox>& synced(const Series& series) const;

    std::optional<ChartZoom> m_zoom;
    std::uint64_t m_zoomUnzooms = 0; // the model's unzoomCount() when the zoom was set
    mutable std::unordered_map<const Series*, SeriesMarks> m_marks;
};

} // namespace ui
