#include "overall/LabelArrange.h"

#include <algorithm>

namespace vel {

namespace {

bool overlap(const QRect& a, const QRect& b) {
    return std::max(a.x(), b.x()) < std::min(a.x() + a.width(), b.x() + b.width()) &&
           std::max(a.y(), b.y()) < std::min(a.y() + a.height(), b.y() + b.height());
}

} // namespace

bool labelOverlaps(const std::vector<ui::MarkBox>& marks, std::size_t i) {
    if (i >= marks.size() || !marks[i].drawn)
        return false;
    for (std::size_t j = 0; j < marks.size(); ++j)
        if (j != i && marks[j].drawn && overlap(marks[i].box, marks[j].box))
            return true;
    return false;
}

int arrangeLabels(std::vector<ui::MarkBox>& marks) {
    // Each move takes the label further up and to the left of the others, which stay where
    // they are, so every loop ends.
    int steps = 0;
    const std::size_t count = marks.size();
    for (std::size_t i = 0; i < count; ++i) {
        while (labelOverlaps(marks, i)) {
            ui::MarkBox& m = marks[i];
            m.box.moveTo(m.box.x() - 2, m.box.y() - 2);
            m.lineEnd = QPoint(m.box.x() - 2, m.box.y() - 2);
            m.pinned = true;
            ++steps;
        }
    }
    return steps;
}

} // namespace vel
