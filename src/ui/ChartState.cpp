#include "ui/ChartState.h"

#include "ui/ChartModel.h"

#include <algorithm>
#include <utility>

namespace ui {

std::optional<ChartZoom> ChartState::zoom(const ChartModel& model) const {
    if (m_zoomUnzooms != model.unzoomCount())
        return std::nullopt;
    return m_zoom;
}

void ChartState::setZoom(const ChartModel& model, const ChartZoom& zoom) {
    m_zoom = zoom;
    m_zoomUnzooms = model.unzoomCount();
}

void ChartState::keepMarks(const ChartModel& model, ChartMarks drawn) {
    const auto& all = model.allSeries();
    for (std::size_t i = 0; i < all.size() && i < drawn.size(); ++i) {
        std::vector<MarkBox>& boxes = synced(*all[i]);
        if (drawn[i].size() == boxes.size())
            boxes = std::move(drawn[i]);
    }
}

std::vector<MarkBox>& ChartState::synced(const Series& series) const {
    SeriesMarks& m = m_marks[&series];
    const auto& points = series.points();
    if (std::equal(m.keys.begin(), m.keys.end(), points.begin(), points.end(),
                   [](std::uint64_t key, const ChartPoint& p) { return key == p.key; }))
        return m.boxes;
    std::unordered_map<std::uint64_t, std::size_t> old;
    for (std::size_t i = 0; i < m.keys.size(); ++i)
        old.emplace(m.keys[i], i);
    std::vector<std::uint64_t> keys;
    std::vector<MarkBox> boxes;
    keys.reserve(points.size());
    boxes.reserve(points.size());
    for (const ChartPoint& p : points) {
        const auto at = old.find(p.key);
        keys.push_back(p.key);
        boxes.push_back(at == old.end() ? MarkBox{} : m.boxes[at->second]);
    }
    m.keys = std::move(keys);
    m.boxes = std::move(boxes); // the same vector object: references to it stay valid
    return m.boxes;
}

} // namespace ui
