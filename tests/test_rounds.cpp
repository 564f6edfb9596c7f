// Rounds through the main window: stored in the archive and opened again exactly, with or
// without the results of the overall test; sheets removed and saved as instrument files.
#include "app/AppWindows.h"
#include "app/Form1.h"
#include "archive/Archive.h"
#include "data/InstrumentFile.h"
#include "examples/ExampleData.h"
#include "rounds/ArchiveWindow.h"
#include "rounds/RoundInfoWindow.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace vel;
using testing_support::readAll;
using testing_support::ScriptedDialogs;

namespace {

class Rounds : public ::testing::Test {
protected:
    void SetUp() override {
        examples::writeExamples(dir.path());
        qputenv("VELIMOR_ARCHIVE", dir.filePath("archiv.sqlite").toUtf8());
    }
    void TearDown() override { qunsetenv("VELIMOR_ARCHIVE"); }

    void loadExamples(AppWindows& app, int n = 6) {
        for (int i = 1; i <= n; ++i) {
            dialogs.files.push_back(dir.filePath(examples::instrumentFileName(i)));
            app.form1->Button1->click();
        }
        dialogs.files.push_back(dir.filePath(examples::referenceFileName()));
        app.form1->Button4->click();
    }
    // Every text the window holds for the round, in order: captions, fields, references.
    static QStringList texts(Form1& f) {
        QStringList out;
        for (int i = 0; i < f.PageControl1->count(); ++i) {
            out << f.PageControl1->tabText(i);
            const mereni& m = f.records()[size_t(i)];
            for (QLineEdit* e : {m.idStroje, m.casMereni, m.teplota, m.datumPrijeti, m.datumTestu})
                out << e->text();
            for (QLineEdit* e : m.counts)
                out << e->text();
        }
        for (QLineEdit* e : f.referenceFields)
            out << e->text();
        return out;
    }
    static QWidget* nextTab(QWidget* w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(Rounds, StoredAndOpenedExactlyWithResultsOnlyForTheTestedTexts) {
    AppWindows app;
    Form1& f = *app.form1;
    loadExamples(app);
    // Odd texts stay as they are.
    f.records()[1].teplota->setText(QStringLiteral("<b>\r\n€ 中"));
    f.records()[2].count(4, 3)->setText(QString(1000, u'9'));
    RoundInfoWindow& info = *f.roundInfoWindow();
    info.providerEdit->setPlainText(QStringLiteral("Laboratoř\nUlice 1\n123 45 Město"));
    info.statusBox->setCurrentIndex(1);

    // No name yet: it is asked for. No overall test: stored without results.
    dialogs.texts.push_back(QStringLiteral("2026/2"));
    f.Button14->click();
    EXPECT_EQ(info.roundName(), "2026/2");
    EXPECT_EQ(dialogs.messages.value(0),
              QStringLiteral("Kolo „2026/2“ uloženo do archivu: 6 přístrojů, bez výsledků."));

    // After the overall test, with results; the name is in the archive, so it asks first.
    f.records()[2].count(4, 3)->setText(QStringLiteral("301"));
    f.Button8->click();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    f.Button14->click(); // "Ne": nothing stored
    dialogs.answers.push_back(true);
    f.Button14->click();
    EXPECT_EQ(dialogs.questions.mid(1),
              (QStringList{"Kolo „2026/2“ už v archivu je. Nahradit je?",
                           "Kolo „2026/2“ už v archivu je. Nahradit je?"}));
    EXPECT_EQ(dialogs.messages.value(1),
              QStringLiteral("Kolo „2026/2“ uloženo do archivu: 6 přístrojů, s výsledky."));
    const QStringList stored = texts(f);

    // A field changed after the test: the results no longer belong to the texts.
    f.records()[0].count(2, 1)->setText(QStringLiteral("103"));
    info.setRoundName(QStringLiteral("2026/3"));
    f.Button14->click();
    EXPECT_EQ(dialogs.messages.value(2),
              QStringLiteral("Kolo „2026/3“ uloženo do archivu: 6 přístrojů, bez výsledků."));

    // Opened in a new window: the same texts, captions, codes, information and tab order.
    AppWindows other;
    Form1& g = *other.form1;
    g.archiveWindow()->showArchive(defaultArchiveLocation());
    QTableWidget* table = g.archiveWindow()->table;
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 0)->text(), "2026/2");
    EXPECT_EQ(table->item(1, 3)->text(), "ano");
    EXPECT_EQ(table->item(0, 3)->text(), "ne");
    table->selectRow(1);
    g.archiveWindow()->openButton->click();
    EXPECT_EQ(texts(g), stored);
    EXPECT_EQ(g.roundInfoWindow()->info(), info.info());
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_GE(g.records()[i].participantCode, 100);
        EXPECT_EQ(g.records()[i].participantCode, f.records()[i].participantCode);
    }
    EXPECT_EQ(nextTab(g.records()[0].count(13, 4)), g.records()[1].idStroje);
    EXPECT_EQ(nextTab(g.records()[5].count(13, 4)), g.Button1);
    // Stored again unchanged, it keeps its results and its codes.
    dialogs.answers.push_back(true);
    g.Button14->click();
    EXPECT_EQ(dialogs.messages.last(),
              QStringLiteral("Kolo „2026/2“ uloženo do archivu: 6 přístrojů, s výsledky."));

