#include "report/RoundResults.h"

#include "overall/OverallRecord.h"

namespace vel {

RoundResults roundResultsOf(const OverallRecord& record) {
    RoundResults out;
    out.M = record.overall.M;
    out.Med = record.overall.Med;
    out.R = record.overall.R;
    out.a = record.overall.a;
    out.b = record.overall.b;
    out.CE = record.calibration.CE;
    out.CQ = record.calibration.CQ;
    out.LE = record.calibration.LE;
    out.LQ = record.calibration.LQ;
    out.summary = record.summary;
    for (const InstrumentOutcome& o : record.instruments)
        out.instruments.push_back({o.d, o.s, o.E, o.Q, o.testVerdict, o.calibrationVerdict,
                                   o.blankWarning(), o.repeatabilityWarning, o.carryOverWarning});
    return out;
}

Sheet sheetOf(const QString& caption, const SheetTexts& texts) {
    Sheet s;
    s.caption = caption;
    for (int i = 0; i < kHeaderFields; ++i)
        s.fields[i] = texts.header[i];
    for (int i = 0; i < kCounts; ++i)
        s.fields[kHeaderFields + i] = texts.counts[i];
    return s;
}

SheetTexts textsOf(const Sheet& sheet) {
    SheetTexts t;
    for (int i = 0; i < kHeaderFields; ++i)
        t.header[i] = sheet.fields[i];
    for (int i = 0; i < kCounts; ++i)
        t.counts[i] = sheet.fields[kHeaderFields + i];
    return t;
}

QString roundNameProblem(const QString& name) {
    if (name.trimmed().isEmpty())
        return QStringLiteral("Kolo se ukládá pod svým názvem; název nesmí být prázdný.");
    if (name.size() > 100)
        return QStringLiteral("Název kola smí mít nejvýše 100 znaků.");
    for (QChar c : name)
        if (c.category() == QChar::Other_Control)
            return QStringLiteral(
                "Název kola nesmí obsahovat tabulátor, konec řádku ani jiný řídicí znak.");
    return QString();
}

QString instrumentCount(int n) {
    const char* word = n == 1 ? "přístroj" : n >= 2 && n <= 4 ? "přístroje" : "přístrojů";
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(word));
}

bool sameTexts(const Round& a, const Round& b) {
    if (a.references != b.references || a.sheets.size() != b.sheets.size())
        return false;
    for (size_t i = 0; i < a.sheets.size(); ++i)
        if (a.sheets[i].caption != b.sheets[i].caption || a.sheets[i].fields != b.sheets[i].fields)
            return false;
    return true;
}

} // namespace vel
