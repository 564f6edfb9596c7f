#pragma once
// The main window: every command as a push button, the instrument sheets, the reference
// values, the main output pane and the deviation chart.

#include "archive/ArchiveRecords.h"
#include "data/Errors.h"
#include "data/Sheets.h"
#include "eval/DeviationChart.h"
#include "eval/Workspace.h"

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QTabWidget;

namespace ui {
class ChartView;
}

namespace vel {

class ArchiveWindow;
class Memo;
class RoundInfoWindow;
class Form2;
class Form3;
class Form5;
struct OverallRecord;

class Form1 : public QWidget, public Workspace {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The windows the main window shows; set once at start-up.
    void setCompanions(Form2* summary, Form3* overallCharts, Form5* calibrationCharts);

    QPushButton* Button1;  // "nový test"
    QPushButton* Button2;  // "slepé pokusy"
    QPushButton* Button3;  // "opakovatelnost"
    QPushButton* Button5;  // "vliv přenosu"
    QPushButton* Button6;  // "kontrola linearity"
    QPushButton* Button8;  // "provedení celkového testu"
    QPushButton* Button10; // "provedení testu aktuálního výběru"
    QTabWidget* PageControl1;
    ui::ChartView* Chart1;
    QPushButton* Button11; // "tisk grafu", inside Chart1
    Memo* Memo1;
    QPushButton* Button4; // "otevřít"
    QPushButton* Button7; // "uložit"
    QLabel* Label1;
    QPushButton* Button12; // "tisk zadání"
    QPushButton* Button9;  // "uložení výstupu"
    std::array<QLineEdit*, 10> referenceFields{};
    // Rounds kept in the archive, in the free space below the reference values.
    QPushButton* Button13; // "údaje o kole"
    QPushButton* Button14; // "uložit kolo"
    QPushButton* Button15; // "archiv kol"
    QPushButton* Button16; // "uložit test", below "uložení výstupu"

    // The sheet control records, element i belonging to tab page i.
    const all& records() const { return m_all; }

    // What the last overall test left, for the round report; nullptr when no overall test
    // has run or the last one stopped with an error.
    const OverallRecord* lastOverallTest() const { return m_lastOverall.get(); }

    // Command handlers. They raise errors; the buttons run them through runCommand.
    void FormCreate();
    void Button1Click();  // adds an instrument sheet from OpenDialog1
    void Button2Click();  // blank check
    void Button3Click();  // repeatability
    void Button5Click();  // carry-over
    void Button6Click();  // linearity check
    void Button8Click();  // overall test
    void Button10Click(); // batch evaluation of the current sheet
    void Button11Click(); // prints the deviation chart
    void Button4Click();  // loads the reference values from OpenDialog2
    void Button7Click();  // saves the reference values through SaveDialog1
    void Button9Click();  // saves Memo1 through SaveDialog2
    void Button12Click(); // input table export
    void Button13Click(); // shows the round information window
    void Button14Click(); // stores the round in the archive
    void Button15Click(); // shows the archive window
    void Button16Click(); // saves the current sheet as an instrument file through SaveDialog3
    // "odebrat test" of a tab's context menu: removes that sheet after asking.
    void removeSheetClick(int index);
    // "otevřít" of the archive window: the round's sheets, reference values and information
    // in place of those shown, after asking when sheets are present.
    void openRound(const QString& name);

    // The round as the window holds it: information, reference texts, sheets and codes, with
    // the results of the last overall test when it ran on exactly these texts.
    Round currentRound() const;
    // The round stored in the archive under the round information's name, when it holds the
    // texts and results of the last successful overall test (so that its codes and round
    // information belong to that test); nullopt otherwise.
    std::optional<Round> storedRoundOfLastTest() const;
    RoundInfoWindow* roundInfoWindow() const { return m_roundInfo; }
    ArchiveWindow* archiveWindow() const { return m_archiveWindow; }

    // Workspace
    int sheetCount() const override;
    int currentSheet() const override;
    void setCurrentSheet(int index) override;
    QString countText(int r, int c) const override;
    QString tabCaption() const override;
    void setCountYellow(int r, int c, bool yellow) override;
    QString idTextOf(int sheet) const override;
    QString testDateOf(int sheet) const override;
    void setTestVerdict(int sheet, const QString& verdict) override;
    void setCalibrationVerdict(int sheet, const QString& verdict) override;
    QString referenceText(int k) const override;
    TextPane& mainPane() override;
    TextPane& summaryPane() override;
    DeviationChart& deviationChart() override { return m_deviation; }
    void chartsChanged() override;
    void showSummaryWindow() override;
    void showOverallChartWindow() override;
    void showCalibrationWindow() override;
    void showMessage(const QString& text) override;

    // After the error box of a command: a field whose text did not convert gets the focus
    // with its text selected, so the operator sees which of the 62 fields it is.
    void commandFailed(const AppError& error);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // "nový test" with the file that chooseFile gives (nullopt: an empty sheet).
    void addSheet(const std::function<std::optional<QString>()>& chooseFile);
    // One sheet per file in the order given; the first file that fails stops the rest.
    void addDroppedSheets(const QStringList& files);
    // Shows "Není načten žádný přístroj." and answers false when no sheet exists.
    bool haveSheet();
    const mereni& current() const;
    // Makes the sheet chosen by setCurrentSheet the visible page.
    void showCurrentSheet();
    // The last sheet's fields into the tab order, after those of the sheet before it.
    void placeLastSheetInTabOrder();
    // A sheet with these texts, caption and code after the others.
    void addSheetOf(const Sheet& sheet);
    void removeSheet(int index);
    // The context menu of tab `index` of the tab bar, at a point of the screen.
    void tabMenu(int index, const QPoint& globalPos);

    all m_all;
    int m_pendingCurrent = -1; // sheet made current but not yet shown, or -1
    mutable QPointer<QLineEdit> m_lastRead; // the field whose text was handed out last
    DeviationChart m_deviation;
    Form2* m_form2 = nullptr;
    Form3* m_form3 = nullptr;
    Form5* m_form5 = nullptr;
    std::unique_ptr<OverallRecord> m_lastOverall;
    // The texts and results of the last overall test, or of the round last opened.
    std::optional<Round> m_resultsRound;
    // The texts of the last successful overall test, the one m_lastOverall comes from.
    std::optional<Round> m_lastOverallRound;
    RoundInfoWindow* m_roundInfo = nullptr;
    ArchiveWindow* m_archiveWindow = nullptr;
};

} // namespace vel
