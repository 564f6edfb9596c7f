#include "report/ResultTable.h"

#include "overall/OverallRecord.h"
#include "report/ResultMeaning.h"

namespace vel {

QStringList resultColumnTitles() {
    const QString unit = QStringLiteral(" [%1]").arg(QString::fromUtf8(kCountUnit));
    return {QStringLiteral("id stroje"),
            QStringLiteral("kód účastníka"),
            QStringLiteral("průměrná chyba") + unit,
            QStringLiteral("směrodatná odchylka chyby") + unit,
            QStringLiteral("výsledek testu"),
            QStringLiteral("reziduální chyba Sy,x") + unit,
            QStringLiteral("1 − r²"),
            QStringLiteral("kvalita kalibrace"),
            QStringLiteral("slepý pokus nad limitem"),
            QStringLiteral("vliv přenosu nad 2 %"),
            QStringLiteral("opakovatelnost nad limity")};
}

QStringList resultRow(const InstrumentOutcome& o, const QString& code,
                      const std::function<QString(double)>& number) {
    auto warning = [](bool raised) { return raised ? QStringLiteral("ano") : QString(); };
    return {o.id,
            code,
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
