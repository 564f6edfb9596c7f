#include "eval/Workspace.h"

#include "output/SummaryMode.h"

namespace vel {

QString Workspace::testDateOf(int) const {
    return QString();
}

void Workspace::notify(const QString& text) {
    if (!summaryMode())
        showMessage(text);
}

} // namespace vel
