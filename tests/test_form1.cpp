// The main window through its buttons, offscreen, with scripted dialogs.
#include "app/AppWindows.h"
#include "app/Form1.h"
#include "data/InstrumentFile.h"
#include "examples/ExampleData.h"
#include "output/Form2.h"
#include "output/Memo.h"
#include "overall/Form3.h"
#include "overall/Form5.h"
#include "ui/ScreenFit.h"
#include "ui/Widgets.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <cerrno>
#include <limits>

using namespace vel;
using testing_support::readAll;
using testing_support::ScriptedDialogs;
using testing_support::writeAll;

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { examples::writeExamples(dir.path()); }

    QString example(int i) { return dir.filePath(examples::instrumentFileName(i)); }
    void load(const std::optional<QString>& file) {
        dialogs.files.push_back(file);
        app.form1->Button1->click();
    }
    // The next widget that the Tab key reaches.
    static QWidget* nextTab(QWidget* w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    }
    // The widget that Shift+Tab reaches.
    static QWidget* previousTab(QWidget* w) {
        do
            w = w->previousInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    }
    QString count(int sheet, int r, int c) {
        return app.form1->records().at(sheet).count(r, c)->text();
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    AppWindows app;
};

} // namespace

TEST_F(MainWindow, StartsEmptyWithItsControlsInPlace) {
    Form1& f = *app.form1;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Velimor 2008 & Orbalyx 1.0"));
    EXPECT_EQ(f.size(), QSize(990, 684));
    EXPECT_EQ(f.PageControl1->count(), 0);
    EXPECT_EQ(f.Memo1->pane().lines(), QStringList{QString()});
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(f.referenceFields[k]->text(), "0");
        EXPECT_EQ(f.referenceFields[k]->geometry(), QRect(850, 160 + 23 * k, 50, 20));
        EXPECT_EQ(f.referenceFields[k]->accessibleName(),
                  QStringLiteral("referenční hodnota %1").arg(k + 1));
    }
    EXPECT_FALSE(app.form2->isVisible());
    EXPECT_FALSE(app.form3->isVisible());
    EXPECT_FALSE(app.form5->isVisible());
    EXPECT_EQ(app.form2->windowTitle(), QStringLiteral("Souhrnné výsledky testů."));
    EXPECT_EQ(app.form2->size(), QSize(915, 530));

    struct Expect {
        const char* name;
        const char* caption;
        QRect geometry;
    };
    const Expect buttons[] = {
        {"Button1", "nový test", {24, 24, 75, 25}},
        {"Button2", "slepé pokusy", {152, 24, 75, 25}},
        {"Button3", "opakovatelnost", {248, 24, 89, 25}},
        {"Button5", "vliv přenosu", {360, 24, 97, 25}},
        {"Button6", "kontrola linearity", {480, 24, 97, 25}},
        {"Button8", "provedení celkového testu", {600, 24, 145, 25}},
        {"Button10", "provedení testu aktuálního výběru", {768, 24, 177, 25}},
        {"Button11", "tisk grafu", {360, 216, 75, 25}},
        {"Button4", "otevřít", {856, 80, 75, 25}},
        {"Button7", "uložit", {856, 104, 75, 25}},
        {"Button12", "tisk zadání", {856, 488, 89, 25}},
        {"Button9", "uložení výstupu", {856, 520, 89, 25}},
    };
    for (const Expect& e : buttons) {
        auto* b = f.findChild<QPushButton*>(e.name);
        ASSERT_NE(b, nullptr) << e.name;
        EXPECT_EQ(b->text(), QString::fromUtf8(e.caption));
        EXPECT_EQ(b->geometry(), e.geometry) << e.name;
    }
    EXPECT_EQ(f.findChild<QWidget*>("PageControl1")->geometry(), QRect(8, 64, 833, 449));
    EXPECT_EQ(f.findChild<QWidget*>("Chart1")->geometry(), QRect(384, 248, 449, 257));
    EXPECT_EQ(f.findChild<QWidget*>("Memo1")->geometry(), QRect(8, 520, 833, 129));
    EXPECT_EQ(f.findChild<QLabel*>("Label1")->text(), QStringLiteral("Referenční hodnoty testu"));

    // Tab order: the buttons in the order of the window, the reference fields last.
    EXPECT_EQ(nextTab(f.Button12), f.referenceFields[0]);
    EXPECT_EQ(nextTab(f.Button1), f.Button2);
    EXPECT_EQ(nextTab(f.Button6), static_cast<QWidget*>(f.Memo1));
    EXPECT_EQ(nextTab(f.Button7), f.Button8);
}

