// The main window as the evaluations see it: the sheets' fields as texts, the reference
// values, the panes, the charts and the windows it shows.

#include "app/Form1.h"

#include "output/Form2.h"
#include "output/Memo.h"
#include "overall/Form3.h"
#include "overall/Form5.h"
#include "ui/ChartView.h"
#include "ui/Dialogs.h"
#include "ui/Widgets.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTabWidget>

namespace vel {

namespace {
// Shows a modeless window, or brings it to the front when it is already open.
void bringUp(QWidget* window) {
    if (!window)
        return;
    const bool wasOpen = window->isVisible();
    window->show();
    if (wasOpen && QGuiApplication::platformName() != QLatin1String("offscreen"))
        window->raise();
}
} // namespace

int Form1::sheetCount() const {
    return int(m_all.size());
}

int Form1::currentSheet() const {
    if (m_all.empty())
        return -1;
    return m_pendingCurrent >= 0 ? m_pendingCurrent : PageControl1->currentIndex();
}

void Form1::setCurrentSheet(int index) {
    // The page control lays out every page whenever its active page changes, which makes
    // a run over all sheets quadratic. The overall test switches sheets twice per
    // instrument without waiting for the user, so the visible page follows when the
    // command returns to the event loop.
    if (m_pendingCurrent < 0)
        QMetaObject::invokeMethod(this, &Form1::showCurrentSheet, Qt::QueuedConnection);
    m_pendingCurrent = index;
}

QString Form1::countText(int r, int c) const {
    m_lastRead = current().count(r, c);
    return m_lastRead->text();
}

QString Form1::tabCaption() const {
    return ui::tabCaption(PageControl1, currentSheet());
}

void Form1::setCountYellow(int r, int c, bool yellow) {
    QLineEdit* e = current().count(r, c);
    QPalette pal = e->palette();
    pal.setColor(QPalette::Base, yellow ? QColor(255, 255, 0) : QColor(255, 255, 255));
    e->setPalette(pal);
}

QString Form1::idTextOf(int sheet) const {
    return m_all.at(sheet).idStroje->text();
}

QString Form1::testDateOf(int sheet) const {
    return m_all.at(sheet).datumTestu->text();
}

void Form1::setTestVerdict(int sheet, const QString& verdict) {
    m_all.at(sheet).testVerdict = verdict;
}

void Form1::setCalibrationVerdict(int sheet, const QString& verdict) {
    m_all.at(sheet).calibrationVerdict = verdict;
}

QString Form1::referenceText(int k) const {
    m_lastRead = referenceFields.at(k - 1);
    return m_lastRead->text();
}

TextPane& Form1::mainPane() {
    return Memo1->pane();
}

TextPane& Form1::summaryPane() {
    return m_form2->Memo1->pane();
}

void Form1::commandFailed(const AppError& error) {
    // Every conversion converts the text it has just been handed, so the field read last
    // is the one that failed. A count field lies on the current sheet, whose page may not
    // be shown yet.
    if (!error.isConversion() || !m_lastRead)
        return;
    showCurrentSheet();
    m_lastRead->setFocus(Qt::OtherFocusReason);
    m_lastRead->selectAll();
}

void Form1::showMessage(const QString& text) {
    ui::dialogs().message(this, text);
}

void Form1::chartsChanged() {
    Chart1->update();
    if (m_form3)
        m_form3->update();
    if (m_form5)
        m_form5->update();
}

void Form1::showSummaryWindow() {
    bringUp(m_form2);
}

void Form1::showOverallChartWindow() {
    bringUp(m_form3);
}

void Form1::showCalibrationWindow() {
    bringUp(m_form5);
}

} // namespace vel
