#include "rounds/HistoryWindow.h"

#include "archive/Archive.h"
#include "data/Conversion.h"
#include "data/Errors.h"
#include "data/FileIo.h"
#include "data/FileNames.h"
#include "history/HistoryCharts.h"
#include "output/NumberFormat.h"
#include "report/HistoryReport.h"
#include "ui/ChartView.h"
#include "ui/Command.h"
#include "ui/Dialogs.h"
#include "ui/Widgets.h"

#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vel {

namespace {

QTableWidget* makeTable(QWidget* parent, const QStringList& titles, const char* name) {
    auto* t = new QTableWidget(0, int(titles.size()), parent);
    t->setAccessibleName(QString::fromUtf8(name));
    t->setHorizontalHeaderLabels(titles);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->hide();
    t->setTabKeyNavigation(false);
    return t;
}

QLabel* wrappedLabel(QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QString quotedList(const std::vector<InstrumentListing>& ids) {
    QStringList out;
    for (const InstrumentListing& l : ids)
        out << QStringLiteral("„%1“ (%2)").arg(l.instrumentId, roundCount(l.rounds));
    return out.join(QStringLiteral(", "));
}

QString driftText(const QStringList& found, const QString& rules) {
    return (found.isEmpty() ? QStringLiteral("Posun podle pravidel nezjištěn.")
                            : found.join(u'\n')) +
           u'\n' + rules;
}

} // namespace

HistoryWindow::HistoryWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("Historie přístroje"));

    similarLabel = wrappedLabel(this);
    table = makeTable(this, historyColumnTitles(), "kola přístroje");
    table->setMinimumHeight(140);
    testDriftLabel = wrappedLabel(this);
    calibrationDriftLabel = wrappedLabel(this);
    saveTestButton = ui::makeButton(this, "SaveTestButton", "uložit", 0, 0, 75);
    printTestButton = ui::makeButton(this, "PrintTestButton", "tisk grafu", 0, 0, 75);
    saveCalibrationButton = ui::makeButton(this, "SaveCalibrationButton", "uložit", 0, 0, 75);
    printCalibrationButton = ui::makeButton(this, "PrintCalibrationButton", "tisk grafu", 0, 0, 75);
    pdfButton = ui::makeButton(this, "PdfButton", "zpráva PDF", 0, 0, 90);
    csvButton = ui::makeButton(this, "CsvButton", "tabulka CSV", 0, 0, 90);
    closeButton = ui::makeButton(this, "CloseButton", "zavřít", 0, 0, 75);
    ui::connectCommand(saveTestButton, this, &HistoryWindow::saveTestClick);
    ui::connectCommand(printTestButton, this, &HistoryWindow::printTestClick);
    ui::connectCommand(saveCalibrationButton, this, &HistoryWindow::saveCalibrationClick);
    ui::connectCommand(printCalibrationButton, this, &HistoryWindow::printCalibrationClick);
    ui::connectCommand(pdfButton, this, &HistoryWindow::savePdfClick);
    ui::connectCommand(csvButton, this, &HistoryWindow::saveCsvClick);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->addWidget(similarLabel);
    column->addWidget(table);
    const auto chartBlock = [&](QVBoxLayout*& box, QLabel* drift, QPushButton* save,
                                QPushButton* print) {
        box = new QVBoxLayout;
        column->addLayout(box);
        column->addWidget(drift);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(save);
        buttons->addWidget(print);
        buttons->addStretch();
        column->addLayout(buttons);
    };
    chartBlock(m_testBox, testDriftLabel, saveTestButton, printTestButton);
    chartBlock(m_calibrationBox, calibrationDriftLabel, saveCalibrationButton,
               printCalibrationButton);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pdfButton);
    buttons->addWidget(csvButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addLayout(buttons);
    resize(960, 760);
    ui::centerOnScreen(this);
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::showHistory(const ArchiveLocation& location, const QString& id) {
    Archive archive(location);
    InstrumentHistory h = readHistory(archive, id);
    if (h.entries.empty())
        throw AppError(QStringLiteral("Přístroj „%1“ v archivu kol „%2“ není")
                           .arg(id, location.displayName()));
    m_history = std::move(h);
    fill();
    show();
    raise();
    activateWindow();
}

void HistoryWindow::fill() {
    const InstrumentHistory& h = m_history;
    setWindowTitle(QStringLiteral("Historie přístroje %1").arg(h.id));
    similarLabel->setText(
        QStringLiteral("Přístroj „%1“: %2 v archivu, v pořadí podle data testu. ")
            .arg(h.id, roundCount(int(h.entries.size()))) +
        (h.similar.empty()
             ? QStringLiteral("Žádný jiný identifikátor se od něj neliší jen velikostí písmen "
                              "nebo mezerami.")
             : QStringLiteral("Liší se od něj jen velikostí písmen nebo mezerami (přejmenovaný "
                              "přístroj?): ") +
                   quotedList(h.similar)));

    table->setRowCount(0);
    table->setRowCount(int(h.entries.size()));
    const QChar separator = decimalSeparator();
    for (std::size_t i = 0; i < h.entries.size(); ++i) {
        const QStringList row = historyRow(
            h, i, [](double v) { return formatGeneral(v); }, separator);
        for (int c = 0; c < row.size(); ++c)
            table->setItem(int(i), c, new QTableWidgetItem(row[c]));
    }
    table->resizeColumnsToContents();

    // New models, new views: a view keeps its model for life.
    delete testChart;
    delete calibrationChart;
    m_testModel = testScoreChart(h);
    m_calibrationModel = calibrationScoreChart(h);
    testChart = new ui::ChartView(*m_testModel);
    testChart->setAccessibleName(QStringLiteral("graf skóre testu"));
    calibrationChart = new ui::ChartView(*m_calibrationModel);
    calibrationChart->setAccessibleName(QStringLiteral("graf skóre kalibrace"));
    for (ui::ChartView* v : {testChart, calibrationChart})
        v->setFixedSize(kHistoryChartSize);
    m_testBox->addWidget(testChart);
    m_calibrationBox->addWidget(calibrationChart);
    const std::vector<HistoryPoint> points = h.points();
    testDriftLabel->setText(driftText(testDrift(points), testDriftRules()));
    calibrationDriftLabel->setText(driftText(calibrationDrift(points), calibrationDriftRules()));
}

void HistoryWindow::saveTestClick() {
    testChart->saveBmpAs(this, QStringLiteral("SaveDialog1"));
}

void HistoryWindow::printTestClick() {
    testChart->print();
}

void HistoryWindow::saveCalibrationClick() {
    calibrationChart->saveBmpAs(this, QStringLiteral("SaveDialog2"));
}

void HistoryWindow::printCalibrationClick() {
    calibrationChart->print();
}

void HistoryWindow::savePdfClick() {
    const auto name = ui::dialogs().saveFile(
        this, QStringLiteral("SaveDialog3"),
        {fileNameOf(QStringLiteral("historie ") + m_history.id) + QStringLiteral(".pdf"),
         QStringLiteral("Dokumenty PDF (*.pdf)"), QStringLiteral("pdf")});
    if (name)
        writeWholeFile(*name, makeHistoryPdf(m_history, testChart->font()), WriteErrors::Stream);
}

void HistoryWindow::saveCsvClick() {
    const auto name = ui::dialogs().saveFile(
        this, QStringLiteral("SaveDialog4"),
        {fileNameOf(QStringLiteral("historie ") + m_history.id) + QStringLiteral(".csv"),
         QStringLiteral("Tabulky CSV (*.csv)"), QStringLiteral("csv")});
    if (name)
        writeWholeFile(*name, historyCsv(m_history, decimalSeparator()), WriteErrors::Stream);
}

InstrumentChooser::InstrumentChooser(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("InstrumentChooser"));
    setWindowTitle(QStringLiteral("Přístroje v archivu"));
    table = makeTable(this,
                      {QStringLiteral("id stroje"), QStringLiteral("kol"),
                       QStringLiteral("liší se jen velikostí písmen nebo mezerami")},
                      "přístroje v archivu");
    table->horizontalHeader()->setStretchLastSection(true);
    connect(table, &QTableWidget::cellDoubleClicked, this,
            [this] { ui::runCommand(this, [this] { historyClick(); }); });
    historyButton = ui::makeButton(this, "HistoryButton", "historie", 0, 0, 75);
    closeButton = ui::makeButton(this, "CloseButton", "zavřít", 0, 0, 75);
    ui::connectCommand(historyButton, this, &InstrumentChooser::historyClick);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);
    historyWindow = new HistoryWindow(this);

    auto* hint = wrappedLabel(this);
    hint->setText(QStringLiteral("Identifikátor se hledá přesně tak, jak je zapsán, včetně "
                                 "velikosti písmen a mezer."));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(historyButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(table);
    layout->addLayout(buttons);
    resize(560, 480);
    ui::centerOnScreen(this);
}