TEST_F(MainWindow, NewTestLoadsASheet) {
    load(example(1));
    load(example(2));
    Form1& f = *app.form1;
    ASSERT_EQ(f.PageControl1->count(), 2);
    EXPECT_EQ(dialogs.dialogNames, (QStringList{"OpenDialog1", "OpenDialog1"}));
    EXPECT_EQ(f.PageControl1->tabText(0), "SCC-01");
    EXPECT_EQ(f.PageControl1->tabText(1), "SCC-02");
    EXPECT_EQ(f.PageControl1->currentIndex(), 0); // the first stays current
    const mereni& r = f.records().at(0);
    EXPECT_EQ(r.idStroje->text(), "SCC-01");
    EXPECT_EQ(r.teplota->text(), QStringLiteral("40 °C"));
    EXPECT_EQ(r.datumTestu->text(), "03.12.2026");
    EXPECT_EQ(count(0, 2, 1), "102");
    EXPECT_EQ(count(0, 2, 2), "98");
    EXPECT_EQ(count(0, 1, 2), "1");
    EXPECT_EQ(count(1, 11, 1), "1004");
    EXPECT_EQ(r.count(3, 2)->geometry(), QRect(210, 96, 50, 20));
    EXPECT_EQ(r.count(13, 4)->geometry(), QRect(320, 326, 50, 20));
    EXPECT_EQ(r.idStroje->geometry().topLeft(), QPoint(650, 50));
    EXPECT_EQ(r.casMereni->geometry().topLeft(), QPoint(650, 130));
    EXPECT_EQ(r.count(3, 2)->accessibleName(), QStringLiteral("vzorek 2, náběr 2"));
    // Tab order inside a sheet: header fields top to bottom, then the counts row by row.
    EXPECT_EQ(nextTab(r.idStroje), r.datumTestu);
    EXPECT_EQ(nextTab(r.casMereni), r.count(1, 1));
    EXPECT_EQ(nextTab(r.count(1, 4)), r.count(2, 1));
    // The sheet comes right after the page control, before the buttons.
    EXPECT_EQ(nextTab(r.count(13, 4)), f.records().at(1).idStroje);
    EXPECT_EQ(nextTab(f.records().at(1).count(13, 4)), f.Button1);
    // The round commands follow the reference values; then the order starts again.
    EXPECT_EQ(nextTab(f.referenceFields[9]), f.Button13);
    EXPECT_EQ(nextTab(f.Button16), f.PageControl1);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(MainWindow, CancelledNewTestGivesAnEmptySheet) {
    load(std::nullopt);
    Form1& f = *app.form1;
    ASSERT_EQ(f.PageControl1->count(), 1);
    EXPECT_EQ(f.PageControl1->tabText(0), "");
    EXPECT_EQ(count(0, 7, 3), "0");
    EXPECT_EQ(f.records().at(0).idStroje->text(), "");
}

TEST_F(MainWindow, FailedReadLeavesNoHalfBuiltSheet) {
    load(example(1));
    load(example(2));
    app.form1->PageControl1->setCurrentIndex(1);
    writeAll(dir.filePath("short.dat"), QByteArray(295, 0));
    load(dir.filePath("short.dat"));
    load(dir.filePath("nothing.dat"));
    load(dir.path());
    EXPECT_EQ(dialogs.errors,
              (QStringList{"Read beyond end of file.", "File not found.", "File access denied."}));
    EXPECT_EQ(app.form1->PageControl1->count(), 2);
    EXPECT_EQ(app.form1->records().size(), 2u);
    EXPECT_EQ(app.form1->PageControl1->currentIndex(), 1);
    load(example(3)); // numbering goes on from the pages that exist
    EXPECT_EQ(app.form1->PageControl1->tabText(2), "SCC-03");
}

TEST_F(MainWindow, TabOrderRunsThroughTheSheetsInTurn) {
    // Each new sheet goes after the last one, also after a failed read and a cancelled
    // dialog; Tab and Shift+Tab then pass through every field once, sheet by sheet.
    load(example(1));
    load(example(2));
    load(dir.filePath("nothing.dat"));
    load(example(3));
    load(std::nullopt);
    Form1& f = *app.form1;
    ASSERT_EQ(f.records().size(), 4u);
    QList<QWidget*> expected;
    for (const mereni& r : f.records()) {
        expected << r.idStroje << r.datumTestu << r.datumPrijeti << r.teplota << r.casMereni;
        for (int row = 1; row <= 13; ++row)
            for (int c = 1; c <= 4; ++c)
                expected << r.count(row, c);
    }
    expected << f.Button1;
    QList<QWidget*> forward{expected.front()};
    while (forward.size() < expected.size())
        forward << nextTab(forward.back());
    EXPECT_EQ(forward, expected);
    QList<QWidget*> backward{expected.back()};
    while (backward.size() < expected.size())
        backward.prepend(previousTab(backward.front()));
    EXPECT_EQ(backward, expected);
}

TEST_F(MainWindow, NegativeCountsAndOddTexts) {
    InstrumentRecord rec;
    rec.count(1, 1) = -1;
    rec.count(2, 1) = std::numeric_limits<std::int32_t>::min();
    rec.id = QString(20, u'ž');
    writeAll(dir.filePath("odd.dat"), encodeInstrumentRecord(rec));
    load(dir.filePath("odd.dat"));
    EXPECT_EQ(count(0, 1, 1), "-1");
    EXPECT_EQ(count(0, 2, 1), "-2147483648");
    EXPECT_EQ(app.form1->PageControl1->tabText(0), QString(20, u'ž'));

    // An "&" is shown as it stands and marks no keyboard shortcut.
    rec.id = QStringLiteral("P&L &&x");
    writeAll(dir.filePath("amp.dat"), encodeInstrumentRecord(rec));
    load(dir.filePath("amp.dat"));
    QTabWidget* tabs = app.form1->PageControl1;
    EXPECT_EQ(ui::tabCaption(tabs, 1), rec.id);
    EXPECT_TRUE(QKeySequence::mnemonic(tabs->tabText(1)).isEmpty());
    tabs->setCurrentIndex(1);
    EXPECT_EQ(app.form1->tabCaption(), rec.id);
}

TEST_F(MainWindow, ReferenceValuesSaveAndLoad) {
    Form1& f = *app.form1;
    const QString zeros = dir.filePath("zeros.ref");
    dialogs.files.push_back(zeros);
    f.Button7->click();
    EXPECT_EQ(readAll(zeros), QByteArray(40, 0));
    EXPECT_EQ(dialogs.dialogNames.last(), "SaveDialog1");

    dialogs.files.push_back(dir.filePath(examples::referenceFileName()));
    f.Button4->click();
    EXPECT_EQ(dialogs.dialogNames.last(), "OpenDialog2");
    EXPECT_EQ(f.referenceFields[0]->text(), "100");
    EXPECT_EQ(f.referenceFields[9]->text(), "1000");

    f.referenceFields[3]->setText("-5");
    const QString saved = dir.filePath("saved.ref");
    dialogs.files.push_back(saved);
    f.Button7->click();
    QByteArray bytes = readAll(saved);
    ASSERT_EQ(bytes.size(), 40);
    EXPECT_EQ(bytes.mid(0, 4), QByteArray("\x64\0\0\0", 4));
    EXPECT_EQ(bytes.mid(12, 4), QByteArray("\xFB\xFF\xFF\xFF", 4));
    EXPECT_EQ(bytes.mid(36, 4), QByteArray("\xE8\x03\0\0", 4));

    // A field that does not convert leaves an existing file untouched.
    f.referenceFields[4]->setText("12,5");
    f.referenceFields[6]->setText("abc");
    dialogs.files.push_back(saved);
    f.Button7->click();
    EXPECT_EQ(dialogs.errors.last(), "'12,5' is not a valid integer value.");
    EXPECT_EQ(readAll(saved), bytes);

    // Short files change no field; longer ones load their first 40 bytes.
    writeAll(dir.filePath("39.ref"), QByteArray(39, 1));
    dialogs.files.push_back(dir.filePath("39.ref"));
    f.Button4->click();
    EXPECT_EQ(dialogs.errors.last(), "Read beyond end of file.");
    EXPECT_EQ(f.referenceFields[4]->text(), "12,5");
    writeAll(dir.filePath("41.ref"), bytes + "\x07");
    dialogs.files.push_back(dir.filePath("41.ref"));
    f.Button4->click();
    EXPECT_EQ(f.referenceFields[3]->text(), "-5");
    EXPECT_EQ(f.referenceFields[4]->text(), "500");

    // Cancelling either dialog changes nothing.
    dialogs.files.push_back(std::nullopt);
    f.Button4->click();
    dialogs.files.push_back(std::nullopt);
    f.Button7->click();
    EXPECT_EQ(dialogs.errors.size(), 2);
}

TEST_F(MainWindow, SavingThePanes) {
    Form1& f = *app.form1;
    const QString main = dir.filePath("main.txt");
    dialogs.files.push_back(main);
    f.Button9->click();
    EXPECT_EQ(readAll(main), "\r\n");
    EXPECT_EQ(dialogs.dialogNames.last(), "SaveDialog2");

    f.Memo1->pane().clear();
    f.Memo1->pane().add(QStringLiteral("Vliv přenosu je: 2 %"));
    QApplication::processEvents();
    EXPECT_EQ(f.Memo1->toPlainText(), QStringLiteral("Vliv přenosu je: 2 %"));
    // A user's edit keeps what the pane held, a non-breaking space from a file included.
    f.Memo1->pane().add(QStringLiteral("SCC\u00A001"));
    QApplication::processEvents();
    f.Memo1->appendPlainText(QStringLiteral("ruční poznámka ě"));
    dialogs.files.push_back(main);
    f.Button9->click();
    EXPECT_EQ(readAll(main), QByteArray("Vliv p\xF8\x65nosu je: 2 %\r\nSCC\xA0"
                                        "01\r\nru\xE8n\xED pozn\xE1mka \xEC\r\n"));

    dialogs.files.push_back(QStringLiteral("/dev/full"));
    f.Button9->click();
    EXPECT_EQ(dialogs.errors.last(), "Stream write error.");
    dialogs.files.push_back(dir.filePath("no/such.txt"));
    f.Button9->click();
    EXPECT_EQ(dialogs.errors.last(),
              QStringLiteral("Cannot create file \"%1\". %2.")
                  .arg(dir.filePath("no/such.txt"), testing_support::systemText(ENOENT)));

    const QString summary = dir.filePath("summary.txt");
    app.form2->Memo1->pane().clear();
    dialogs.files.push_back(summary);
    app.form2->Button1->click();
    EXPECT_EQ(dialogs.dialogNames.last(), "SaveDialog1");
    EXPECT_EQ(readAll(summary), "");
    app.form2->show();
    app.form2->Button2->click();
    EXPECT_FALSE(app.form2->isVisible());
}

TEST_F(MainWindow, InputTableExport) {
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    app.form1->Button12->click();
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Není načten žádný přístroj.")});
    EXPECT_FALSE(QFile::exists("output.html"));

    load(example(1));
    load(example(2));
    const mereni& r = app.form1->records().at(0);
    r.count(1, 1)->setText("5");
    r.count(1, 2)->setText("6");
    r.count(1, 3)->setText("7");
    r.count(1, 4)->setText("8");
    r.count(5, 2)->setText("neměřeno");
    r.idStroje->setText(QStringLiteral("<script>&\""));
    app.form1->Button12->click();
    QByteArray bytes = readAll("output.html");
    QDir::setCurrent(before);

    EXPECT_TRUE(bytes.endsWith("</html>\r\n"));
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    ASSERT_EQ(lines.size(), 201);
    for (QByteArray& l : lines) {
        ASSERT_TRUE(l.endsWith('\r'));
        l.chop(1);
    }
    EXPECT_EQ(lines[0], "<html>");
    EXPECT_EQ(lines[1], "Nam\xEC\xF8\x65n\xE1 data pro p\xF8\xEDstroj: &lt;script&gt;&amp;&quot;");
    EXPECT_EQ(lines[3], "<tr><td></td><td>n\xE1\x62\xECr 1</td><td>n\xE1\x62\xECr 2</td><td>n\xE1"
                        "\x62\xECr 3</td><td>n\xE1\x62\xECr 4</td></tr>");
    const QList<QByteArray> firstRow = {"<tr>",  "<td><b>w</b></td>",
                                        "<td>",  "5",
                                        "</td>", "<td>",
                                        "6",     "</td>",
                                        "<td>",  "7",
                                        "</td>", "<td>",
                                        "8",     "</td>",
                                        "</tr>"};
    EXPECT_EQ(lines.mid(4, 15), firstRow);
    EXPECT_EQ(lines[4 + 15 * 4 + 1], "<td><b>4</b></td>");
    EXPECT_EQ(lines[4 + 15 * 4 + 6], "nem\xEC\xF8\x65no");
    EXPECT_EQ(lines[4 + 15 * 10 + 1], "<td><b>10</b></td>");
    EXPECT_EQ(lines[4 + 15 * 11 + 1], "<td><b>w</b></td>");
    EXPECT_EQ(lines[4 + 15 * 12 + 1], "<td><b>w</b></td>");
    EXPECT_EQ(lines[199], "</table>");
    EXPECT_EQ(dialogs.opened, QStringList{QDir(dir.path()).filePath("output.html")});
}

// After the error box the field that did not convert has the focus, its text selected;
// the message and the current sheet stay as they are.
TEST_F(MainWindow, FailedConversionPointsAtItsField) {
    Form1& f = *app.form1;
    f.show();
    load(example(1));
    load(example(2));
    dialogs.files.push_back(dir.filePath(examples::referenceFileName()));
    f.Button4->click();
    QLineEdit* count = f.records().at(1).count(4, 2);
    count->setText(QStringLiteral("abc"));
    f.Button8->click(); // the overall test reaches the second sheet and makes it current
    EXPECT_EQ(dialogs.errors, QStringList{"'abc' is not a valid integer value."});
    QApplication::processEvents();
    EXPECT_EQ(f.PageControl1->currentIndex(), 1);
    EXPECT_EQ(f.focusWidget(), count);
    EXPECT_EQ(count->selectedText(), "abc");

    count->setText(QStringLiteral("300"));
    f.referenceFields[6]->setText(QStringLiteral("7x"));
    f.Button6->click(); // linearity of the current sheet
    EXPECT_EQ(dialogs.errors.last(), "'7x' is not a valid integer value.");
    EXPECT_EQ(f.focusWidget(), f.referenceFields[6]);
    EXPECT_EQ(f.referenceFields[6]->selectedText(), "7x");

    // Other errors leave the focus where it is.
    f.referenceFields[6]->setText(QStringLiteral("700"));
    f.Button1->setFocus();
    dialogs.files.push_back(dir.filePath("missing.dat"));
    f.Button1->click();
    EXPECT_EQ(dialogs.errors.last(), "File not found.");
    EXPECT_EQ(f.focusWidget(), f.Button1);
}

// Files dropped onto the window, or onto one of its fields, add one sheet each in their
// order, as "nový test" would; the first that fails stops the drop with its error box.
TEST_F(MainWindow, DroppedFilesAddSheetsInTheirOrder) {
    Form1& f = *app.form1;
    auto drop = [](QWidget* target, const QStringList& files) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& file : files)
            urls << QUrl::fromLocalFile(file);
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QApplication::processEvents();
    };
    drop(&f, {example(3), example(1)});
    ASSERT_EQ(f.PageControl1->count(), 2);
    EXPECT_EQ(f.PageControl1->tabText(0), "SCC-03");
    EXPECT_EQ(f.PageControl1->tabText(1), "SCC-01");
    EXPECT_TRUE(dialogs.dialogNames.isEmpty());

    writeAll(dir.filePath("short.dat"), QByteArray(295, 0));
    drop(f.records().at(0).count(2, 1), {example(2), dir.filePath("short.dat"), example(4)});
    EXPECT_EQ(dialogs.errors, QStringList{"Read beyond end of file."});
    ASSERT_EQ(f.PageControl1->count(), 3);
    EXPECT_EQ(f.records().size(), 3u);
    EXPECT_EQ(f.PageControl1->tabText(2), "SCC-02");
    EXPECT_EQ(count(2, 2, 1), "104"); // sample 1 of SCC-02: 100 + 4
}

