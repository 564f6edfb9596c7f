// The reports for the participants: no other participant's identifier in the chart models
// or the files, what the first page says, the own point where the model puts it, and the
// file names. Every program run here has a time limit.
#include "archive/Archive.h"
#include "overall/OverallRecord.h"
#include "report/ParticipantReport.h"
#include "report/ReportArchive.h"
#include "report/ResultMeaning.h"

#include <gtest/gtest.h>

#include "support/ReportSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include <set>
#include <tuple>

using namespace vel;
using namespace testing_support;

namespace {

// Identifiers that share no text with anything else a report holds, nor with each other.
QString token(int i) {
    return QStringLiteral("QXZ-%1").arg(i + 1, 2, 10, QChar(u'0'));
}

std::vector<InstrumentRecord> tokenRound() {
    std::vector<InstrumentRecord> round = generatedRound();
    for (std::size_t i = 0; i < round.size(); ++i)
        round[i].id = token(int(i));
    return round;
}

const char* const kInfo = R"({"provider": "Laboratoř Mlékárenská\nHlavní 1, Brno",
    "reference_origin": "Průměr tří referenčních laboratoří, nejistota 4 %",
    "comment": "Zkontrolujte kalibraci.", "status": "final", "issue_date": "2026-03-12"})";

// The round as stored under `name` in the archive file.
Round storedRound(const QString& archive, const QString& name) {
    return Archive(ArchiveLocation::parse(archive)).load(name);
}

} // namespace

TEST_F(ReportTest, NoOtherIdentifierReachesTheChartsOfAParticipant) {
    const OverallRecord record = recordOf(writeRound(dir.path(), tokenRound()), reference);
    std::vector<int> codes;
    for (int i = 0; i < 30; ++i)
        codes.push_back(500 + 7 * i);
    for (int own : {0, 17}) {
        const ParticipantCharts charts = participantCharts(record, codes, own, token(own));
        std::set<QString> allowed{token(own)};
        for (int i = 0; i < 30; ++i)
            if (i != own)
                allowed.insert(QString::number(codes[i]));
        for (const ui::ChartModel* model :
             {static_cast<const ui::ChartModel*>(charts.overall.get()),
              static_cast<const ui::ChartModel*>(charts.calibration.get())})
            for (const auto& series : model->allSeries())
                for (const ui::ChartPoint& p : series->points())
                    EXPECT_TRUE(p.label.isEmpty() || allowed.count(p.label))
                        << p.label.toStdString() << " in " << series->name().toStdString();

        // Each instrument once, where the test put it; the centre points and limits kept.
        const InstrumentOutcome& o = record.instruments[own];
        EXPECT_EQ(charts.overall->Series1.points().size(), 29u);
        ASSERT_EQ(charts.overallOwn->points().size(), 1u);
        EXPECT_EQ(charts.overallOwn->points()[0].x, o.d);
        EXPECT_EQ(charts.overallOwn->points()[0].y, o.s);
        EXPECT_EQ(charts.overallOwn->color, kOwnPointColor);
        ASSERT_EQ(charts.calibrationOwn->points().size(), 1u);
        EXPECT_EQ(charts.calibrationOwn->points()[0].x, o.E);
        EXPECT_EQ(charts.calibrationOwn->points()[0].y, o.Q);
        EXPECT_EQ(charts.overall->Series3.points().size(), 1u);
        EXPECT_EQ(charts.overall->Series5.points()[0].x, record.overall.M);
        EXPECT_EQ(charts.overall->Series4.x1(), record.overallChart->Series4.x1());
        EXPECT_EQ(charts.calibration->Series3.points()[1].x, record.calibration.CE);
    }
}