void InstrumentChooser::showInstruments(const ArchiveLocation& location) {
    std::vector<InstrumentListing> ids = Archive(location).instruments();
    m_location = location;
    m_ids = std::move(ids);
    table->setRowCount(0);
    table->setRowCount(int(m_ids.size()));
    // The identifiers by their key, each key made once: thousands of identifiers are grouped
    // at once rather than compared pair by pair.
    QHash<QString, std::vector<std::size_t>> byKey;
    for (std::size_t i = 0; i < m_ids.size(); ++i)
        byKey[identifierKey(m_ids[i].instrumentId)].push_back(i);
    for (int row = 0; row < int(m_ids.size()); ++row) {
        const InstrumentListing& l = m_ids[std::size_t(row)];
        std::vector<InstrumentListing> similar;
        for (std::size_t i : byKey.value(identifierKey(l.instrumentId)))
            if (m_ids[i].instrumentId != l.instrumentId)
                similar.push_back(m_ids[i]);
        table->setItem(row, 0, new QTableWidgetItem(l.instrumentId));
        table->setItem(row, 1, new QTableWidgetItem(QString::number(l.rounds)));
        table->setItem(row, 2, new QTableWidgetItem(quotedList(similar)));
    }
    table->resizeColumnsToContents();
    show();
    raise();
    activateWindow();
}

std::optional<QString> InstrumentChooser::chosen() const {
    const int row = table->currentRow();
    if (row < 0 || row >= int(m_ids.size()) || !table->selectionModel()->isRowSelected(row))
        return std::nullopt;
    return m_ids[std::size_t(row)].instrumentId;
}

void InstrumentChooser::historyClick() {
    const std::optional<QString> id = chosen();
    if (!id)
        return ui::dialogs().message(this, QStringLiteral("Vyberte v seznamu přístroj."));
    historyWindow->showHistory(m_location, *id);
}

} // namespace vel
