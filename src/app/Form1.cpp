#include "app/Form1.h"

#include "data/Conversion.h"
#include "data/Errors.h"
#include "data/FileNames.h"
#include "data/ReferenceFile.h"
#include "eval/Evaluations.h"
#include "output/Form2.h"
#include "output/InputTable.h"
#include "output/Memo.h"
#include "output/PaneSave.h"
#include "overall/Form3.h"
#include "overall/Form5.h"
#include "overall/OverallEvaluation.h"
#include "overall/OverallRecord.h"
#include "report/RoundResults.h"
#include "rounds/ArchiveWindow.h"
#include "rounds/RoundInfoWindow.h"
#include "ui/ChartView.h"
#include "ui/Command.h"
#include "ui/Dialogs.h"
#include "ui/ScreenFit.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>

namespace vel {

namespace {
const QString kNoSheet = QStringLiteral("Není načten žádný přístroj.");

// The local files of a drop, in the order given; empty unless every item is a local file.
QStringList localFiles(const QMimeData* mime) {
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile())
            return {};
        // The name's bytes as the URL carries them: they need not be UTF-8.
        files << fileNameFromNative(
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    }
    return files;
}
} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velimor 2008 & Orbalyx 1.0"));
    resize(990, 684);
    ui::centerOnScreen(this);

    Button1 = ui::makeButton(this, "Button1", "nový test", 24, 24, 75);
    Button2 = ui::makeButton(this, "Button2", "slepé pokusy", 152, 24, 75);
    Button3 = ui::makeButton(this, "Button3", "opakovatelnost", 248, 24, 89);
    Button5 = ui::makeButton(this, "Button5", "vliv přenosu", 360, 24, 97);
    Button6 = ui::makeButton(this, "Button6", "kontrola linearity", 480, 24, 97);
    Button8 = ui::makeButton(this, "Button8", "provedení celkového testu", 600, 24, 145);
    Button10 = ui::makeButton(this, "Button10", "provedení testu aktuálního výběru", 768, 24, 177);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 64, 833, 449);

    Chart1 = new ui::ChartView(m_deviation, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setAccessibleName(QStringLiteral("graf odchylek"));
    Chart1->setGeometry(QRect(QPoint(384, 248), kDeviationChartSize));
    Button11 = ui::makeButton(Chart1, "Button11", "tisk grafu", 360, 216, 75);

    Memo1 = new Memo(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("výstup"));
    Memo1->setGeometry(8, 520, 833, 129);

    Button4 = ui::makeButton(this, "Button4", "otevřít", 856, 80, 75);
    Button7 = ui::makeButton(this, "Button7", "uložit", 856, 104, 75);
    Label1 = new QLabel(QStringLiteral("Referenční hodnoty testu"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(848, 136); // natural size, so that no font clips the caption
    Label1->adjustSize();
    Button12 = ui::makeButton(this, "Button12", "tisk zadání", 856, 488, 89);
    Button9 = ui::makeButton(this, "Button9", "uložení výstupu", 856, 520, 89);
    Button13 = ui::makeButton(this, "Button13", "údaje o kole", 856, 400, 89);
    Button14 = ui::makeButton(this, "Button14", "uložit kolo", 856, 424, 89);
    Button15 = ui::makeButton(this, "Button15", "archiv kol", 856, 448, 89);
    Button16 = ui::makeButton(this, "Button16", "uložit test", 856, 552, 89);

    FormCreate();

    // Instrument files may be dropped onto the window, its fields included.
    setAcceptDrops(true);
    qApp->installEventFilter(this);

    QWidget* order[] = {PageControl1, Button1, Button2, Button3, Button5, Button6,  Memo1,   Chart1,
                        Button11,     Button4, Button7, Button8, Button9, Button10, Button12};
    QWidget* prev = nullptr;
    for (QWidget* w : order) {
        if (prev)
            setTabOrder(prev, w);
        prev = w;
    }
    for (QLineEdit* e : referenceFields) {
        setTabOrder(prev, e);
        prev = e;
    }
    for (QWidget* w : {Button13, Button14, Button15, Button16}) {
        setTabOrder(prev, w);
        prev = w;
    }

    ui::connectCommand(Button1, this, &Form1::Button1Click);
    ui::connectCommand(Button2, this, &Form1::Button2Click);
    ui::connectCommand(Button3, this, &Form1::Button3Click);
    ui::connectCommand(Button5, this, &Form1::Button5Click);
    ui::connectCommand(Button6, this, &Form1::Button6Click);
    ui::connectCommand(Button8, this, &Form1::Button8Click);
    ui::connectCommand(Button10, this, &Form1::Button10Click);
    ui::connectCommand(Button11, this, &Form1::Button11Click);
    ui::connectCommand(Button4, this, &Form1::Button4Click);
    ui::connectCommand(Button7, this, &Form1::Button7Click);
    ui::connectCommand(Button9, this, &Form1::Button9Click);
    ui::connectCommand(Button12, this, &Form1::Button12Click);
    ui::connectCommand(Button13, this, &Form1::Button13Click);
    ui::connectCommand(Button14, this, &Form1::Button14Click);
    ui::connectCommand(Button15, this, &Form1::Button15Click);
    ui::connectCommand(Button16, this, &Form1::Button16Click);

    m_roundInfo = new RoundInfoWindow(this);
    m_archiveWindow = new ArchiveWindow(this);
    m_archiveWindow->setOpenCommand([this](const QString& name) { openRound(name); });
    ui::fitToScreen(this);
}

Form1::~Form1() = default;

void Form1::FormCreate() {
    for (int k = 1; k <= 10; ++k) {
        auto* e = new QLineEdit(QStringLiteral("0"), this);
        e->setObjectName(QStringLiteral("referenceValue%1").arg(k));
        e->setAccessibleName(QStringLiteral("referenční hodnota %1").arg(k));
        e->setGeometry(850, 137 + 23 * k, 50, 20);
        referenceFields[k - 1] = e;
    }
}

void Form1::setCompanions(Form2* summary, Form3* overallCharts, Form5* calibrationCharts) {
    m_form2 = summary;
    m_form3 = overallCharts;
    m_form5 = calibrationCharts;
}

bool Form1::haveSheet() {
    if (!m_all.empty())
        return true;
    ui::dialogs().message(this, kNoSheet);
    return false;
}

const mereni& Form1::current() const {
    return m_all.at(currentSheet());
}

void Form1::showCurrentSheet() {
    if (m_pendingCurrent < 0)
        return;
    const int index = m_pendingCurrent;
    m_pendingCurrent = -1;
    PageControl1->setCurrentIndex(index);
}

// --- Commands -------------------------------------------------------------------------

void Form1::Button1Click() {
    addSheet([this] { return ui::dialogs().openFile(this, QStringLiteral("OpenDialog1")); });
}

void Form1::addSheet(const std::function<std::optional<QString>()>& chooseFile) {
    showCurrentSheet();
    const int before = PageControl1->currentIndex();
    auto* page = new QWidget;
    const int index =
        PageControl1->addTab(page, QStringLiteral("měření %1").arg(PageControl1->count() + 1));
    createSheetLabels(page);
    m_all.emplace_back();
    mereni& rec = m_all.back();
    createHeaderFields(page, rec);

    InstrumentRecord data;
    try {
        if (auto name = chooseFile())
            data = readInstrumentFile(*name);
    } catch (...) {
        // A sheet without count fields must not stay: the evaluations read every field.
        m_all.pop_back();
        PageControl1->removeTab(index);
        delete page;
        if (before >= 0)
            PageControl1->setCurrentIndex(before);
        throw;
    }
    ui::setTabCaption(PageControl1, index, data.id);
    fillSheet(page, rec, data);
    placeLastSheetInTabOrder();
}

void Form1::placeLastSheetInTabOrder() {
    // The sheet's fields follow the page control in the tab order, after those of the
    // sheets before it. (Fields of hidden pages are skipped by the Tab key.)
    placeInTabOrder(m_all.back(), m_all.size() > 1 ? m_all[m_all.size() - 2].count(13, 4)
                                                   : static_cast<QWidget*>(PageControl1));
}

void Form1::addDroppedSheets(const QStringList& files) {
    for (const QString& file : files)
        addSheet([&file] { return std::optional<QString>(file); });
}

// Instrument files dropped anywhere on the main window, its fields included, each add a
// sheet as "nový test" with that file chosen would. Other drops (text into a field) go on
// as before.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // The tabs' context menu: of the tab under the mouse, or from the keyboard of the
    // current tab, shown below it.
    if (type == QEvent::ContextMenu && watched == PageControl1->tabBar()) {
        QTabBar* bar = PageControl1->tabBar();
        auto* e = static_cast<QContextMenuEvent*>(event);
        const bool mouse = e->reason() == QContextMenuEvent::Mouse;
        const int index = mouse ? bar->tabAt(e->pos()) : bar->currentIndex();
        tabMenu(index, mouse ? e->globalPos() : bar->mapToGlobal(bar->tabRect(index).bottomLeft()));
        return true;
    }
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QWidget::eventFilter(watched, event);
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || (target != this && !isAncestorOf(target)))
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList files = localFiles(drop->mimeData());
    if (files.isEmpty())
        return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop) // after the drop has finished, as a command of its own
        QMetaObject::invokeMethod(
            this,
            [this, files] {
                ui::runCommand(
                    this, [this, &files] { addDroppedSheets(files); },
                    [this](const AppError& e) { commandFailed(e); });
            },
            Qt::QueuedConnection);
    return true;
}

