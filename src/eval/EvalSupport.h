#pragma once
// Internal helpers of the single-instrument evaluations.

#include "eval/Workspace.h"

namespace vel::detail {

// An evaluation needs a current instrument sheet; without one it does nothing.
inline bool hasCurrentSheet(const Workspace& ws) {
    const int cur = ws.currentSheet();
    return cur >= 0 && cur < ws.sheetCount();
}

} // namespace vel::detail
