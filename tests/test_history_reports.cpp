// An instrument's history where the user meets it: the window opened from the archive
// window, velimor-report --history, and the page "Vývoj v čase" of a participant's report,
// which holds its own instrument only and no round after its own. Every program run here
// has a time limit.
#include "archive/Archive.h"
#include "rounds/ArchiveWindow.h"
#include "rounds/HistoryWindow.h"
#include "ui/ChartView.h"

#include <gtest/gtest.h>

#include "support/ReportSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

using namespace vel;
using namespace testing_support;

namespace {

// Rounds R1..R4 (test dates January to April, stored in another order): "A 1" in each,
// its point further from the centre every round; "a1", a near-duplicate, in R2; "B" in all.
ArchiveLocation constructedArchive(const QTemporaryDir& dir) {
    const ArchiveLocation where = ArchiveLocation::parse(dir.filePath("a.sqlite"));
    Archive archive(where);
    for (int k : {3, 1, 4, 2}) {
        Round r;
        r.name = QStringLiteral("R%1").arg(k);
        r.testDate = QStringLiteral("%1.%2.2026").arg(k + 4).arg(k);
        QStringList ids{"A 1", "B"};
        if (k == 2)
            ids << "a1";
        RoundResults& f = r.results.emplace();
        f.R = 10, f.a = 8, f.b = 4;
        f.CE = f.CQ = f.LE = f.LQ = 1;
        for (const QString& id : ids) {
            Sheet& s = r.sheets.emplace_back();
            s.field(kInstrumentIdField) = id;
            const bool own = id == QLatin1String("A 1");
            f.instruments.push_back({own ? 2.0 * k : 1.0, 0, 0.5, 0.5, QStringLiteral("vyhověl"),
                                     QStringLiteral("dobrý")});
        }
        archive.store(r, IfStored::Refuse);
    }
    return where;
}

QStringList column(const QTableWidget* t, int c) {
    QStringList out;
    for (int row = 0; row < t->rowCount(); ++row)
        out << t->item(row, c)->text();
    return out;
}

QString token(int i) {
    return QStringLiteral("QXZ-%1").arg(i + 1, 2, 10, QChar(u'0'));
}

} // namespace

TEST(HistoryWindow, ChosenFromTheArchiveWindowShowsItsRoundsInOrderOfTheirDates) {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ArchiveWindow archiveWindow;
    archiveWindow.showArchive(constructedArchive(dir));
    archiveWindow.historyButton->click();
    InstrumentChooser& chooser = *archiveWindow.chooser;
    ASSERT_TRUE(chooser.isVisible());
    EXPECT_EQ(column(chooser.table, 0), (QStringList{"A 1", "B", "a1"}));
    EXPECT_EQ(column(chooser.table, 1), (QStringList{"4", "4", "1"}));
    EXPECT_EQ(column(chooser.table, 2), (QStringList{"„a1“ (1 kolo)", "", "„A 1“ (4 kola)"}));
    chooser.historyButton->click(); // nothing chosen
    EXPECT_EQ(dialogs.messages, QStringList{"Vyberte v seznamu přístroj."});

    chooser.table->selectRow(0);
    chooser.historyButton->click();
    HistoryWindow& w = *chooser.historyWindow;
    ASSERT_TRUE(w.isVisible()) << dialogs.errors.join('\n').toStdString();
    EXPECT_EQ(w.windowTitle(), "Historie přístroje A 1");
    EXPECT_EQ(column(w.table, 0), (QStringList{"R1", "R2", "R3", "R4"}));
    EXPECT_EQ(column(w.table, 1), (QStringList{"5.1.2026", "6.2.2026", "7.3.2026", "8.4.2026"}));
    EXPECT_EQ(column(w.table, 9), (QStringList{"0,200", "0,400", "0,600", "0,800"}));
    EXPECT_EQ(column(w.table, 10), (QStringList{"0,250", "0,500", "0,750", "1,000"}));
    EXPECT_TRUE(w.similarLabel->text().contains("„a1“ (1 kolo)"));
    EXPECT_TRUE(w.testDriftLabel->text().startsWith(
        "Skóre kruh d/R vzrostlo v každém z posledních tří kol: 0,200 → 0,400 → 0,600 → 0,800."));
    EXPECT_TRUE(w.testDriftLabel->text().contains(testDriftRules()));
    EXPECT_TRUE(w.calibrationDriftLabel->text().startsWith("Posun podle pravidel nezjištěn."));
    EXPECT_EQ(w.testChart->model().bottom.names, (QStringList{"R1", "R2", "R3", "R4"}));
    // Each chart's points in the colour of its own verdict: "vyhověl" in the test, "dobrý" in
    // the calibration, two and four scores a round.
    const auto pointsOf = [](const ui::ChartView* chart, const QString& verdict) {
        for (const auto& s : chart->model().allSeries())
            if (s->kind() == ui::SeriesKind::Points && s->name() == verdict)
                return s->points().size();
        return std::size_t(0);
    };
    EXPECT_EQ(pointsOf(w.testChart, "vyhověl"), 8u);
    EXPECT_EQ(pointsOf(w.calibrationChart, "dobrý"), 16u);

    // Printed and saved through the dialogs, as the other charts are.
    w.printCalibrationButton->click();
    EXPECT_EQ(dialogs.printedDocs, QStringList{"Chart1"});
    dialogs.files.push_back(dir.filePath("graf.bmp"));
    w.saveTestButton->click();
    EXPECT_TRUE(readAll(dir.filePath("graf.bmp")).startsWith("BM"));
    dialogs.files.push_back(dir.filePath("historie.csv"));
    w.csvButton->click();
    EXPECT_TRUE(readAll(dir.filePath("historie.csv")).contains("\r\nR4;8.4.2026;8;"));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
}

