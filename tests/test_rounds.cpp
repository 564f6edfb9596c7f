// Rounds through the main window: stored in the archive and opened again exactly, with or
// without the results of the overall test; sheets removed and saved as instrument files;
// the participants' reports of the summary window, only for the round of the last test.
#include "app/AppWindows.h"
#include "app/Form1.h"
#include "archive/Archive.h"
#include "data/InstrumentFile.h"
#include "examples/ExampleData.h"
#include "overall/OverallRecord.h"
#include "output/Form2.h"
#include "report/ReportCommand.h"
#include "rounds/ArchiveWindow.h"
#include "rounds/RoundInfoWindow.h"

#include <gtest/gtest.h>

#include "support/ReportSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

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

    void loadExamples(AppWindows& app, int n = 6, int first = 1) {
        for (int i = first; i < first + n; ++i) {
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

TEST_F(Rounds, NamesAndRoundsThatAreNotStored) {
    AppWindows app;
    Form1& f = *app.form1;
    f.roundInfoWindow()->setRoundName(QStringLiteral("prázdné"));
    f.Button14->click();
    loadExamples(app);
    for (const QString& bad : {QStringLiteral("a\tb"), QString(101, u'x'), QStringLiteral("  ")}) {
        f.roundInfoWindow()->setRoundName(bad);
        f.Button14->click();
    }
    EXPECT_EQ(
        dialogs.messages,
        (QStringList{"Kolo bez přístrojů nelze uložit.",
                     "Název kola nesmí obsahovat tabulátor, konec řádku ani jiný řídicí znak.",
                     "Název kola smí mít nejvýše 100 znaků."}));
    EXPECT_EQ(dialogs.questions, QStringList{"Název kola:"}); // the blank name is asked for

    // A store shows at once in the open archive window; opening a round ends the report of
    // the test before it.
    f.Button15->click();
    ASSERT_EQ(f.archiveWindow()->table->rowCount(), 0);
    f.Button8->click();
    ASSERT_NE(f.lastOverallTest(), nullptr);
    f.roundInfoWindow()->setRoundName(QStringLiteral("2026/1"));
    f.Button14->click();
    EXPECT_EQ(f.archiveWindow()->table->rowCount(), 1);
    f.archiveWindow()->table->selectRow(0);
    dialogs.answers.push_back(true);
    f.archiveWindow()->openButton->click();
    EXPECT_EQ(f.lastOverallTest(), nullptr);

    // "odstranit" asks first and then shows the list without the round; with nothing
    // chosen, both buttons say so.
    ArchiveWindow& w = *f.archiveWindow();
    w.table->selectRow(0);
    w.removeButton->click(); // "Ne"
    EXPECT_EQ(w.table->rowCount(), 1);
    dialogs.answers.push_back(true);
    w.removeButton->click();
    EXPECT_EQ(
        dialogs.questions.mid(dialogs.questions.size() - 2),
        (QStringList{"Odstranit kolo „2026/1“ z archivu?", "Odstranit kolo „2026/1“ z archivu?"}));
    EXPECT_EQ(w.table->rowCount(), 0);
    EXPECT_FALSE(Archive(defaultArchiveLocation()).contains("2026/1"));
    w.openButton->click();
    w.removeButton->click();
    EXPECT_EQ(dialogs.messages.mid(dialogs.messages.size() - 2),
              (QStringList{"Vyberte v seznamu kolo.", "Vyberte v seznamu kolo."}));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
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
    // The tabs' context menu from the keyboard is the current tab's, wherever the bar's
    // middle is.
    f.PageControl1->setCurrentIndex(0);
    QTimer pick; // takes "odebrat test" once the menu is up
    QObject::connect(&pick, &QTimer::timeout, [&pick] {
        if (QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            pick.stop();
            menu->setActiveAction(menu->actions().constFirst());
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(menu, &enter);
        }
    });
    pick.start(20);
    QTimer::singleShot(5000, [] { // a menu that never shows fails the test, not the suite
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    QTabBar* bar = f.PageControl1->tabBar();
    const QPoint middle = bar->rect().center();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, middle, bar->mapToGlobal(middle));
    QApplication::sendEvent(bar, &key);
    EXPECT_EQ(dialogs.questions.last(), "Odebrat test „SCC-01“?");
    ASSERT_EQ(f.PageControl1->count(), 5); // "Ne"

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
              QStringLiteral(
                  "Text pole „id stroje“ má 21 znaků; soubor přístroje jich pojme nejvýše 20."));
    EXPECT_EQ(readAll(saved), readAll(dir.filePath(examples::instrumentFileName(1))));
}

TEST_F(Rounds, ParticipantReportsOnlyForTheLastTestStoredWithItsResults) {
    AppWindows app;
    Form1& f = *app.form1;
    Form2& form2 = *app.form2;
    EXPECT_EQ(form2.Button4->text(), "zprávy účastníkům");
    EXPECT_EQ(form2.Button3->nextInFocusChain(), form2.Button4);
    const QString noTest = QString::fromUtf8(kNoReportYet);
    const QString storeFirst = QString::fromUtf8(kStoreRoundFirst);
    QDir out(dir.filePath("out"));
    ASSERT_TRUE(out.mkpath("."));
    // A click with the folder chooser answered by `answer`: the messages it gave, and
    // whether it asked.
    auto click = [&](std::optional<QString> answer) {
        dialogs.messages.clear();
        dialogs.files.push_back(answer);
        const qsizetype asked = dialogs.dialogNames.size();
        form2.Button4->click();
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
        const bool chose = dialogs.dialogNames.size() > asked;
        dialogs.files.clear();
        EXPECT_TRUE(!chose || dialogs.dialogNames.last() == "FolderDialog1");
        return std::pair(dialogs.messages, chose);
    };
    auto store = [&](const QString& name) {
        f.roundInfoWindow()->setRoundName(name);
        f.Button14->click();
        EXPECT_TRUE(dialogs.messages.last().endsWith("s výsledky.")) << name.toStdString();
    };

    EXPECT_EQ(click(out.path()), std::pair(QStringList{noTest}, false));
    loadExamples(app, 4, 3); // four instruments, the 3rd to the 6th
    f.Button8->click();
    EXPECT_EQ(click(out.path()), std::pair(QStringList{storeFirst}, false)); // not stored
    store("A");
    EXPECT_EQ(click(std::nullopt), std::pair(QStringList{}, true)); // cancelled
    EXPECT_TRUE(out.isEmpty());
    const auto written = click(out.path());
    EXPECT_TRUE(written.second);
    EXPECT_EQ(written.first,
              QStringList{QStringLiteral("Zprávy účastníkům kola „A“ uloženy do složky „%1“: "
                                         "4 zprávy.")
                              .arg(out.path())});
    EXPECT_EQ(out.entryList(QDir::Files).size(), 4);
    EXPECT_TRUE(out.exists("A – SCC-06.pdf"));

    // A later test stored as "B", then "A" opened: opening ends the last test's reports.
    f.records()[0].count(2, 1)->setText(QStringLiteral("103"));
    f.Button8->click();
    store("B");
    dialogs.answers.push_back(true);
    f.openRound(QStringLiteral("A"));
    EXPECT_EQ(click(out.path()), std::pair(QStringList{noTest}, false));
    // Fields changed after the test and stored: stored without results.
    f.Button8->click();
    f.records()[1].count(2, 1)->setText(QStringLiteral("203"));
    dialogs.answers.push_back(true);
    f.Button14->click();
    EXPECT_EQ(click(out.path()), std::pair(QStringList{storeFirst}, false));
}

TEST_F(Rounds, ProviderReportsNameTheStoredRoundAndTheAnonymousOneOnlyCodes) {
    AppWindows app;
    Form1& f = *app.form1;
    Form2& form2 = *app.form2;
    EXPECT_EQ(form2.Button5->text(), "anonymní zpráva");
    EXPECT_EQ(form2.Button4->nextInFocusChain(), form2.Button5);
    loadExamples(app);
    f.Button8->click();
    auto report = [&](QPushButton* button, const QString& name) {
        dialogs.messages.clear();
        dialogs.files.push_back(dir.filePath(name));
        button->click();
        dialogs.files.clear();
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
        return QFile::exists(dir.filePath(name)) ? testing_support::pdfText(dir.filePath(name))
                                                 : QString();
    };
    // Not stored: the report says so and has no codes; the anonymous one needs the codes.
    EXPECT_TRUE(report(form2.Button3, "a.pdf").contains("kolo neuloženo v archivu"));
    EXPECT_EQ(report(form2.Button5, "b.pdf"), QString());
    EXPECT_EQ(dialogs.messages, QStringList{QString::fromUtf8(kStoreRoundFirst)});

    f.roundInfoWindow()->setRoundName(QStringLiteral("2026/4"));
    f.Button14->click();
    const Round round = Archive(defaultArchiveLocation()).load(QStringLiteral("2026/4"));
    const QString named = report(form2.Button3, "c.pdf");
    const QString anonymous = report(form2.Button5, "d.pdf");
    EXPECT_TRUE(named.contains("kolo 2026/4"));
    EXPECT_TRUE(anonymous.contains("kolo 2026/4"));
    EXPECT_FALSE(anonymous.contains("SCC-"));
    for (const Sheet& sheet : round.sheets) {
        const QString code = QString::number(sheet.participantCode);
        EXPECT_TRUE(named.contains(
            QStringLiteral("Přístroj %1, kód účastníka %2").arg(sheet.instrumentId(), code)));
        EXPECT_TRUE(anonymous.contains(QStringLiteral("Přístroj %1, kód účastníka %1").arg(code)));
    }
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