    // Opening over loaded sheets asks first; "Ne" changes nothing.
    g.records()[0].idStroje->setText(QStringLiteral("jiný"));
    g.archiveWindow()->openButton->click();
    EXPECT_EQ(g.records()[0].idStroje->text(), "jiný");
}

TEST_F(Rounds, RemovedSheetTakesOnlyItselfAway) {
    AppWindows app;
    Form1& f = *app.form1;
    loadExamples(app);
    f.records()[2].teplota->setText(QStringLiteral("upraveno"));
    f.removeSheetClick(1); // "Ne"
    ASSERT_EQ(f.PageControl1->count(), 6);
    dialogs.answers.push_back(true);
    f.removeSheetClick(1);
    EXPECT_EQ(dialogs.questions, (QStringList{"Odebrat test „SCC-02“?", "Odebrat test „SCC-02“?"}));
    ASSERT_EQ(f.PageControl1->count(), 5);
    ASSERT_EQ(f.records().size(), 5u);
    EXPECT_EQ(f.PageControl1->tabText(1), "SCC-03");
    EXPECT_EQ(f.records()[1].teplota->text(), "upraveno");
    EXPECT_EQ(nextTab(f.records()[0].count(13, 4)), f.records()[1].idStroje);
    // A cancelled "nový test" left an empty sheet: it goes too, and the overall test runs.
    dialogs.files.push_back(std::nullopt);
    f.Button1->click();
    dialogs.answers.push_back(true);
    f.removeSheetClick(5);
    EXPECT_EQ(dialogs.questions.last(), "Odebrat test na 6. záložce?");
    f.Button8->click();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
}

TEST_F(Rounds, SheetSavedAsTheFileItWasLoadedFrom) {
    AppWindows app;
    Form1& f = *app.form1;
    loadExamples(app, 2);
    const QString saved = dir.filePath("saved.dat");
    dialogs.files.push_back(saved);
    f.Button16->click();
    EXPECT_EQ(dialogs.choices, QStringList{"SCC-01.dat|Soubory přístrojů (*.dat)|dat"});
    EXPECT_EQ(readAll(saved), readAll(dir.filePath(examples::instrumentFileName(1))));

    // A sheet the file cannot hold: the error box, and nothing written.
    f.records()[0].idStroje->setText(QString(21, u'x'));
    f.Button16->click();
    EXPECT_EQ(dialogs.errors.value(0),
              QStringLiteral("Text pole „id stroje“ má 21 znaků; soubor přístroje jich pojme nejvýše 20."));
    EXPECT_EQ(readAll(saved), readAll(dir.filePath(examples::instrumentFileName(1))));
}

TEST_F(Rounds, ReferenceValueChangedAfterTheTestLeavesTheResultsOut) {
    AppWindows app;
    Form1& f = *app.form1;
    loadExamples(app);
    f.Button8->click();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    f.referenceFields[9]->setText(f.referenceFields[9]->text() + u'0');
    f.roundInfoWindow()->setRoundName(QStringLiteral("2026/2"));
    f.Button14->click();
    EXPECT_EQ(dialogs.messages,
              QStringList{"Kolo „2026/2“ uloženo do archivu: 6 přístrojů, bez výsledků."});
}

TEST_F(Rounds, ArchiveWindowKeepsTheChosenRoundAndForgetsARemovedOne) {
    Archive archive(defaultArchiveLocation());
    for (const char* name : {"a", "b", "c"}) {
        Round r;
        r.name = QString::fromUtf8(name);
        archive.store(r, IfStored::Refuse);
    }
    AppWindows app;
    ArchiveWindow& w = *app.form1->archiveWindow();
    w.showArchive(defaultArchiveLocation());
    w.table->selectRow(1);
    const QString chosen = w.chosenRound();
    ASSERT_FALSE(chosen.isEmpty());
    w.showArchive(defaultArchiveLocation()); // the list read anew
    EXPECT_EQ(w.chosenRound(), chosen);
    dialogs.answers.push_back(true);
    w.removeButton->click();
    ASSERT_EQ(w.table->rowCount(), 2);
    EXPECT_EQ(w.chosenRound(), QString());
}