void Form1::Button2Click() {
    if (haveSheet())
        blankCheck(*this);
}

void Form1::Button3Click() {
    if (haveSheet())
        repeatability(*this);
}

void Form1::Button5Click() {
    if (haveSheet())
        carryOver(*this);
}

void Form1::Button6Click() {
    if (haveSheet())
        linearity(*this);
}

void Form1::Button8Click() {
    // A test that stops with an error leaves no record behind.
    m_lastOverall.reset();
    m_lastOverallRound.reset();
    auto record = std::make_unique<OverallRecord>();
    m_resultsRound.reset();
    overallTest(*this, m_form3->chart(), m_form5->chart(), record.get());
    m_resultsRound = currentRound();
    m_resultsRound->results = roundResultsOf(*record);
    m_lastOverallRound = m_resultsRound;
    m_lastOverall = std::move(record);
}

void Form1::Button10Click() {
    if (haveSheet())
        batchEvaluation(*this);
}

void Form1::Button11Click() {
    Chart1->print();
}

void Form1::Button4Click() {
    auto name = ui::dialogs().openFile(this, QStringLiteral("OpenDialog2"));
    if (!name)
        return;
    const ReferenceValues values = readReferenceFile(*name);
    for (int k = 0; k < 10; ++k)
        referenceFields[k]->setText(QString::number(values[k]));
}

void Form1::Button7Click() {
    auto name = ui::dialogs().saveFile(this, QStringLiteral("SaveDialog1"));
    if (!name)
        return;
    ReferenceValues values{};
    for (int k = 0; k < 10; ++k)
        values[k] = toInt(referenceText(k + 1));
    writeReferenceFile(*name, values);
}

void Form1::Button9Click() {
    savePane(this, QStringLiteral("SaveDialog2"), Memo1->pane());
}

void Form1::Button12Click() {
    if (!haveSheet())
        return;
    const mereni& rec = current();
    QStringList counts;
    for (QLineEdit* e : rec.counts)
        counts << e->text();
    exportInputTable(rec.idStroje->text(), counts);
}

} // namespace vel
