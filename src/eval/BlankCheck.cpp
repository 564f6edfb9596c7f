// The blank check (Button2Click).

#include "eval/Evaluations.h"

#include "data/Conversion.h"
#include "eval/Checked.h"
#include "eval/EvalSupport.h"
#include "eval/Workspace.h"
#include "output/NumberFormat.h"
#include "output/SummaryMode.h"
#include "output/TextPane.h"

#include <algorithm>

namespace vel {

BlankWarnings blankCheck(Workspace& ws) {
    if (!detail::hasCurrentSheet(ws))
        return {};

    // Row 1, replicates 1 to 4, in this order, with the floating-point conversion.
    double w[4];
    for (int c = 1; c <= 4; ++c)
        w[c - 1] = toFloat(ws.countText(1, c));

    // The midrange, formed as a 64-bit real: the sum of two blanks near the largest real
    // overflows.
    const double mx = *std::max_element(w, w + 4);
    const double mn = *std::min_element(w, w + 4);
    const double M = ((Real(mx) + mn) / 2).value();

    const bool meanExceeds = M > 3;
    bool exceeds[4];
    bool anyExceeds = false;
    for (int k = 0; k < 4; ++k) {
        exceeds[k] = w[k] > 8;
        anyExceeds = anyExceeds || exceeds[k];
    }

    // Message boxes, outside summary mode only, the M box first.
    if (meanExceeds)
        ws.notify(QString::fromUtf8(texts::kBlankMeanBox));
    if (anyExceeds)
        ws.notify(QString::fromUtf8(texts::kBlankSingleBox));

    const QString value = formatGeneral(M);
    // The warnings follow the value line in both panes.
    auto addWarnings = [&](TextPane& pane) {
        if (meanExceeds)
            pane.add(QString::fromUtf8(texts::kBlankMeanBox));
        for (int k = 0; k < 4; ++k)
            if (exceeds[k])
                pane.add(QStringLiteral("Vzorek %1 přesahuje limit.").arg(k + 1));
    };

    // The main pane.
    TextPane& main = ws.mainPane();
    main.clear();
    main.add(QStringLiteral("Slepé pokusy"));
    main.add(QStringLiteral("------------"));
    main.add(QStringLiteral("Střední hodnota slepých pokusů: ") + value);
    addWarnings(main);

    // The summary block, which opens the instrument's block.
    if (summaryMode()) {
        const QString hyphens57(57, u'-');
        TextPane& sum = ws.summaryPane();
        sum.add(hyphens57);
        sum.add(QStringLiteral("Výsledky testu pro stroj: ") + ws.idText());
        sum.add(hyphens57);
        sum.add(QString());
        sum.add(QStringLiteral("Slepé pokusy"));
        sum.add(QStringLiteral("------------"));
        sum.add(QStringLiteral("Sřední hodnota slepých pokusů: ") + value);
        addWarnings(sum);
        sum.add(QStringLiteral("Dle normy: střední hodnota měření vod nesmí přesahovat 3000 "
                               "buněk/ml, žádné z měření vod nevykazuje 8000 buněk/ml"));
    }
    return {meanExceeds, anyExceeds, M, mx};
}

} // namespace vel
