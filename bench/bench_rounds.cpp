// Rounds through the main window: storing a round of 100 instruments with the results of its
// overall test ("uložit kolo") and opening it into another main window ("otevřít" of the
// archive window), offscreen, on a new archive in a temporary folder.
// Run: build/bench/bench_rounds
#include "app/AppWindows.h"
#include "app/Form1.h"
#include "archive/ArchiveLocation.h"
#include "data/FileIo.h"
#include "data/InstrumentFile.h"
#include "examples/ExampleData.h"
#include "rounds/RoundInfoWindow.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Answers every question with "Ano" and the file dialogs from a list.
class BenchDialogs : public ui::Dialogs {
public:
    QStringList files;
    void message(QWidget*, const QString&) override {}
    void error(QWidget*, const QString& text) override {
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
    }
    std::optional<QString> openFile(QWidget*, const QString&) override {
        return files.isEmpty() ? std::nullopt : std::optional<QString>(files.takeFirst());
    }
    std::optional<QString> saveFile(QWidget* w, const QString& n) override {
        return openFile(w, n);
    }
    std::optional<QString> saveFile(QWidget* w, const QString& n, const ui::SaveChoice&) override {
        return openFile(w, n);
    }
    std::optional<QString> chooseFolder(QWidget* w, const QString& n) override {
        return openFile(w, n);
    }
    void print(const QString&, QSize, const ui::PagePainter&) override {}
    void openInViewer(const QString&) override {}
    bool ask(QWidget*, const QString&) override { return true; }
    std::optional<QString> askText(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
};

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    vel::setupApplicationFont();
    QTemporaryDir dir;
    const QString archive = dir.filePath("archiv.sqlite");
    qputenv("VELIMOR_ARCHIVE", archive.toUtf8());
    BenchDialogs dialogs;
    ui::setDialogs(&dialogs);

    // 100 instruments: the six example patterns again and again under their own names.
    const auto records = examples::instruments();
    for (int i = 0; i < 100; ++i) {
        vel::InstrumentRecord rec = records[size_t(i % 6)];
        rec.id = QStringLiteral("BENCH-%1").arg(i + 1);
        rec.counts[vel::countIndex(2, 1)] += i / 6; // every instrument a little different
        const QString file = dir.filePath(QStringLiteral("i%1.dat").arg(i));
        vel::writeWholeFile(file, vel::encodeInstrumentRecord(rec), vel::WriteErrors::Io);
        dialogs.files << file;
    }
    double store = 0, open = 0;
    {
        vel::AppWindows app;
        while (!dialogs.files.isEmpty())
            app.form1->Button1Click();
        const auto refs = examples::referenceValues();
        for (int k = 0; k < 10; ++k)
            app.form1->referenceFields[k]->setText(QString::number(refs[k]));
        app.form1->Button8Click();
        app.form1->roundInfoWindow()->setRoundName(QStringLiteral("2026/2"));
        QElapsedTimer t;
        t.start();
        app.form1->Button14Click();
        store = ms(t);
    }
    {
        vel::AppWindows app;
        app.form1->show();
        QElapsedTimer t;
        t.start();
        app.form1->openRound(QStringLiteral("2026/2"));
        QCoreApplication::processEvents();
        app.form1->grab(); // the first sheet painted
        open = ms(t);
        if (app.form1->records().size() != 100)
            std::fprintf(stderr, "opened %zu sheets\n", app.form1->records().size());
    }
    std::printf("A round of 100 instruments with results, through the main window (offscreen):\n"
                "  \"uložit kolo\" into a new archive  %8.1f ms\n"
                "  opened into a new main window    %8.1f ms\n"
                "  archive file                     %8.1f KB\n",
                store, open, QFileInfo(archive).size() / 1024.0);
    ui::setDialogs(nullptr);
    return 0;
}
