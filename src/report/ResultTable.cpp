#include "report/ResultTable.h"

#include "overall/OverallRecord.h"

namespace vel {

QStringList resultColumnTitles() {
    return {QStringLiteral("id stroje"),
            QStringLiteral("průměrná chyba"),
            QStringLiteral("směrodatná odchylka chyby"),
            QStringLiteral("výsledek testu"),
            QStringLiteral("reziduální chyba Sy,x"),
            QStringLiteral("1 − r²"),
            QStringLiteral("kvalita kalibrace"),
            QStringLiteral("slepý pokus nad limitem"),
            QStringLiteral("vliv přenosu nad 2 %"),
            QStringLiteral("opakovatelnost nad limity")};
}

QStringList resultRow(const InstrumentOutcome& o, const std::function<QString(double)>& number) {
    auto warning = [](bool raised) { return raised ? QStringLiteral("ano") : QString(); };
    return {o.id,
            number(o.d),
            number(o.s),
            o.testVerdict,
            number(o.E),
            number(o.Q),
            o.calibrationVerdict,
            warning(o.blankWarning()),
            warning(o.carryOverWarning),
            warning(o.repeatabilityWarning)};
}

} // namespace vel
