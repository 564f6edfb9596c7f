// An instrument's history: the scores agree with the verdicts of the overall test (on real
// rounds stored in the archive and at the limits themselves), rounds whose limit is zero,
// the order of the rounds, the drift rules on constructed histories, and the archive's two
// narrow reads (identifiers with their rounds, one identifier's sheets).
#include "archive/Archive.h"
#include "examples/ExampleData.h"
#include "history/InstrumentHistory.h"
#include "overall/OverallEvaluation.h"
#include "overall/OverallRecord.h"
#include "report/FileWorkspace.h"
#include "report/ReportArchive.h"

#include <gtest/gtest.h>

#include "support/ArchiveBackends.h"

#include <QTemporaryDir>

#include <cmath>
#include <set>

using namespace vel;

namespace {

// Round k: 24 generated instruments, every third from a later part of the generator, so
// that rounds differ and some instruments lie outside the circle or the ellipse, and three
// with scattered readings.
Round realRound(int k) {
    std::vector<InstrumentRecord> records;
    for (int i = 0; i < 24; ++i) {
        InstrumentRecord r = examples::generatedInstrument(i % 3 == 0 ? i + 7 * k : i + k);
        r.id = QStringLiteral("P%1").arg(i);
        if (i % 8 == 5) // scattered readings: a poor calibration
            for (int row = 2; row <= 11; ++row)
                for (int c = 1; c <= 4; ++c)
                    r.count(row, c) += (row * 37 + c * 11 + k * 5) % (20 + i) - 10;
        records.push_back(r);
    }
    FileWorkspace ws(records, examples::referenceValues());
    OverallRecord record;
    overallTest(ws, ws.overall, ws.calibration, &record);
    Round round = roundOfWorkspace(ws, record);
    round.name = QStringLiteral("kolo %1").arg(k);
    return round;
}

RoundResults figures(double M, double Med, double R, double a, double b) {
    RoundResults f;
    f.M = M, f.Med = Med, f.R = R, f.a = a, f.b = b;
    f.CE = f.CQ = f.LE = f.LQ = 1;
    return f;
}

bool above(const Score& s) {
    return s.value && *s.value > 1;
}

// The verdicts the scores give, as the overall test words them.
QString testVerdictOfScores(const Scores& s) {
    return above(s[kCircleScore])    ? QStringLiteral("nevyhověl")
           : above(s[kEllipseScore]) ? QStringLiteral("s výhradami")
                                     : QStringLiteral("vyhověl");
}
QString calibrationVerdictOfScores(const Scores& s) {
    const auto below = [](const Score& x) { return x.value && *x.value < 1; };
    if (below(s[kScoreLE]) && below(s[kScoreLQ]))
        return QStringLiteral("výborný");
    if (below(s[kScoreCE]) && below(s[kScoreCQ]))
        return QStringLiteral("dobrý");
    if (above(s[kScoreCE]) || above(s[kScoreCQ]))
        return QStringLiteral("odlehlý");
    return QStringLiteral("vyhověl");
}

InstrumentRound dated(const QString& name, const QString& date, qint64 storedMs, int pos = 0) {
    InstrumentRound r;
    r.round = name;
    r.testDate = date;
    if (storedMs >= 0)
        r.storedAt = QDateTime::fromMSecsSinceEpoch(storedMs, Qt::UTC);
    r.position = pos;
    return r;
}

} // namespace

TEST(HistoryScores, AgreeWithTheVerdictsOfEveryStoredRound) {
    QTemporaryDir dir;
    Archive archive(testing_support::newArchive(dir));
    for (int k = 1; k <= 4; ++k)
        archive.store(realRound(k), IfStored::Refuse);
    std::set<QString> seen;
    int rows = 0;
    for (const InstrumentListing& id : archive.instruments()) {
        const InstrumentHistory h = readHistory(archive, id.instrumentId);
        ASSERT_EQ(h.entries.size(), 4u) << id.instrumentId.toStdString();
        for (const HistoryEntry& e : h.entries) {
            const InstrumentResult& r = *e.result();
            EXPECT_EQ(testVerdictOfScores(e.scores), r.testVerdict) << e.round.round.toStdString();
            EXPECT_EQ(calibrationVerdictOfScores(e.scores), r.calibrationVerdict);
            seen.insert(r.testVerdict);
            seen.insert(r.calibrationVerdict);
            ++rows;
        }
    }
    EXPECT_EQ(rows, 96);
    // The rounds have to reach every verdict for the comparison to mean anything.
    for (const char* v : {"vyhověl", "s výhradami", "nevyhověl", "výborný", "dobrý", "odlehlý"})
        EXPECT_TRUE(seen.count(QString::fromUtf8(v))) << v;
}

