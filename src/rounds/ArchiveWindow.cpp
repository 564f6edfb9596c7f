#include "rounds/ArchiveWindow.h"

#include "archive/Archive.h"
#include "data/FileNames.h"
#include "rounds/HistoryWindow.h"
#include "ui/Command.h"
#include "ui/Dialogs.h"
#include "ui/Widgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace vel {

namespace {
const char* const kNoneChosen = "Vyberte v seznamu kolo.";
}

ArchiveWindow::ArchiveWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ArchiveWindow"));
    setWindowTitle(QStringLiteral("Archiv kol"));

    placeLabel = new QLabel(this);
    placeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    table = new QTableWidget(0, 6, this);
    table->setAccessibleName(QStringLiteral("kola v archivu"));
    table->setHorizontalHeaderLabels({QStringLiteral("název"), QStringLiteral("datum testu"),
                                      QStringLiteral("přístrojů"), QStringLiteral("výsledky"),
                                      QStringLiteral("stav"), QStringLiteral("uloženo")});
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setTabKeyNavigation(false);
    connect(table, &QTableWidget::cellDoubleClicked, this,
            [this] { ui::runCommand(this, [this] { openClick(); }); });

    openButton = ui::makeButton(this, "OpenButton", "otevřít", 0, 0, 75);
    removeButton = ui::makeButton(this, "RemoveButton", "odstranit", 0, 0, 75);
    historyButton = ui::makeButton(this, "HistoryButton", "historie", 0, 0, 75);
    closeButton = ui::makeButton(this, "CloseButton", "zavřít", 0, 0, 75);
    ui::connectCommand(openButton, this, &ArchiveWindow::openClick);
    ui::connectCommand(removeButton, this, &ArchiveWindow::removeClick);
    ui::connectCommand(historyButton, this, &ArchiveWindow::historyClick);
    chooser = new InstrumentChooser(this);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(openButton);
    buttons->addWidget(removeButton);
    buttons->addStretch();
    buttons->addWidget(historyButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(placeLabel);
    layout->addWidget(table);
    layout->addLayout(buttons);
    resize(720, 420);
    ui::centerOnScreen(this);
}

void ArchiveWindow::showArchive(const ArchiveLocation& location) {
    const ArchiveLocation before = m_location;
    m_location = location;
    try {
        refresh();
    } catch (...) {
        m_location = before;
        throw;
    }
    show();
    raise();
    activateWindow();
}

void ArchiveWindow::refresh() {
    // An archive file not made yet is shown empty, as the place the first store makes it.
    struct stat st {};
    const bool missing = m_location.kind == ArchiveKind::SqliteFile &&
                         ::stat(nativeFileName(m_location.path).constData(), &st) != 0 &&
                         errno == ENOENT;
    const std::vector<RoundListing> rounds =
        missing ? std::vector<RoundListing>() : Archive(m_location).list();
    // The file, or the database, server and user of an address.
    placeLabel->setText(missing ? QStringLiteral("Archiv: %1 (vznikne prvním uložením kola)")
                                      .arg(m_location.placeText())
                                : QStringLiteral("Archiv: %1").arg(m_location.placeText()));
    const QString chosen = chosenRound();
    table->setRowCount(0);
    table->setRowCount(int(rounds.size()));
    for (int row = 0; row < int(rounds.size()); ++row) {
        const RoundListing& r = rounds[size_t(row)];
        const QString cells[] = {
            r.name,
            r.testDate,
            QString::number(r.instruments),
            r.hasResults ? QStringLiteral("ano") : QStringLiteral("ne"),
            roundStatusText(r.status),
            r.storedAt.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
        };
        for (int col = 0; col < 6; ++col)
            table->setItem(row, col, new QTableWidgetItem(cells[col]));
        if (r.name == chosen)
            table->selectRow(row);
    }
    table->resizeColumnsToContents();
    // A long name takes no more than a third of the table, so the other columns stay seen.
    table->setColumnWidth(0, std::min(table->columnWidth(0), table->viewport()->width() / 3));
}

QString ArchiveWindow::chosenRound() const {
    const int row = table->currentRow();
    if (row < 0 || !table->item(row, 0) || !table->selectionModel()->isRowSelected(row))
        return QString();
    return table->item(row, 0)->text();
}

void ArchiveWindow::openClick() {
    const QString name = chosenRound();
    if (name.isEmpty())
        return ui::dialogs().message(this, QString::fromUtf8(kNoneChosen));
    if (m_open)
        m_open(name);
}

void ArchiveWindow::removeClick() {
    const QString name = chosenRound();
    if (name.isEmpty())
        return ui::dialogs().message(this, QString::fromUtf8(kNoneChosen));
    if (!ui::dialogs().ask(this, QStringLiteral("Odstranit kolo „%1“ z archivu?").arg(name)))
        return;
    Archive(m_location).remove(name);
    refresh();
}

void ArchiveWindow::historyClick() {
    if (table->rowCount() == 0)
        return ui::dialogs().message(this, QStringLiteral("V archivu nejsou žádná kola."));
    chooser->showInstruments(m_location);
}

} // namespace vel