TEST_F(ReportTest, NoOtherIdentifierInTheFilesOfTheParticipants) {
    const QStringList files = writeRound(dir.path(), tokenRound());
    const QString archive = path("archiv.sqlite"), out = path("out");
    ASSERT_TRUE(QDir().mkpath(out));
    testing_support::writeAll(path("info.json"), kInfo);
    // A link under a report's name is replaced, not followed.
    testing_support::writeAll(path("victim"), "victim");
    ASSERT_TRUE(QFile::link(path("victim"), QDir(out).filePath("R – QXZ-05.pdf")));
    const ProgramRun r =
        report(QStringList{"--archive", archive, "--reference", reference, "--store", "R", "--info",
                           path("info.json"), "--participants", out} +
               files);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(testing_support::readAll(path("victim")), "victim");
    EXPECT_FALSE(QFileInfo(QDir(out).filePath("R – QXZ-05.pdf")).isSymLink());

    const Round round = storedRound(archive, "R");
    ASSERT_EQ(round.sheets.size(), 30u);
    QStringList expected;
    for (int i = 0; i < 30; ++i)
        expected << QStringLiteral("R – %1.pdf").arg(token(i));
    expected.sort();
    EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name), expected);
    for (int i = 0; i < 30; ++i) {
        const QString file = QDir(out).filePath(QStringLiteral("R – %1.pdf").arg(token(i)));
        const QString text = pdfText(file);
        const QByteArray bytes = testing_support::readAll(file);
        EXPECT_TRUE(text.contains(token(i))) << i;
        for (int j = 0; j < 30; ++j) {
            if (j == i)
                continue;
            const QString other = token(j);
            EXPECT_FALSE(text.contains(other)) << other.toStdString() << " in " << i;
            EXPECT_FALSE(bytes.contains(other.toUtf8())) << other.toStdString() << " in " << i;
            QByteArray utf16; // as a PDF text string holds it
            for (QChar c : other)
                utf16 += QByteArray(1, char(0)) + char(c.unicode());
            EXPECT_FALSE(bytes.contains(utf16)) << other.toStdString() << " in " << i;
            // The others are there, by their codes.
            EXPECT_TRUE(text.contains(QString::number(round.sheets[j].participantCode)));
        }
    }
    // 40 of the 60 pairs of the 9th instrument above their limits.
    EXPECT_TRUE(normalized(pdfText(QDir(out).filePath("R – QXZ-09.pdf")))
                    .contains("opakovatelnost: diference nad limity v 66,7 % dvojic měření "
                              "(40 z 60) > 5 %"));
}