TEST(HistoryScores, AgreeWithTheVerdictFunctionsOnAndNextToTheLimits) {
    const double up = std::nextafter(1.0, 2.0), tiny = std::ldexp(1.0, -26);
    struct Case {
        const char* what;
        double d, s;
        RoundResults f;
    };
    const Case cases[] = {
        {"on the circle", 3, 4, figures(0, 0, 5, 10, 10)},
        {"one step beyond the circle", 3, std::nextafter(4.0, 5.0), figures(0, 0, 5, 10, 10)},
        {"on the ellipse", 2, 0, figures(0, 0, 5, 2, 1)},
        {"on the ellipse, other axis", 0, 1, figures(0, 0, 5, 2, 1)},
        // (1 + 2^-52) under the root gives 1: the score must still say outside.
        {"a hair beyond the ellipse", 1, tiny, figures(0, 0, 5, 1, 1)},
        {"inside both", 0.5, 0.5, figures(0.25, 0.25, 5, 1, 1)},
        {"centre off zero", 7, 13, figures(4, 9, 5, 3, 4)},
        {"just beyond the circle off centre", 4 + 3 * up, 9 + 4, figures(4, 9, 5, 30, 40)},
    };
    for (const Case& c : cases) {
        OverallFigures f;
        f.M = c.f.M, f.Med = c.f.Med, f.R = c.f.R, f.a = c.f.a, f.b = c.f.b;
        InstrumentResult r;
        r.d = c.d, r.s = c.s;
        EXPECT_EQ(testVerdictOfScores(scoresOf(c.f, r)), testVerdict(f, c.d, c.s)) << c.what;
    }
    // Sy,x and 1 - r^2 on, below and above each limit.
    const double limits[] = {0.4, 0.7}; // LE = LQ, CE = CQ
    for (double E : {0.3, 0.4, std::nextafter(0.4, 1.0), 0.5, 0.7, std::nextafter(0.7, 1.0), 0.8})
        for (double Q : {0.3, 0.4, 0.5, 0.7, 0.8}) {
            CalibrationFigures c;
            c.LE = c.LQ = limits[0];
            c.CE = c.CQ = limits[1];
            RoundResults f = figures(0, 0, 1, 1, 1);
            f.LE = f.LQ = limits[0];
            f.CE = f.CQ = limits[1];
            InstrumentResult r;
            r.E = E, r.Q = Q;
            EXPECT_EQ(calibrationVerdictOfScores(scoresOf(f, r)), calibrationVerdict(c, E, Q))
                << E << " " << Q;
        }
}

TEST(HistoryScores, LeftOutWithTheReasonWhereALimitIsZero) {
    struct Case {
        RoundResults f;
        std::array<const char*, kScoreKinds> expected; // "" for a score
    };
    RoundResults calibrationZero = figures(0, 0, 1, 1, 1);
    calibrationZero.CE = 0, calibrationZero.LQ = 0;
    const Case cases[] = {
        {figures(0, 0, 0, 1, 1), {"R = 0", "", "", "", "", ""}},
        {figures(0, 0, 1, 0, 1), {"", "a = 0", "", "", "", ""}},
        {figures(0, 0, 1, 1, 0), {"", "b = 0", "", "", "", ""}},
        {figures(0, 0, 1, 0, 0), {"", "a = 0, b = 0", "", "", "", ""}},
        {calibrationZero, {"", "", "CE = 0", "", "", "LQ = 0"}},
    };
    InstrumentResult r;
    r.d = r.s = r.E = r.Q = 0.5;
    for (const Case& c : cases) {
        const Scores s = scoresOf(c.f, r);
        for (int k = 0; k < kScoreKinds; ++k) {
            EXPECT_EQ(s[k].missing, QString::fromUtf8(c.expected[k])) << k;
            EXPECT_EQ(s[k].value.has_value(), !*c.expected[k]) << k;
        }
    }
    // The table says why; a round without results says so.
    InstrumentHistory h;
    h.id = QStringLiteral("X");
    h.entries.push_back({dated("z", "1.1.2026", 0), scoresOf(cases[0].f, r)});
    h.entries.back().round.results = cases[0].f;
    h.entries.back().round.results->instruments = {r};
    h.entries.push_back({dated("bez", "2.1.2026", 0), noScores()});
    const auto number = [](double v) { return QString::number(v); };
    EXPECT_EQ(historyRow(h, 0, number, u',')[9], QStringLiteral("není (R = 0)"));
    EXPECT_EQ(historyRow(h, 0, number, u',')[10], QStringLiteral("0,707"));
    const QStringList none = historyRow(h, 1, number, u',');
    EXPECT_EQ(none[2], QStringLiteral("kolo bez výsledků celkového testu"));
    EXPECT_EQ(none[9], QStringLiteral("není (kolo bez výsledků)"));
}