TEST_F(MainWindow, CommandsWithoutASheetSayNoInstrumentIsLoaded) {
    Form1& f = *app.form1;
    f.Memo1->pane().add("kept");
    for (QPushButton* b : {f.Button2, f.Button3, f.Button5, f.Button6, f.Button10})
        b->click();
    EXPECT_EQ(dialogs.messages.size(), 5);
    EXPECT_EQ(dialogs.messages.first(), QStringLiteral("Není načten žádný přístroj."));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(f.Memo1->pane().lines(), (QStringList{"", "kept"}));
    EXPECT_FALSE(app.form2->isVisible());
}

// Text from a field or a file in a box is plain text: "<b>" and "&lt;" are shown as typed.
TEST(Boxes, ShowMarkupAsPlainText) {
    const QString text = QStringLiteral("'<b>5&lt;' is not a valid integer value.");
    ui::QtDialogs qt;
    for (bool error : {true, false}) {
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    shown = box->text();
                    format = box->textFormat();
                    box->accept();
                }
        });
        error ? qt.error(nullptr, text) : qt.message(nullptr, text);
        EXPECT_EQ(shown, text);
        EXPECT_EQ(format, Qt::PlainText);
    }
}

// A window wider than the screen moves and shrinks into it and its contents scroll: every
// control stays reachable, in the keyboard order it had.
TEST(ScreenFit, WindowTooLargeForTheScreenScrolls) {
    QWidget window;
    window.resize(1416, 712);
    window.move(255, 305);
    auto* save = new QPushButton(QStringLiteral("uložit"), &window);
    save->setGeometry(544, 655, 75, 25);
    auto* close = new QPushButton(QStringLiteral("zavřít"), &window);
    close->setGeometry(720, 655, 75, 25);
    auto* arrange = new QPushButton(QStringLiteral("uspořádat"), &window);
    arrange->setGeometry(1330, 656, 75, 25);
    QWidget::setTabOrder(save, arrange); // not the order of creation
    auto tabStops = [&window] {
        std::vector<QWidget*> stops;
        for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus)
                stops.push_back(w);
        return stops;
    };
    ASSERT_EQ(tabStops(), (std::vector<QWidget*>{save, arrange, close}));

    const QRect screen(0, 0, 1366, 768);
    ui::fitToScreen(&window, screen);
    EXPECT_TRUE(screen.contains(window.geometry())) << window.geometry().width();
    EXPECT_EQ(window.height(), 712); // the height fits and stays
    EXPECT_EQ(arrange->geometry(), QRect(1330, 656, 75, 25));
    EXPECT_EQ(tabStops(), (std::vector<QWidget*>{save, arrange, close}));
    window.show();
    auto* area = window.findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    area->ensureWidgetVisible(arrange);
    EXPECT_TRUE(window.rect().contains(QRect(arrange->mapTo(&window, QPoint()), arrange->size())));
}