TEST_F(ReportTest, AnonymousReportNamesOnlyCodes) {
    const QStringList files = writeRound(dir.path(), tokenRound());
    const QString archive = path("archiv.sqlite");
    testing_support::writeAll(path("info.json"), kInfo);
    ProgramRun r = report(QStringList{"--archive", archive, "--reference", reference, "--store",
                                      "R", "--info", path("info.json"), "--pdf", path("c.pdf")} +
                          files);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = report({"--archive", archive, "--from-archive", "R", "--anonymous", "--pdf", path("a.pdf"),
                "--csv", path("a.csv")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const Round round = storedRound(archive, "R");

    // The charts drawn hold codes only: labels, series and titles.
    const OverallRecord test = testOfRound(anonymousRound(round));
    std::vector<const ui::ChartModel*> models{test.overallChart.get(),
                                              test.calibrationChart.get()};
    for (const InstrumentOutcome& o : test.instruments)
        models.push_back(o.deviation.get());
    for (const ui::ChartModel* model : models) {
        QStringList texts = model->title;
        for (const auto& series : model->allSeries()) {
            texts << series->title;
            for (const ui::ChartPoint& p : series->points())
                texts << p.label;
        }
        EXPECT_FALSE(texts.join('|').contains(QStringLiteral("QXZ-"))) << texts.join('|').toStdString();
    }

    // The confidential report names all, marked on every page; the anonymous one none.
    const QString confidential = pdfText(path("c.pdf"));
    const QString anonymous = pdfText(path("a.pdf"));
    const int pages = int(confidential.count(QStringLiteral("strana ")));
    EXPECT_EQ(confidential.count(QStringLiteral("Důvěrné – pouze pro organizátora")), pages);
    EXPECT_TRUE(confidential.contains(QStringLiteral("Průměr tří referenčních laboratoří")));
    EXPECT_FALSE(anonymous.contains(QStringLiteral("Důvěrné")));
    for (int i = 0; i < 30; ++i) {
        EXPECT_TRUE(confidential.contains(token(i))) << i;
        const QString code = QString::number(round.sheets[i].participantCode);
        EXPECT_TRUE(anonymous.contains(QStringLiteral("Přístroj %1, kód účastníka %1").arg(code)));
    }
    for (const QString& file : {path("a.pdf"), path("a.csv")}) {
        const QByteArray bytes = testing_support::readAll(file);
        EXPECT_FALSE(bytes.contains("QXZ-")) << file.toStdString();
        EXPECT_FALSE(bytes.contains(QByteArray("Q\0X\0Z\0-", 7))) << file.toStdString();
        EXPECT_FALSE(bytes.contains(QByteArray("\0Q\0X\0Z\0-", 8))) << file.toStdString();
    }
    EXPECT_FALSE(anonymous.contains(QStringLiteral("QXZ-")));
}

TEST_F(ReportTest, FirstPageOfAParticipantReadBack) {
    const QString archive = path("archiv.sqlite"), out = path("out");
    ASSERT_TRUE(QDir().mkpath(out));
    testing_support::writeAll(path("info.json"), kInfo);
    ProgramRun r = report(QStringList{"--archive", archive, "--reference", reference, "--store",
                                      "2026/2", "--info", path("info.json")} +
                          exampleFiles);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    // Issued later from the archive, with the codes it gave.
    r = report({"--archive", archive, "--from-archive", "2026/2", "--participants", out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const Round round = storedRound(archive, "2026/2");
    const OverallRecord record = recordOf(exampleFiles, reference);

    struct Case {
        int instrument;
        QStringList lines;
    };
    const Case cases[] = {
        {2,
         {"Hodnocení v celkovém testu: vyhověl", "Kvalita kalibrace: dobrý",
          "slepý pokus: střední hodnota vod 6 > 3 tis. buněk/ml",
          "slepý pokus: nejvyšší měření vody 9 > 8 tis. buněk/ml", "1 100 101,00 1,00 2,31",
          "10 1000 1001,00 1,00 2,31"}},
        {3, {"vliv přenosu 2,42 % > 2 %", "Kvalita kalibrace: dobrý", "5 500 504,00 4,00 2,31"}},
        {4,
         {"Hodnocení v celkovém testu: nevyhověl", "Kvalita kalibrace: výborný", "Varování: žádné",
          "1 100 90,00 -10,00 0,00"}},
        {5, {"Hodnocení v celkovém testu: s výhradami", "vně elipsy (Interval 2)"}},
    };
    for (const Case& c : cases) {
        const QString id = record.instruments[c.instrument].id;
        const QString file = QDir(out).filePath(QStringLiteral("2026_2 – %1.pdf").arg(id));
        const QString raw = pdfText(file, {"-layout"});
        const QString text = normalized(raw);
        const int code = round.sheets[c.instrument].participantCode;
        QStringList lines = c.lines;
        lines << QStringLiteral("Přístroj %1, kód účastníka %2").arg(id).arg(code)
              << "Laboratoř Mlékárenská, Hlavní 1, Brno"
              << QStringLiteral("číslo zprávy: 2026/2-%1").arg(code) << "stav zprávy: konečná"
              << "vydáno 12.03.2026"
              << "Průměr tří referenčních laboratoří, nejistota 4 %"
              << "Zkontrolujte kalibraci."
              << "Totožnost ostatních účastníků je důvěrná";
        for (const QString& line : lines)
            EXPECT_TRUE(text.contains(line)) << id.toStdString() << ": " << line.toStdString();
        // The header on every page; the own block of the summary pane, in order.
        const int pages = QRegularExpression("strana 1 z (\\d+)").match(text).captured(1).toInt();
        EXPECT_GE(pages, 3);
        EXPECT_EQ(raw.count(QStringLiteral("číslo zprávy: 2026/2-%1").arg(code)), pages);
        EXPECT_EQ(missingInOrder(text, record.block(c.instrument)), QString());
    }

    // A report that would overwrite another output: nothing written.
    const QString one = QDir(out).filePath("2026_2 – SCC-01.pdf");
    const QByteArray before = testing_support::readAll(one);
    r = report({"--archive", archive, "--from-archive", "2026/2", "--participants", out, "--csv",
                one});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(QString::fromUtf8(r.err),
              QStringLiteral("Zpráva účastníka %1 by přepsala soubor %1.\n").arg(one));
    EXPECT_EQ(testing_support::readAll(one), before);

    // Fonts embedded, no raster image.
    const QStringList fonts =
        QString::fromUtf8(run(tool("pdffonts"), {one}).out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(fonts.size(), 2);
    for (const QString& f : fonts.mid(2))
        EXPECT_TRUE(f.contains(QRegularExpression("\\byes\\s+(yes|no)\\s+yes\\b")))
            << f.toStdString();
    const QStringList images = QString::fromUtf8(run(tool("pdfimages"), {"-list", one}).out)
                                   .split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(images.size(), 2) << images.join('\n').toStdString(); // the heading only
}

TEST_F(ReportTest, OwnPointDrawnInItsColourWhereTheModelPutsIt) {
    const OverallRecord record = recordOf(exampleFiles, reference);
    Round round;
    round.name = QStringLiteral("2026/2");
    for (int i = 0; i < 6; ++i)
        round.sheets.emplace_back().participantCode = 300 + i;
    ReportCharts charts;
    charts.font = QApplication::font();
    const int own = 2;
    const ParticipantDocument doc =
        makeParticipantReport(record, round, own, charts, participantHistory({}, round, own));
    const QString pdf = path("own.pdf");
    testing_support::writeAll(pdf, doc.pdf);
    ASSERT_GE(doc.placed.size(), 2u);
    EXPECT_EQ(doc.placed[0].page, doc.placed[1].page); // one portrait page (below)

    const int dpi = 150;
    auto blue = [](QColor c) { return c.blue() > 180 && c.red() < 90 && c.green() < 90; };
    auto red = [](QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
    for (int k = 0; k < 2; ++k) {
        const PlacedChart& placed = doc.placed[k];
        const ui::Series& mine = k == 0 ? *doc.charts.overallOwn : *doc.charts.calibrationOwn;
        const ui::Series& others =
            k == 0 ? doc.charts.overall->Series1 : doc.charts.calibration->Series1;
        const QString page = QString::number(placed.page + 1);
        ASSERT_EQ(run(tool("pdftoppm"), {"-f", page, "-l", page, "-r", QString::number(dpi), "-png",
                                         "-singlefile", pdf, path("page")})
                      .status,
                  0);
        const QImage image(path("page.png"));
        ASSERT_FALSE(image.isNull());
        EXPECT_LT(image.width(), image.height());
        const double scale = placed.rect.width() / placed.size.width(); // points per pixel
        auto onPage = [&](const ui::ChartPoint& p, int dx) {
            const QPointF px = placed.layout.toPixel(p.x, p.y) + QPointF(dx, 0);
            return ((placed.rect.topLeft() + px * scale) * dpi / 72).toPoint();
        };
        // Blue, and larger than the others: 5 chart pixels beside its centre still blue.
        const ui::ChartPoint& p = mine.points().at(0);
        EXPECT_TRUE(blue(image.pixelColor(onPage(p, 5)))) << k;
        EXPECT_TRUE(blue(image.pixelColor(onPage(p, -5)))) << k;
        if (k == 0) { // in the calibration chart others lie under it
            for (const ui::ChartPoint& o : others.points())
                EXPECT_TRUE(red(image.pixelColor(onPage(o, 0)))) << o.label.toStdString();
        }
    }
}

TEST(ParticipantFiles, NamedByRoundAndIdentifierWithCodesWhereTheyWouldBeEqual) {
    const QStringList ids{"SCC-01", "SCC-01", "A/B", "A:B", "", "X"};
    OverallRecord record;
    Round round;
    round.name = QStringLiteral("2026/2");
    for (int i = 0; i < int(ids.size()); ++i) {
        record.instruments.emplace_back().id = ids[i];
        round.sheets.emplace_back().participantCode = 101 + i;
    }
    EXPECT_EQ(participantFileNames(record, round),
              (QStringList{"2026_2 – SCC-01 – 101.pdf", "2026_2 – SCC-01 – 102.pdf",
                           "2026_2 – A_B – 103.pdf", "2026_2 – A_B – 104.pdf",
                           "2026_2 – kód 105.pdf", "2026_2 – X.pdf"}));
    round.sheets.pop_back(); // not the round of that test
    EXPECT_NE(errorOf([&] { participantFileNames(record, round); }), "<no error>");
}

TEST(ResultMeaning, EachVerdictWithItsRegionAndTheLimitsThatDecidedIt) {
    // Centre [0; 1], circle of radius 5, semi-axes 2 and 1; limits of Sy,x 10 and 20.
    OverallRecord record;
    record.overall.Med = 1;
    record.overall.R = 5;
    record.overall.a = 2;
    record.overall.b = 1;
    record.calibration.LE = 10;
    record.calibration.CE = 20;
    record.calibration.LQ = 0.01;
    record.calibration.CQ = 0.02;
    // Each instrument's point and verdicts, and what the meanings of its verdicts say.
    const std::tuple<double, double, const char*, double, double, const char*> points[] = {
        {1, 1.5, "vyhověl", 5, 0.005, "výborný"},
        {0, 2.5, "s výhradami", 15, 0.005, "dobrý"},
        {6, 1, "nevyhověl", 25, 0.005, "odlehlý"},
        {0, 1, "vyhověl", 20, 0.02, "vyhověl"},
    };
    const QStringList said[] = {
        {"uvnitř elipsy", "vzdálenost od středu 1,12", "elipse 0,5 ",
         "uvnitř obdélníku mezí náhodné chyby"},
        {"vně elipsy (Interval 2), ale uvnitř kružnice", "elipse 2,25 ",
         "vně obdélníku mezí náhodné chyby (zelená čára), ale uvnitř"},
        {"vně kružnice", "vzdálenost od středu 6,", "vně obdélníku 95% mezí spolehlivosti"},
        {"elipse 0 ", "na hranici obdélníku 95% mezí"},
    };
    for (const auto& [d, s, test, E, Q, calibration] : points) {
        InstrumentOutcome& o = record.instruments.emplace_back();
        std::tie(o.d, o.s, o.E, o.Q) = std::tie(d, s, E, Q);
        o.testVerdict = QString::fromUtf8(test);
        o.calibrationVerdict = QString::fromUtf8(calibration);
    }
    for (int i = 0; i < int(std::size(points)); ++i) {
        const QString meaning =
            testVerdictMeaning(record, i) + " | " + calibrationVerdictMeaning(record, i);
        for (const QString& part : said[i] + QStringList{"(mez náhodné chyby 10, 95% mez 20)",
                                                         "(mez náhodné chyby 0,01, 95% mez 0,02)"})
            EXPECT_TRUE(meaning.contains(part)) << i << ": " << meaning.toStdString();
    }

    // A value that three digits would show equal to its limit gets the digits it needs.
    const std::tuple<double, double, const char*> against[] = {
        {2.42, 2, "2,42"}, {2.0004, 2, "2,0004"}, {1.9996, 2, "1,9996"}, {2, 2, "2"}};
    for (const auto& [value, limit, text] : against)
        EXPECT_EQ(valueAgainst(value, limit), QString::fromUtf8(text)) << value;

    // The general meaning of each warning names the limit its warning text gives.
    InstrumentOutcome warned;
    warned.blank.meanExceeds = warned.blank.singleExceeds = true;
    warned.blank.midrange = warned.blank.largest = 9;
    warned.carryOverWarning = warned.repeatabilityWarning = true;
    warned.carryOverPercent = 2.5;
    warned.repeatabilityPairsOver = 6;
    ASSERT_EQ(warningTexts(warned).size(), 4);
    for (const QString& w : warningTexts(warned)) {
        const QString word = w.section(u' ', 0, 0).remove(u':'), limit = w.section(" > ", 1);
        QString meaning;
        for (const TermLine& t : warningTerms())
            if (t.term.startsWith(word))
                meaning = t.meaning;
        EXPECT_TRUE(meaning.contains("nad " + limit) || meaning.contains("než " + limit))
            << w.toStdString() << " | " << meaning.toStdString();
    }
}