TEST(HistoryOrder, ByTestDateThenTimeOfStoringThenName) {
    struct Case {
        const char* text;
        QDate date;
    };
    for (const Case& c :
         {Case{"3.2.2026", QDate(2026, 2, 3)}, Case{" 03. 02. 2026 ", QDate(2026, 2, 3)},
          Case{"2026-02-03", QDate(2026, 2, 3)}, Case{"31.2.2026", QDate()},
          Case{"3.2.26", QDate()}, Case{"", QDate()}, Case{"únor 2026", QDate()}})
        EXPECT_EQ(parseTestDate(QString::fromUtf8(c.text)).value_or(QDate()), c.date) << c.text;

    const qint64 day = 86400000, jan10 = QDate(2026, 1, 10).startOfDay(Qt::UTC).toMSecsSinceEpoch();
    std::vector<InstrumentRound> rounds = {
        dated("not stored yet", "10.1.2026", -1),
        dated("later the same day", "10.1.2026", jan10 + 5000),
        dated("text date, stored on 5 Jan", "leden", jan10 - 5 * day + 43200000),
        dated("December", "1.12.2025", jan10 + 90 * day),
        dated("same day", "10.1.2026", jan10 + 1000, 1),
        dated("same day", "10.1.2026", jan10 + 1000, 0),
        dated("February, as text with blanks", "2. 2. 2026", jan10),
    };
    const InstrumentHistory h = makeHistory("X", rounds, {});
    QStringList order;
    for (const HistoryEntry& e : h.entries)
        order << e.round.round + u'/' + QString::number(e.round.position);
    EXPECT_EQ(order.join(u'|'), QStringLiteral("December/0|text date, stored on 5 Jan/0|same "
                                               "day/0|same day/1|later the same day/0|not stored "
                                               "yet/0|February, as text with blanks/0"));

    // A participant's page: its own round once, as given, in place of its archived copy, and
    // no round after it.
    Round own;
    own.name = QStringLiteral("same day");
    own.testDate = QStringLiteral("10.1.2026");
    own.storedAt = QDateTime::fromMSecsSinceEpoch(jan10 + 1000, Qt::UTC);
    own.sheets.resize(2);
    order.clear();
    for (const HistoryEntry& e : participantHistory(rounds, own, 1).entries)
        order << e.round.round + u'/' + QString::number(e.round.position);
    EXPECT_EQ(order.join(u'|'), "December/0|text date, stored on 5 Jan/0|same day/1");
}

TEST(HistoryOrder, ParticipantsPageLeavesOutRoundsWhereTheIdentifierIsOnSeveralSheets) {
    // Two sheets of one earlier round bear the identifier: either may be another
    // participant's, so neither is shown; nor is a later round.
    const std::vector<InstrumentRound> archived = {
        dated("shared", "1.1.2026", 1000, 0), dated("shared", "1.1.2026", 1000, 3),
        dated("own", "1.2.2026", 2000, 1), dated("later", "1.12.2026", 3000, 2)};
    Round round;
    round.name = QStringLiteral("this");
    round.testDate = QStringLiteral("1.6.2026");
    round.sheets.resize(2);
    round.sheets[1].field(kInstrumentIdField) = QStringLiteral("X");
    const InstrumentHistory h = participantHistory(archived, round, 1);
    QStringList shown;
    for (const HistoryEntry& e : h.entries)
        shown << e.round.round;
    EXPECT_EQ(shown, QStringList({"own", "this"}));
    EXPECT_EQ(h.ambiguous, QStringList{"shared"});
}

