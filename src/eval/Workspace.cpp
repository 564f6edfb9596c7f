#include "eval/Workspace.h"

#include "output/SummaryMode.h"

namespace vel {

void Workspace::notify(const QString& text) {
    if (!summaryMode())
        showMessage(text);
}

} // namespace vel
