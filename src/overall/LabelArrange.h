#pragma once
// Arrangement of the point labels of a chart series so that no two of them overlap. Works
// on the label boxes as recorded at the last painting; a label that has not been drawn
// takes no part, neither as the label moved nor as an obstacle.

#include "ui/ChartState.h"

#include <cstddef>
#include <vector>

namespace vel {

// Whether the box of label i shares interior area with the box of any other drawn label.
// Boxes that only touch along an edge or at a corner do not overlap.
bool labelOverlaps(const std::vector<ui::MarkBox>& marks, std::size_t i);

// For each drawn label in index order: while it overlaps another, move it 2 px left and up,
// end its connecting line 2 px left of and above the box, and pin it. Gives the number of
// steps taken in all.
int arrangeLabels(std::vector<ui::MarkBox>& marks);

} // namespace vel