TEST(HistoryDrift, RulesOnConstructedHistories) {
    struct Case {
        const char* what;
        std::vector<double> circle; // NaN: no score that round
        std::vector<const char*> verdicts;
        QStringList expected; // the start of each line found
    };
    const double none = std::nan("");
    const QString rose = QStringLiteral("Skóre kruh d/R vzrostlo");
    const QString twice = QStringLiteral("V posledních dvou kolech přístroj");
    const Case cases[] = {
        {"rose three times", {0.2, 0.3, 0.4, 0.5}, {}, {rose}},
        {"rose twice only", {0.3, 0.4, 0.5}, {}, {}},
        {"fell, then rose twice", {0.5, 0.3, 0.4, 0.5}, {}, {}},
        {"a tie", {0.2, 0.3, 0.3, 0.5}, {}, {}},
        {"fell in the last", {0.2, 0.3, 0.4, 0.5, 0.45}, {}, {}},
        {"rose after a high one", {0.9, 0.2, 0.3, 0.4, 0.5}, {}, {rose}},
        {"a round without the score", {0.2, none, 0.4, 0.5, 0.6}, {}, {}},
        {"the last two failed", {}, {"vyhověl", "s výhradami", "nevyhověl"}, {twice}},
        {"failed, then passed", {}, {"nevyhověl", "s výhradami", "vyhověl"}, {}},
        {"passed, then failed once", {}, {"vyhověl", "nevyhověl"}, {}},
        {"one round only", {}, {"nevyhověl"}, {}},
        {"both",
         {0.7, 0.8, 0.9, 1.1},
         {"vyhověl", "vyhověl", "s výhradami", "nevyhověl"},
         {rose, twice}},
    };
    for (const Case& c : cases) {
        std::vector<HistoryPoint> points(std::max(c.circle.size(), c.verdicts.size()));
        for (std::size_t i = 0; i < points.size(); ++i) {
            points[i].testVerdict = QStringLiteral("vyhověl");
            if (i < c.circle.size() && !std::isnan(c.circle[i]))
                points[i].scores[kCircleScore].value = c.circle[i];
            if (i < c.verdicts.size())
                points[i].testVerdict = QString::fromUtf8(c.verdicts[i]);
        }
        const QStringList found = testDrift(points);
        ASSERT_EQ(found.size(), c.expected.size())
            << c.what << ": " << found.join('|').toStdString();
        for (qsizetype i = 0; i < found.size(); ++i)
            EXPECT_TRUE(found[i].startsWith(c.expected[i])) << c.what;
    }
    // The calibration's rule: neither "výborný" nor "dobrý" twice; its scores rise alike.
    struct Calibration {
        std::vector<const char*> verdicts;
        bool found;
    };
    for (const Calibration& c :
         {Calibration{{"dobrý", "vyhověl", "odlehlý"}, true},
          Calibration{{"odlehlý", "vyhověl"}, true}, Calibration{{"vyhověl", "dobrý"}, false},
          Calibration{{"odlehlý", "výborný"}, false}}) {
        std::vector<HistoryPoint> points;
        for (const char* v : c.verdicts)
            points.push_back({{}, QStringLiteral("vyhověl"), QString::fromUtf8(v)});
        EXPECT_EQ(calibrationDrift(points).size(), c.found ? 1 : 0) << c.verdicts.back();
    }
    std::vector<HistoryPoint> rising(4);
    for (int i = 0; i < 4; ++i) {
        rising[i].calibrationVerdict = QStringLiteral("dobrý");
        rising[i].scores[kScoreLQ].value = 0.5 + 0.1 * i;
    }
    EXPECT_EQ(calibrationDrift(rising),
              QStringList{QStringLiteral("Skóre Q/LQ vzrostlo v každém z posledních tří kol: "
                                         "0,500 → 0,600 → 0,700 → 0,800.")});
}

TEST(HistoryArchive, IdentifiersExactlyAndOneInstrumentsSheetsOnly) {
    QTemporaryDir dir;
    Archive archive(testing_support::newArchive(dir));
    const auto sheet = [](const QString& id) {
        Sheet s;
        s.field(kInstrumentIdField) = id;
        return s;
    };
    const auto round = [&](const QString& name, const QStringList& ids, bool results) {
        Round r;
        r.name = name;
        r.testDate = QStringLiteral("1.1.2026");
        for (const QString& id : ids)
            r.sheets.push_back(sheet(id));
        if (results) {
            r.results.emplace(figures(1, 2, 3, 4, 5));
            for (int i = 0; i < ids.size(); ++i)
                r.results->instruments.emplace_back().d = double(i);
        }
        return archive.store(r, IfStored::Refuse);
    };
    const Round first = round("1", {"A 1", "B", "A 1"}, true);
    round("2", {"a1", "B"}, false);
    round("3", {"B", "A 1", ""}, true);

    EXPECT_EQ(archive.instruments(),
              (std::vector<InstrumentListing>{{"", 1}, {"A 1", 2}, {"B", 3}, {"a1", 1}}));
    const std::vector<InstrumentRound> sheets = archive.instrumentRounds("A 1");
    ASSERT_EQ(sheets.size(), 3u);
    EXPECT_EQ(sheets[0].round, "1");
    EXPECT_EQ(sheets[1].position, 2);
    EXPECT_EQ(sheets[1].participantCode, first.sheets[2].participantCode);
    ASSERT_TRUE(sheets[1].results);
    EXPECT_EQ(sheets[1].results->instruments,
              std::vector<InstrumentResult>{first.results->instruments[2]});
    EXPECT_EQ(sheets[1].results->R, 3);
    EXPECT_EQ(sheets[2].results->instruments.front().d, 1);
    EXPECT_TRUE(archive.instrumentRounds("a 1").empty());
    EXPECT_FALSE(archive.instrumentRounds("B")[1].results);

    const InstrumentHistory h = readHistory(archive, "A 1");
    EXPECT_EQ(h.similar, (std::vector<InstrumentListing>{{"a1", 1}}));
    EXPECT_EQ(h.label(0), "1, list 1");
    EXPECT_EQ(h.label(2), "3");
}
