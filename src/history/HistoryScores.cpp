#include "history/HistoryScores.h"

#include "data/Conversion.h"

#include <QRegularExpression>

#include <cmath>
#include <tuple>

namespace vel {

namespace {

// value / limit, nudged to the nearest real beside 1 where the division rounded onto or
// across 1 although value and limit differ (the overall test compares them, not the ratio).
double onScale(double ratio, double value, double limit) {
    if (value > limit && !(ratio > 1))
        return std::nextafter(1.0, 2.0);
    if (value < limit && !(ratio < 1))
        return std::nextafter(1.0, 0.0);
    if (value == limit)
        return 1;
    return ratio;
}

Score ratio(double value, double limit, const char* name) {
    if (limit == 0)
        return {std::nullopt, QStringLiteral("%1 = 0").arg(QLatin1String(name))};
    return {onScale(value / limit, value, limit), QString()};
}

const QString kOk = QStringLiteral("vyhověl");

QString quoted(const QString& s) {
    return QStringLiteral("„%1“").arg(s);
}

QString number(double v) {
    return scoreText({v, QString()}, decimalSeparator());
}

// The rising rule for the given scores over the last four rounds.
QStringList rising(const std::vector<HistoryPoint>& rounds, std::initializer_list<int> kinds) {
    QStringList out;
    if (rounds.size() < 4)
        return out;
    for (int kind : kinds) {
        std::vector<double> v;
        for (std::size_t i = rounds.size() - 4; i < rounds.size(); ++i)
            if (const std::optional<double>& score = rounds[i].scores[kind].value)
                v.push_back(*score);
        if (v.size() == 4 && v[0] < v[1] && v[1] < v[2] && v[2] < v[3])
            out << QStringLiteral("Skóre %1 vzrostlo v každém z posledních tří kol: %2.")
                       .arg(
                           scoreTitle(kind),
                           QStringList{number(v[0]), number(v[1]), number(v[2]), number(v[3])}.join(
                               QStringLiteral(" → ")));
    }
    return out;
}

} // namespace

QString scoreTitle(int kind) {
    static const char* const titles[kScoreKinds] = {"kruh d/R", "elipsa", "E/CE",
                                                    "Q/CQ",     "E/LE",   "Q/LQ"};
    return QString::fromUtf8(titles[kind]);
}

Scores noScores() {
    Scores s;
    for (Score& x : s)
        x.missing = QStringLiteral("kolo bez výsledků");
    return s;
}

Scores scoresOf(const RoundResults& f, const InstrumentResult& r) {
    Scores s;
    // The same operations in the same order as the overall test's verdict.
    const double dx = (r.d - f.M) * (r.d - f.M);
    const double dy = (r.s - f.Med) * (r.s - f.Med);
    const double dist = std::sqrt(dx + dy);
    s[kCircleScore] = ratio(dist, f.R, "R");
    if (f.a == 0 || f.b == 0) {
        QStringList zero;
        if (f.a == 0)
            zero << QStringLiteral("a = 0");
        if (f.b == 0)
            zero << QStringLiteral("b = 0");
        s[kEllipseScore].missing = zero.join(QStringLiteral(", "));
    } else {
        const double sum = dx / (f.a * f.a) + dy / (f.b * f.b);
        s[kEllipseScore].value = onScale(std::sqrt(sum), sum, 1);
    }
    s[kScoreCE] = ratio(r.E, f.CE, "CE");
    s[kScoreCQ] = ratio(r.Q, f.CQ, "CQ");
    s[kScoreLE] = ratio(r.E, f.LE, "LE");
    s[kScoreLQ] = ratio(r.Q, f.LQ, "LQ");
    return s;
}

std::optional<QDate> parseTestDate(const QString& text) {
    static const QRegularExpression czech(
        QStringLiteral("^\\s*(\\d{1,2})\\.\\s*(\\d{1,2})\\.\\s*(\\d{4})\\s*$"));
    static const QRegularExpression iso(QStringLiteral("^\\s*(\\d{4})-(\\d{2})-(\\d{2})\\s*$"));
    QDate date;
    if (const auto m = czech.match(text); m.hasMatch())
        date = QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    else if (const auto m = iso.match(text); m.hasMatch())
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

bool roundBefore(const InstrumentRound& a, const InstrumentRound& b) {
    const auto key = [](const InstrumentRound& r) {
        const std::optional<QDate> date = parseTestDate(r.testDate);
        const bool stored = r.storedAt.isValid();
        const QDate day = date     ? *date
                          : stored ? r.storedAt.toLocalTime().date()
                                   : QDate(9999, 12, 31);
        return std::tuple(day.toJulianDay(), !stored,
                          stored ? r.storedAt.toMSecsSinceEpoch() : qint64(0));
    };
    const auto ka = key(a), kb = key(b);
    if (ka != kb)
        return ka < kb;
    if (a.round != b.round)
        return a.round < b.round;
    return a.position < b.position;
}

QStringList testDrift(const std::vector<HistoryPoint>& rounds) {
    QStringList out = rising(rounds, {kCircleScore, kEllipseScore});
    const std::size_t n = rounds.size();
    if (n >= 2 && rounds[n - 2].testVerdict != kOk && rounds[n - 1].testVerdict != kOk)
        out << QStringLiteral("V posledních dvou kolech přístroj v testu nevyhověl bez výhrad "
                              "(hodnocení %1 a %2).")
                   .arg(quoted(rounds[n - 2].testVerdict), quoted(rounds[n - 1].testVerdict));
    return out;
}

QStringList calibrationDrift(const std::vector<HistoryPoint>& rounds) {
    QStringList out = rising(rounds, {kScoreCE, kScoreCQ, kScoreLE, kScoreLQ});
    const auto weak = [](const QString& v) {
        return v != QStringLiteral("výborný") && v != QStringLiteral("dobrý");
    };
    const std::size_t n = rounds.size();
    if (n >= 2 && weak(rounds[n - 2].calibrationVerdict) && weak(rounds[n - 1].calibrationVerdict))
        out << QStringLiteral("V posledních dvou kolech nebyla kvalita kalibrace ani „výborný“, "
                              "ani „dobrý“ (hodnocení %1 a %2).")
                   .arg(quoted(rounds[n - 2].calibrationVerdict),
                        quoted(rounds[n - 1].calibrationVerdict));
    return out;
}

QString testDriftRules() {
    return QStringLiteral(
        "Upozornění na posun: (1) skóre vzrostlo v každém z posledních tří kol – v posledních "
        "čtyřech kolech s výsledky má přístroj skóre a každé je vyšší než v kole před ním; "
        "(2) v posledních dvou kolech s výsledky je hodnocení testu jiné než „vyhověl“. "
        "Skóre 1 je mez kola: kruh d/R nad 1 je „nevyhověl“, elipsa nad 1 je mimo elipsu.");
}

QString calibrationDriftRules() {
    return QStringLiteral(
        "Upozornění na posun: (1) skóre vzrostlo v každém z posledních tří kol – v posledních "
        "čtyřech kolech s výsledky má přístroj skóre a každé je vyšší než v kole před ním; "
        "(2) v posledních dvou kolech s výsledky není kvalita kalibrace ani „výborný“, ani "
        "„dobrý“. Skóre 1 je mez kola: E/CE nebo Q/CQ nad 1 je „odlehlý“, E/LE i Q/LQ pod 1 "
        "je „výborný“.");
}

QString scoreText(const Score& score, QChar decimalSeparator) {
    if (!score.value)
        return QStringLiteral("není (%1)").arg(score.missing);
    return QString::number(*score.value, 'f', 3).replace(u'.', decimalSeparator);
}

} // namespace vel