TEST(HistoryCommand, PdfAndTableOfOneInstrumentAndItsUsage) {
    QTemporaryDir dir;
    const QString archive = constructedArchive(dir).path;
    const QString pdf = dir.filePath("h.pdf"), csv = dir.filePath("h.csv");
    ProgramRun r = report({"--history", "A 1", "--archive", archive, "--pdf", pdf, "--csv", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString text = normalized(pdfText(pdf));
    EXPECT_EQ(missingInOrder(text, {"Historie přístroje A 1", "„a1“, 1 kolo", "R1", "R2", "R3",
                                    "R4", "Skóre kruh d/R vzrostlo"}),
              QString());
    const QStringList lines = QString::fromUtf8(readAll(csv)).split("\r\n");
    ASSERT_EQ(lines.size(), 6); // the header, four rounds, the end
    EXPECT_TRUE(lines[1].startsWith("R1;5.1.2026;2;0;vyhověl;0,5;0,5;dobrý;;0,2;0,25;"));

    r = report({"--history", "a 1", "--archive", archive, "--csv", csv});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(
        QStringLiteral("Přístroj „a 1“ v archivu kol „%1“ není; podobné identifikátory: „A 1“, "
                       "„a1“")
            .arg(archive)))
        << r.err.toStdString();

    struct Usage {
        QStringList args;
        const char* problem;
    };
    for (const Usage& u : {
             Usage{{"--history", "B"}, "volba --history potřebuje výstup --pdf nebo --csv"},
             Usage{{"--history", "B", "--summary", csv},
                   "volba --history se kombinuje jen s volbami --pdf, --csv a --archive"},
             Usage{{"--history", "B", "--list"},
                   "volba --history se kombinuje jen s volbami --pdf, --csv a --archive"},
             Usage{{"--history", "B", "--archive", archive, "--pdf", archive},
                   "je totožný s archivem kol"},
         }) {
        r = report(u.args);
        EXPECT_EQ(r.status, 2) << u.problem;
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8(u.problem)))
            << r.err.toStdString();
    }
}

TEST_F(ReportTest, HistoryPageOfAParticipantHoldsItsOwnRoundsUpToThisOne) {
    std::vector<InstrumentRecord> round = generatedRound();
    round.resize(8);
    for (std::size_t i = 0; i < round.size(); ++i)
        round[i].id = token(int(i));
    const QString archive = path("a.sqlite");
    // Stored in this order; by their test dates LEDEN, CERVEN, PROSINEC.
    const char* const rounds[][2] = {
        {"KOLO-PROSINEC", "1.12.2026"}, {"KOLO-LEDEN", "5.1.2026"}, {"KOLO-CERVEN", "1.6.2026"}};
    for (const auto& [name, date] : rounds) {
        for (InstrumentRecord& r : round)
            r.testDate = QString::fromUtf8(date);
        const QString out = path(name);
        ASSERT_TRUE(QDir().mkpath(out));
        const ProgramRun r = report(QStringList{"--archive", archive, "--reference", reference,
                                                "--store", name, "--participants", out} +
                                    writeRound(dir.path(), round));
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
    }
    for (int i = 0; i < 8; ++i) {
        const QString file = QDir(path("KOLO-CERVEN"))
                                 .filePath(QStringLiteral("KOLO-CERVEN – %1.pdf").arg(token(i)));
        const QString text = normalized(pdfText(file));
        const QByteArray bytes = readAll(file);
        EXPECT_EQ(missingInOrder(text, {"Vývoj v čase", "Přístroj " + token(i) + " v kolech",
                                        "KOLO-LEDEN", "KOLO-CERVEN", "Poloha vůči kružnici"}),
                  QString());
        EXPECT_FALSE(text.contains("KOLO-PROSINEC")) << i; // a later round
        for (int j = 0; j < 8; ++j) {
            if (j == i)
                continue;
            const QString other = token(j);
            EXPECT_FALSE(text.contains(other)) << other.toStdString() << " in " << i;
            EXPECT_FALSE(bytes.contains(other.toUtf8())) << other.toStdString() << " in " << i;
            QByteArray utf16;
            for (QChar c : other)
                utf16 += QByteArray(1, char(0)) + char(c.unicode());
            EXPECT_FALSE(bytes.contains(utf16)) << other.toStdString() << " in " << i;
        }
    }
    // The earliest round of the archive has no earlier one.
    const QString first = QDir(path("KOLO-LEDEN")).filePath("KOLO-LEDEN – QXZ-03.pdf");
    EXPECT_TRUE(normalized(pdfText(first)).contains("Toto je první kolo přístroje QXZ-03"));
}
