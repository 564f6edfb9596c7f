// The carry-over evaluation (Button5Click).

#include "eval/Evaluations.h"

#include "data/Conversion.h"
#include "eval/Checked.h"
#include "eval/EvalSupport.h"
#include "eval/Workspace.h"
#include "output/NumberFormat.h"
#include "output/SummaryMode.h"
#include "output/TextPane.h"

#include <cstdint>

namespace vel {

namespace {
// Sum of replicates 1 to 4 of a row, converted in replicate order; 64 bits so that four
// counts of the 32-bit range never wrap.
std::int64_t rowSum(const Workspace& ws, int row) {
    std::int64_t sum = 0;
    for (int c = 1; c <= 4; ++c)
        sum += toInt(ws.countText(row, c));
    return sum;
}
} // namespace

CarryOverResult carryOver(Workspace& ws) {
    if (!detail::hasCurrentSheet(ws))
        return {};

    // The water rows after the samples, then the last sample, in this order.
    const std::int64_t L1 = rowSum(ws, 12);
    const std::int64_t L2 = rowSum(ws, 13);
    const std::int64_t H = rowSum(ws, 11);

    // K = (L1 - L2) / (H - L2) x 100 as one correctly rounded quotient: 100 (L1 - L2) and
    // H - L2 are formed as integers (exact in a double: |x| < 2^42) and divided once, so the
    // per cent is not rounded a second time. H == L2 raises "Floating point division by
    // zero", or "Invalid floating point operation" when L1 == L2 too.
    const double K = (Real(double(100 * (L1 - L2))) / double(H - L2)).value();

    // The pane is already empty while the warning is shown.
    ws.mainPane().clear();
    const bool warning = K > 2;
    if (warning)
        ws.notify(QString::fromUtf8(texts::kCarryOverBox));

    // One line in the main pane; in summary mode a headed block in the summary pane.
    const QString line =
        QStringLiteral("Vliv přenosu je: ") + formatGeneral(K) + QStringLiteral(" %");
    ws.mainPane().add(line);
    if (summaryMode()) {
        TextPane& sum = ws.summaryPane();
        sum.add(QString());
        sum.add(QStringLiteral("Vliv přenosu"));
        sum.add(QStringLiteral("-------------"));
        sum.add(line);
    }
    return {warning, K};
}

} // namespace vel
