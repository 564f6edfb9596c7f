#include "report/ResultMeaning.h"

#include "data/Conversion.h"
#include "eval/Regression.h"
#include "output/NumberFormat.h"
#include "overall/OverallRecord.h"

#include <cmath>

namespace vel {

namespace {

QString g(double v) {
    return formatGeneral(v);
}

QString unit() {
    return QString::fromUtf8(kCountUnit);
}

} // namespace

QString valueAgainst(double value, double limit) {
    QString text = formatGeneral(value);
    for (int digits = 4; text == formatGeneral(limit) && value != limit && digits <= 17; ++digits)
        text = QString::number(value, 'g', digits).replace(u'.', decimalSeparator());
    return text;
}

QString testVerdictMeaning(const OverallRecord& record, int instrument) {
    const InstrumentOutcome& o = record.instruments.at(instrument);
    const OverallFigures& f = record.overall;
    QString meaning;
    if (o.testVerdict == QStringLiteral("vyhověl"))
        meaning = QStringLiteral("Bod přístroje leží v grafu celkového vyhodnocení uvnitř elipsy "
                                 "(Interval 2) i uvnitř kružnice (Interval 1) kolem středu všech "
                                 "přístrojů: chyby přístroje odpovídají ostatním přístrojům.");
    else if (o.testVerdict == QStringLiteral("s výhradami"))
        meaning = QStringLiteral("Bod přístroje leží v grafu celkového vyhodnocení vně elipsy "
                                 "(Interval 2), ale uvnitř kružnice (Interval 1): chyby přístroje "
                                 "se od ostatních přístrojů liší víc než obvykle, ne však za mez "
                                 "kružnice.");
    else
        meaning = QStringLiteral("Bod přístroje leží v grafu celkového vyhodnocení vně kružnice "
                                 "(Interval 1): je od středu všech přístrojů dál, než je poloměr "
                                 "kružnice, a chyby přístroje se od ostatních liší nepřijatelně.");
    const double dx = o.d - f.M, dy = o.s - f.Med;
    const double distance = std::sqrt(dx * dx + dy * dy);
    const double ellipse = dx * dx / (f.a * f.a) + dy * dy / (f.b * f.b);
    return meaning +
           QStringLiteral(" Bod přístroje [průměrná chyba; směrodatná odchylka chyby] = "
                          "[%1; %2] %3; vzdálenost od středu %4, poloměr kružnice %5; poloha "
                          "vůči elipse %6 (do 1 uvnitř, nad 1 vně).")
               .arg(g(o.d), g(o.s), unit(), valueAgainst(distance, f.R), g(f.R),
                    valueAgainst(ellipse, 1));
}

QString calibrationVerdictMeaning(const OverallRecord& record, int instrument) {
    const InstrumentOutcome& o = record.instruments.at(instrument);
    const CalibrationFigures& c = record.calibration;
    QString meaning;
    if (o.calibrationVerdict == QStringLiteral("výborný"))
        meaning = QStringLiteral("Bod přístroje leží v grafu kvality kalibrace uvnitř obdélníku "
                                 "mezí náhodné chyby (zelená čára): reziduální chyba Sy,x i 1 − r² "
                                 "jsou pod svými mezemi náhodné chyby, odchylky od kalibrační "
                                 "přímky odpovídají jen náhodné chybě.");
    else if (o.calibrationVerdict == QStringLiteral("dobrý"))
        meaning = QStringLiteral("Bod přístroje leží v grafu kvality kalibrace vně obdélníku mezí "
                                 "náhodné chyby (zelená čára), ale uvnitř obdélníku 95% mezí "
                                 "spolehlivosti (červená čára): Sy,x nebo 1 − r² dosahuje své meze "
                                 "náhodné chyby nebo ji překračuje, obě jsou však pod 95% mezemi "
                                 "spolehlivosti.");
    else if (o.calibrationVerdict == QStringLiteral("odlehlý"))
        meaning = QStringLiteral("Bod přístroje leží v grafu kvality kalibrace vně obdélníku 95% "
                                 "mezí spolehlivosti (červená čára): Sy,x nebo 1 − r² je nad svou "
                                 "95% mezí spolehlivosti a kalibrace přístroje se od ostatních "
                                 "výrazně liší.");
    else
        meaning = QStringLiteral("Bod přístroje leží v grafu kvality kalibrace na hranici "
                                 "obdélníku 95% mezí spolehlivosti (červená čára): Sy,x nebo "
                                 "1 − r² je rovna své 95% mezi, žádná ji nepřekračuje.");
    return meaning +
           QStringLiteral(" Sy,x = %1 %2 (mez náhodné chyby %3, 95% mez %4); 1 − r² = %5 (mez "
                          "náhodné chyby %6, 95% mez %7).")
               .arg(valueAgainst(o.E, c.CE), unit(), g(c.LE), g(c.CE), valueAgainst(o.Q, c.CQ),
                    g(c.LQ), g(c.CQ));
}

QStringList warningTexts(const InstrumentOutcome& o) {
    QStringList out;
    if (o.blank.meanExceeds)
        out << QStringLiteral("slepý pokus: střední hodnota vod %1 > 3 %2")
                   .arg(valueAgainst(o.blank.midrange, 3), unit());
    if (o.blank.singleExceeds)
        out << QStringLiteral("slepý pokus: nejvyšší měření vody %1 > 8 %2")
                   .arg(valueAgainst(o.blank.largest, 8), unit());
    if (o.carryOverWarning)
        out << QStringLiteral("vliv přenosu %1 % > 2 %").arg(valueAgainst(o.carryOverPercent, 2));
    if (o.repeatabilityWarning)
        out << QStringLiteral("opakovatelnost: diference nad limity v %1 % dvojic měření (%2 z 60) "
                              "> 5 %")
                   .arg(valueAgainst(o.repeatabilityPairsOver * 100.0 / 60, 5))
                   .arg(o.repeatabilityPairsOver);
    return out;
}

std::vector<page::Flow::BoxLine> verdictBox(const OverallRecord& record, int instrument) {
    using page::BodyBold, page::Body;
    const InstrumentOutcome& o = record.instruments.at(instrument);
    std::vector<page::Flow::BoxLine> box;
    box.push_back({QStringLiteral("Hodnocení v celkovém testu: ") + o.testVerdict, BodyBold});
    box.push_back({testVerdictMeaning(record, instrument), Body, true});
    box.push_back({QStringLiteral("Kvalita kalibrace: ") + o.calibrationVerdict, BodyBold});
    box.push_back({calibrationVerdictMeaning(record, instrument), Body, true});
    const QStringList warnings = warningTexts(o);
    if (warnings.isEmpty()) {
        box.push_back({QStringLiteral("Varování: žádné (slepé pokusy, vliv přenosu a "
                                      "opakovatelnost v mezích)"),
                       BodyBold});
    } else {
        box.push_back({QStringLiteral("Varování (hodnota > mez):"), BodyBold});
        for (const QString& w : warnings)
            box.push_back({w, Body, true});
    }
    return box;
}

std::vector<TermLine> verdictTerms() {
    return {
        {QStringLiteral("výsledek testu „vyhověl“"),
         QStringLiteral("bod přístroje [průměrná chyba; směrodatná odchylka chyby] leží v grafu "
                        "celkového vyhodnocení uvnitř kružnice (Interval 1) i uvnitř elipsy "
                        "(Interval 2) kolem středu všech přístrojů, hranice obou včetně")},
        {QStringLiteral("výsledek testu „s výhradami“"),
         QStringLiteral("bod leží vně elipsy, ale uvnitř kružnice nebo na ní: chyby přístroje se "
                        "od ostatních liší víc než obvykle, ne však za mez kružnice")},
        {QStringLiteral("výsledek testu „nevyhověl“"),
         QStringLiteral("bod leží vně kružnice: jeho vzdálenost od středu je větší než poloměr "
                        "kružnice, ať leží vůči elipse kdekoli")},
        {QStringLiteral("kvalita kalibrace „výborný“"),
         QStringLiteral("Sy,x i 1 − r² jsou pod svými mezemi náhodné chyby (uvnitř zeleného "
                        "obdélníku grafu kvality kalibrace)")},
        {QStringLiteral("kvalita kalibrace „dobrý“"),
         QStringLiteral("Sy,x nebo 1 − r² dosahuje své meze náhodné chyby nebo ji překračuje, "
                        "obě jsou však pod 95% mezemi spolehlivosti (uvnitř červeného "
                        "obdélníku)")},
        {QStringLiteral("kvalita kalibrace „odlehlý“"),
         QStringLiteral("Sy,x nebo 1 − r² je nad svou 95% mezí spolehlivosti (vně červeného "
                        "obdélníku): kalibrace přístroje se od ostatních výrazně liší")},
        {QStringLiteral("kvalita kalibrace „vyhověl“"),
         QStringLiteral("Sy,x nebo 1 − r² je rovna své 95% mezi spolehlivosti a žádná ji "
                        "nepřekračuje (bod na hranici červeného obdélníku)")},
    };
}

std::vector<TermLine> warningTerms() {
    return {
        {QStringLiteral("slepý pokus"),
         QStringLiteral("střední hodnota čtyř měření vody (polovina součtu nejmenšího a "
                        "největšího) nad 3 %1, nebo kterékoli z nich nad 8 %1")
             .arg(unit())},
        {QStringLiteral("vliv přenosu"),
         QStringLiteral("vliv vzorku na následující měření vody nad 2 %")},
        {QStringLiteral("opakovatelnost"),
         QStringLiteral("diference mezi opakovanými měřeními nad limity ve více než 5 % z 60 "
                        "dvojic měření")},
        {QStringLiteral("Sy,x"),
         QStringLiteral("reziduální směrodatná chyba regrese referenčních hodnot na 40 měřeních "
                        "přístroje (dělitel 38), v %1")
             .arg(unit())},
        {QStringLiteral("1 − r²"),
         QStringLiteral("doplněk koeficientu determinace r² této regrese do jedné (0 pro body "
                        "přesně na přímce), bez jednotky")},
    };
}

std::vector<FigureLine> roundFigures(const OverallRecord& record) {
    const OverallFigures& f = record.overall;
    const CalibrationFigures& c = record.calibration;
    const QString u = QStringLiteral(" (%1)").arg(unit());
    return {
        {QStringLiteral("střed kružnice a elipsy"),
         QStringLiteral("[%1; %2]").arg(g(f.M), g(f.Med)),
         QStringLiteral("průměr průměrných chyb a medián směrodatných odchylek chyby všech "
                        "přístrojů") +
             u},
        {QStringLiteral("poloměr kružnice (Interval 1)"), g(f.R),
         QStringLiteral("průměr dvou odhadů: 1,96 × směrodatná odchylka průměrných chyb "
                        "přístrojů a medián směrodatných odchylek chyby + 1,65 × jejich "
                        "směrodatná odchylka") +
             u},
        {QStringLiteral("poloosa elipsy ve směru průměrné chyby (Interval 2)"), g(f.a),
         QStringLiteral("polovina rozpětí průměrných chyb všech přístrojů (největší − nejmenší), "
                        "krát 0,95") +
             u},
        {QStringLiteral("poloosa elipsy ve směru směrodatné odchylky chyby"), g(f.b),
         QStringLiteral("polovina rozpětí směrodatných odchylek chyby všech přístrojů, krát "
                        "0,95") +
             u},
        {QStringLiteral("mez náhodné chyby pro Sy,x"), g(c.LE),
         QStringLiteral("průměr reziduálních chyb Sy,x všech přístrojů + 3 × jejich směrodatná "
                        "odchylka / √40; zelená čára v grafu kvality kalibrace") +
             u},
        {QStringLiteral("mez náhodné chyby pro 1 − r²"), g(c.LQ),
         QStringLiteral("průměr hodnot 1 − r² všech přístrojů + 3 × jejich směrodatná odchylka "
                        "/ √40 (bez jednotky)")},
        {QStringLiteral("95% mez spolehlivosti pro Sy,x"), g(c.CE),
         QStringLiteral("průměr Sy,x všech přístrojů + 1,65 × jejich směrodatná odchylka; "
                        "červená čára v grafu kvality kalibrace") +
             u},
        {QStringLiteral("95% mez spolehlivosti pro 1 − r²"), g(c.CQ),
         QStringLiteral("průměr hodnot 1 − r² všech přístrojů + 1,65 × jejich směrodatná "
                        "odchylka (bez jednotky)")},
    };
}

void roundFigureLines(page::Flow& flow, const OverallRecord& record) {
    for (const FigureLine& f : roundFigures(record))
        flow.line(QStringLiteral("%1: %2 – %3").arg(f.name, f.value, f.meaning), page::Body);
}

std::array<SampleRow, 10> sampleRows(const OverallRecord& record, int instrument) {
    const InstrumentOutcome& o = record.instruments.at(instrument);
    std::array<SampleRow, 10> rows{};
    for (int k = 0; k < 10; ++k) {
        const std::vector<double> four{double(o.readings[4 * k]), double(o.readings[4 * k + 1]),
                                       double(o.readings[4 * k + 2]),
                                       double(o.readings[4 * k + 3])};
        SampleRow& r = rows[k];
        r.reference = record.references[k];
        r.mean = Mean(four);
        r.difference = r.mean - r.reference;
        r.sd = SampleStdDev(four);
    }
    return rows;
}

} // namespace vel
