#include "output/SummaryMode.h"

namespace vel {

namespace {
bool g_summaryMode = false;
}

bool summaryMode() {
    return g_summaryMode;
}
void setSummaryMode(bool on) {
    g_summaryMode = on;
}

} // namespace vel
