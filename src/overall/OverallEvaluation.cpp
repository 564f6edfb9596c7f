#include "overall/OverallEvaluation.h"

#include "data/Conversion.h"
#include "data/SheetGeometry.h"
#include "eval/Checked.h"
#include "eval/Evaluations.h"
#include "eval/Workspace.h"
#include "output/SummaryMode.h"
#include "output/TextPane.h"
#include "overall/OverallCharts.h"
#include "overall/OverallRecord.h"

#include <algorithm>

namespace vel {

namespace {

constexpr int kSamples = 10;
constexpr int kReadings = kSamples * kReplicates; // 40 readings per instrument

const QString kSeparator = QStringLiteral("-------------------------------------------");

Real sq(Real v) {
    return v * v;
}

// Reading of sample k (row k + 1), replicate j, and the reference value of sample k, read
// in this order and converted as integers.
struct Reading {
    std::int64_t x, ref;
};
Reading readSample(const Workspace& ws, int k, int j) {
    const std::int64_t x = toInt(ws.countText(k + 1, j));
    return {x, toInt(ws.referenceText(k))};
}

template <typename F> void forEachReading(const Workspace& ws, F f) {
    for (int k = 1; k <= kSamples; ++k)
        for (int j = 1; j <= kReplicates; ++j)
            f(kReplicates * (k - 1) + (j - 1), readSample(ws, k, j));
}

// The heading of a stage's verdicts: an empty line, then the heading between separators.
void addHeading(TextPane& pane, const QString& heading) {
    pane.add(QString());
    pane.add(kSeparator);
    pane.add(heading);
    pane.add(kSeparator);
}

void addLines(TextPane& pane, std::initializer_list<const char16_t*> lines) {
    for (const char16_t* line : lines)
        pane.add(QString::fromUtf16(line));
}

// The verdict line of sheet i, named by its "id stroje" field; the sheet is not made current.
void addVerdictLine(Workspace& ws, int i, const QString& verdict) {
    ws.summaryPane().add(QStringLiteral("přístroj ") + ws.idTextOf(i) + QStringLiteral(" - ") +
                         verdict);
}

// The chart windows repaint whatever the click got to write, on an error too.
struct RepaintOnExit {
    Workspace& ws;
    ~RepaintOnExit() { ws.chartsChanged(); }
};

// Steps of the comparison of the instruments' errors, drawn in Form3's chart.
void errorStage(Workspace& ws, OverallChart& chart, int n, OverallRecord* record) {
    TextPane& pane = ws.summaryPane();
    OverallFigures f;
    for (int i = 0; i < n; ++i) {
        ws.setCurrentSheet(i);
        std::array<std::int64_t, kReadings> errors{};
        forEachReading(ws, [&](int p, Reading r) {
            errors[p] = r.x - r.ref;
            if (record)
                record->instruments.at(i).readings[p] = r.x;
        });
        const InstrumentError e = instrumentError(errors);
        f.D.push_back(e.d);
        f.S.push_back(e.s);
        chart.Series1.add(e.d, e.s, ws.tabCaption());
    }

    computeCentre(f);
    const Real M = f.M, Med = f.Med;
    chart.Series4
        .setShape((M - f.a).value(), (Med - f.b).value(), (M + f.a).value(), (Med + f.b).value());
    chart.Series3.add(f.avgD, f.avgS);
    chart.Series5.add(f.M, f.Med);

    computeCircle(f);
    chart.Series2
        .setShape((M - f.R).value(), (Med - f.R).value(), (M + f.R).value(), (Med + f.R).value());
    chart.bottom.setRange(f.axisMin, f.axisMax);
    chart.unzoomViews(); // a new run shows its own ranges

    if (record) {
        record->overall = f;
        record->errorLinesFirst = pane.count();
    }
    addHeading(pane, QStringLiteral("Vyhodnocení odlehlosti jednotlivých přístrojů v celkovém "
                                    "porovnání testu, příloha ke grafu kruhového testu:"));
    for (int i = 0; i < n; ++i) {
        ws.setTestVerdict(i, QStringLiteral("vyhověl"));
        const QString verdict = testVerdict(f, f.D[i], f.S[i]);
        ws.setTestVerdict(i, verdict);
        addVerdictLine(ws, i, verdict);
        if (record) {
            InstrumentOutcome& o = record->instruments.at(i);
            o.d = f.D[i];
            o.s = f.S[i];
            o.testVerdict = verdict;
        }
    }
    addLines(pane, {u"V grafu jsou vyneseny jednotlivé přístroje v souřadnicích [průměrná chyba "
                    u"měření, směrodatná odchylka chyby měření].",
                    u"Interval 1 je dán kružnicí se středem [mean(průměrné chyby měření strojů),"
                    u"median(směrodatná odchylka průměrné chyby měření strojů)]",
                    u"a poloměrem avg(směrodatná odchylka průměrné chyby měření strojů*1,96,"
                    u"median(směrodatná odchylka průměrné chyby měření strojů)+1,65*stddev("
                    u"směrodatná odchylka průměrné chyby měření strojů)).",
                    u"Interval 2 je dán jako elipsa se středem [mean(průměrné chyby měření strojů),"
                    u"median(směrodatná odchylka průměrné chyby měření strojů)]",
                    u"a polosami o délce mean_value(průměrné chyby měření strojů)/2*0.95 a "
                    u"mean_value(směrodatná odchylka průměrné chyby měření strojů)*0.95."});
}

// Steps of the calibration-quality evaluation, drawn in Form5's chart.
void calibrationStage(Workspace& ws, CalibrationChart& chart, int n, OverallRecord* record) {
    TextPane& pane = ws.summaryPane();
    std::vector<double> E, Q;
    for (int i = 0; i < n; ++i) {
        ws.setCurrentSheet(i);
        std::array<RegressionPair, kReadings> pairs{};
        forEachReading(ws, [&](int p, Reading r) { pairs[p] = {double(r.x), double(r.ref)}; });
        const CalibrationFit fit = calibrationFit(pairs);
        chart.Series1.add(fit.E, fit.Q, ws.tabCaption());
        E.push_back(fit.E);
        Q.push_back(fit.Q);
    }

    const CalibrationFigures f = computeCalibration(E, Q);
    ui::Series& randomLimit = chart.Series2;
    randomLimit.add(0, f.LQ);
    randomLimit.add(f.LE, f.LQ);
    ui::Series& confidence = chart.Series3;
    confidence.add(0, f.CQ);
    confidence.add(f.CE, f.CQ);
    ui::Series& centre = chart.Series4;
    centre.add(0, f.meanQ);
    centre.add(f.meanE, f.meanQ);
    chart.left.setRange(0, f.yMax);
    chart.bottom.setRange(0, f.xMax);
    chart.unzoomViews();

    if (record) {
        record->calibration = f;
        record->calibrationLinesFirst = pane.count();
    }
    addHeading(pane, QStringLiteral("Vyhodnocení odlehlosti jednotlivých přístrojů v testu "
                                    "vzhledem k referenčním hodnotám a kvalitě proložení, "
                                    "příloha ke grafu:"));
    for (int i = 0; i < n; ++i) {
        ws.setCalibrationVerdict(i, QStringLiteral("vyhověl"));
        const QString verdict = calibrationVerdict(f, E[i], Q[i]);
        ws.setCalibrationVerdict(i, verdict);
        addVerdictLine(ws, i, verdict);
        if (record) {
            InstrumentOutcome& o = record->instruments.at(i);
            o.E = E[i];
            o.Q = Q[i];
            o.calibrationVerdict = verdict;
        }
    }
    addLines(
        pane,
        {u"V grafu jsou vyneseny souřadnice jednotlivých přístrojů ve vztazích k referenčním "
         u"hodnotám testu.",
         u"Osa X zobrazuje reziduální chybu regrese - Sy,x - podle:",
         u"1. Methode de routine et procedures de control pour analyses en vue du paiement du "
         u"lait ou du controle laitier. CNIEL PROC IR 06. Version 6. pp 11-12, 26, 34, 40. "
         u"9/2010. Cniel. Paris. France.",
         u"2. ČSN ISO 8196-1, ČSN ISO 8196-2.",
         u"Výsledky lze interpretovat jako těsnost proložení referenčních hodnot kolem  "
         u"kalibrační přímky - kvalitu proložení",
         u"Osa Y zobrazuje hodnoty 1-r^2 - převrácenou hodnotu koeficientu determinace.",
         u"Výsledky lze interpretovat jako kvalitu kalibrace na referenční hodnoty - odchylku "
         u"kalibrační přímky od osy prvního kvadrantu - ideální kalibrace.",
         u"Interval vyznačený zelenou přerušovanou čárou vymezuje oblast určenou pro obě "
         u"veličiny jako:",
         u"mean(r^2 nebo Sy,x)+3*stddev(r^2 nebo Sy,x)/sqrt(40) podle:",
         u"1. D. C. Montgomery: Introduction to Statistical Quality Control. John Wiley & Sons, "
         u"New York, 1985.",
         u"Jedná se o odhad intervalu, ve kterém je kolísání měření způsobeno náhodnou chybou.",
         u"Interval vymezený červenou přerušovanou čárou vymezuje pro obě veličiny odhad 95 % "
         u"intervalu spolehlivosti pro daný test."});
}

} // namespace

InstrumentError instrumentError(const std::array<std::int64_t, 40>& errors) {
    std::int64_t sum = 0;
    std::vector<double> values;
    values.reserve(errors.size());
    for (std::int64_t e : errors) {
        sum += e;
        values.push_back(double(e));
    }
    return {(Real(double(sum)) / kReadings).value(), SampleStdDev(values)};
}

void computeCentre(OverallFigures& f) {
    f.M = Mean(f.D); // the first figure to fail without instruments
    f.Med = Median(f.S);
    const auto [dMin, dMax] = std::minmax_element(f.D.begin(), f.D.end());
    const auto [sMin, sMax] = std::minmax_element(f.S.begin(), f.S.end());
    f.a = ((Real(*dMax) - *dMin) / 2 * 0.95).value();
    f.b = ((Real(*sMax) - *sMin) / 2 * 0.95).value();
    f.avgD = Mean(f.D);
    f.avgS = Mean(f.S);
}

void computeCircle(OverallFigures& f) {
    f.sigmaD = SampleStdDev(f.D); // the first figure to fail with a single instrument
    f.sigmaS = SampleStdDev(f.S);
    const Real med = Median(f.S);
    // The average of the two radius candidates; either side can only overflow.
    f.R = ((1.96 * Real(f.sigmaD) + (med + 1.65 * Real(f.sigmaS))) / 2).value();
    const auto [dMin, dMax] = std::minmax_element(f.D.begin(), f.D.end());
    f.axisMin = std::min(*dMin, (Real(f.M) - f.R).value());
    f.axisMax = std::max(*dMax, (Real(f.M) + f.R).value());
}

OverallFigures computeOverall(const std::vector<double>& D, const std::vector<double>& S) {
    OverallFigures f;
    f.D = D;
    f.S = S;
    computeCentre(f);
    computeCircle(f);
    return f;
}

QString testVerdict(const OverallFigures& f, double d, double s) {
    QString verdict = QStringLiteral("vyhověl");
    const Real dx = sq(Real(d) - f.M);
    const Real dy = sq(Real(s) - f.Med);
    const Real tx = dx / sq(f.a); // the horizontal term fails first
    const Real ty = dy / sq(f.b);
    if (tx + ty - 1 > 0) // outside the ellipse
        verdict = QStringLiteral("s výhradami");
    if (sqrt(dx + dy) > f.R) // outside the circle
        verdict = QStringLiteral("nevyhověl");
    return verdict;
}

CalibrationFit calibrationFit(const std::array<RegressionPair, 40>& pairs) {
    CalibrationFit fit;
    double covariance = 0, correlation = 0;
    Regression(pairs.data(), int(pairs.size()), 1, covariance, fit.determination, correlation,
               fit.slope, fit.intercept);
    Real sse = 0;
    for (const RegressionPair& p : pairs)
        sse += sq(Real(p.y) - (fit.slope * Real(p.x) + fit.intercept));
    fit.E = sqrt(sse / (kReadings - 2)).value();
    fit.Q = (1 - Real(fit.determination)).value();
    return fit;
}

CalibrationFigures computeCalibration(const std::vector<double>& E, const std::vector<double>& Q) {
    CalibrationFigures f;
    f.E = E;
    f.Q = Q;
    f.meanE = Mean(E);
    f.meanQ = Mean(Q);
    f.sigmaE = SampleStdDev(E);
    f.sigmaQ = SampleStdDev(Q);
    const Real meanE = f.meanE, meanQ = f.meanQ, sigmaE = f.sigmaE, sigmaQ = f.sigmaQ;
    const Real root40 = sqrt(Real(kReadings));
    f.LQ = (meanQ + 3 * sigmaQ / root40).value();
    f.LE = (meanE + 3 * sigmaE / root40).value();
    f.CQ = (meanQ + 1.65 * sigmaQ).value();
    f.CE = (meanE + 1.65 * sigmaE).value();
    const Real xm = std::max(*std::max_element(E.begin(), E.end()), f.CE);
    const Real ym = std::max(*std::max_element(Q.begin(), Q.end()), f.CQ);
    f.xMax = (xm * 0.1 + xm).value();
    f.yMax = (ym * 0.1 + ym).value();
    return f;
}

QString calibrationVerdict(const CalibrationFigures& f, double E, double Q) {
    if (E < f.LE && Q < f.LQ)
        return QStringLiteral("výborný");
    if (E < f.CE && Q < f.CQ)
        return QStringLiteral("dobrý");
    if (E > f.CE || Q > f.CQ)
        return QStringLiteral("odlehlý");
    return QStringLiteral("vyhověl"); // within the confidence limits, on one of them
}

void overallTest(Workspace& ws, OverallChart& overall, CalibrationChart& calibration,
                 OverallRecord* record) {
    RepaintOnExit repaint{ws};
    ws.summaryPane().clear();
    overall.Series1.clear(); // with Series3 and Series5
    for (const auto& s : calibration.allSeries())
        s->clear();

    const int n = ws.sheetCount();
    if (record) {
        *record = OverallRecord();
        record->instruments.resize(n);
    }
    {
        SummaryModeScope summary; // off again however the evaluations end
        for (int i = 0; i < n; ++i) {
            ws.setCurrentSheet(i);
            if (i > 0)
                ws.summaryPane().add(QString()); // one empty line between instrument blocks
            const qsizetype blockFirst = ws.summaryPane().count();
            const BlankWarnings blank = blankCheck(ws);
            const RepeatabilityResult pairs = repeatability(ws);
            const CarryOverResult carry = carryOver(ws);
            linearity(ws);
            if (record) {
                InstrumentOutcome& o = record->instruments[i];
                o.blank = blank;
                o.repeatabilityWarning = pairs.warning;
                o.repeatabilityPairsOver = pairs.pairsOver;
                o.carryOverWarning = carry.warning;
                o.carryOverPercent = carry.percent;
                o.blockFirst = blockFirst;
                o.blockEnd = ws.summaryPane().count();
                o.deviation = std::make_unique<DeviationChart>();
                copyChartData(ws.deviationChart(), *o.deviation);
            }
        }
        ws.showSummaryWindow();
        ws.showOverallChartWindow();
        ws.showCalibrationWindow();
    }
    errorStage(ws, overall, n, record);
    calibrationStage(ws, calibration, n, record);

    if (record) {
        // The texts as they stand at the end of the test.
        for (int i = 0; i < n; ++i) {
            record->instruments[i].id = ws.idTextOf(i);
            record->instruments[i].testDate = ws.testDateOf(i);
        }
        for (int k = 1; k <= kSamples; ++k)
            record->references[k - 1] = toInt(ws.referenceText(k));
        record->summary = ws.summaryPane().lines();
        record->overallChart = std::make_unique<OverallChart>();
        copyChartData(overall, *record->overallChart);
        record->calibrationChart = std::make_unique<CalibrationChart>();
        copyChartData(calibration, *record->calibrationChart);
    }
}

} // namespace vel
