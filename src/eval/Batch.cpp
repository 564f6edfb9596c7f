// The batch evaluation (Button10Click).

#include "eval/Evaluations.h"

#include "eval/EvalSupport.h"
#include "eval/Workspace.h"
#include "output/SummaryMode.h"
#include "output/TextPane.h"

namespace vel {

void batchEvaluation(Workspace& ws) {
    // Without a current sheet the batch does nothing: the summary pane keeps its lines and
    // the summary window is not shown.
    if (!detail::hasCurrentSheet(ws))
        return;

    ws.summaryPane().clear();
    SummaryModeScope summary; // off again however the run ends
    blankCheck(ws);
    repeatability(ws);
    carryOver(ws);
    linearity(ws);
    ws.showSummaryWindow(); // only when none of the four failed
}

} // namespace vel
