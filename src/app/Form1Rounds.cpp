// The main window's side of the archive of rounds: the round as the window holds it, storing
// and opening it, removing a sheet, and saving a sheet as an instrument file.

#include "app/Form1.h"

#include "archive/Archive.h"
#include "data/FileIo.h"
#include "data/FileNames.h"
#include "overall/OverallRecord.h"
#include "report/RoundResults.h"
#include "rounds/ArchiveWindow.h"
#include "rounds/RoundInfoWindow.h"
#include "ui/Command.h"
#include "ui/Dialogs.h"
#include "ui/Widgets.h"

#include <QMenu>
#include <QTabBar>
#include <QTabWidget>

namespace vel {

Round Form1::currentRound() const {
    Round round;
    round.name = m_roundInfo->roundName();
    round.info = m_roundInfo->info();
    for (int k = 0; k < 10; ++k)
        round.references[k] = referenceFields[k]->text();
    QStringList dates;
    for (int i = 0; i < int(m_all.size()); ++i) {
        Sheet sheet = sheetOf(ui::tabCaption(PageControl1, i), sheetTexts(m_all[i]));
        sheet.participantCode = m_all[i].participantCode;
        dates << m_all[i].datumTestu->text();
        round.sheets.push_back(std::move(sheet));
    }
    round.testDate = roundTestDate(dates);
    round.programVersion = QStringLiteral("1.0");
    if (m_resultsRound && sameTexts(*m_resultsRound, round))
        round.results = m_resultsRound->results;
    return round;
}

std::optional<Round> Form1::storedRoundOfLastTest() const {
    const QString name = m_roundInfo->roundName();
    if (!m_lastOverall || !m_lastOverallRound || name.trimmed().isEmpty())
        return std::nullopt;
    Archive archive(defaultArchiveLocation());
    if (!archive.contains(name))
        return std::nullopt;
    Round stored = archive.load(name);
    if (!stored.results || !sameTexts(stored, *m_lastOverallRound))
        return std::nullopt;
    return stored;
}

void Form1::Button13Click() {
    m_roundInfo->show();
    m_roundInfo->raise();
    m_roundInfo->activateWindow();
}

void Form1::Button14Click() {
    if (m_all.empty())
        return ui::dialogs().message(this, QStringLiteral("Kolo bez přístrojů nelze uložit."));
    QString name = m_roundInfo->roundName();
    if (name.trimmed().isEmpty()) {
        const auto typed = ui::dialogs().askText(this, QStringLiteral("Název kola:"), QString());
        if (!typed)
            return;
        name = *typed;
    }
    if (const QString problem = roundNameProblem(name); !problem.isEmpty())
        return ui::dialogs().message(this, problem);
    m_roundInfo->setRoundName(name);
    Round round = currentRound();
    round.name = name;
    Archive archive(defaultArchiveLocation());
    IfStored ifStored = IfStored::Refuse;
    if (archive.contains(name)) {
        if (!ui::dialogs().ask(this,
                               QStringLiteral("Kolo „%1“ už v archivu je. Nahradit je?").arg(name)))
            return;
        ifStored = IfStored::Replace;
    }
    const Round stored = archive.store(round, ifStored);
    for (size_t i = 0; i < m_all.size() && i < stored.sheets.size(); ++i)
        m_all[i].participantCode = stored.sheets[i].participantCode;
    if (m_archiveWindow->isVisible())
        m_archiveWindow->refresh();
    ui::dialogs().message(this, QStringLiteral("Kolo „%1“ uloženo do archivu: %2, %3.")
                                    .arg(name, instrumentCount(int(stored.sheets.size())),
                                         stored.results ? QStringLiteral("s výsledky")
                                                        : QStringLiteral("bez výsledků")));
}

void Form1::Button15Click() {
    m_archiveWindow->showArchive(defaultArchiveLocation());
}

void Form1::openRound(const QString& name) {
    if (!m_all.empty() &&
        !ui::dialogs().ask(m_archiveWindow,
                           QStringLiteral("Otevřít kolo „%1“ místo načtených testů?").arg(name)))
        return;
    // Read whole before anything shown changes.
    const Round round = Archive(defaultArchiveLocation()).load(name);
    showCurrentSheet();
    while (!m_all.empty())
        removeSheet(int(m_all.size()) - 1);
    for (const Sheet& sheet : round.sheets)
        addSheetOf(sheet);
    for (int k = 0; k < 10; ++k)
        referenceFields[k]->setText(round.references[k]);
    m_roundInfo->setRoundName(round.name);
    m_roundInfo->setInfo(round.info);
    m_resultsRound = round;
    // The round report belongs to the round of the last overall test, no longer shown.
    m_lastOverall.reset();
    m_lastOverallRound.reset();
    if (!m_all.empty())
        PageControl1->setCurrentIndex(0);
}

void Form1::addSheetOf(const Sheet& sheet) {
    auto* page = new QWidget;
    const int index = PageControl1->addTab(page, QString());
    ui::setTabCaption(PageControl1, index, sheet.caption);
    createSheetLabels(page);
    m_all.emplace_back();
    mereni& rec = m_all.back();
    createHeaderFields(page, rec);
    fillSheet(page, rec, InstrumentRecord{});
    setSheetTexts(rec, textsOf(sheet));
    rec.participantCode = sheet.participantCode;
    placeLastSheetInTabOrder();
}

void Form1::removeSheet(int index) {
    showCurrentSheet();
    QWidget* page = PageControl1->widget(index);
    PageControl1->removeTab(index);
    m_all.erase(m_all.begin() + index);
    delete page;
}

void Form1::removeSheetClick(int index) {
    if (index < 0 || index >= int(m_all.size()))
        return;
    const QString caption = ui::tabCaption(PageControl1, index);
    const QString question = caption.isEmpty()
                                 ? QStringLiteral("Odebrat test na %1. záložce?").arg(index + 1)
                                 : QStringLiteral("Odebrat test „%1“?").arg(caption);
    if (ui::dialogs().ask(this, question))
        removeSheet(index);
}

void Form1::tabMenu(int index, const QPoint& globalPos) {
    if (index < 0)
        return;
    QMenu menu(this);
    QAction* remove = menu.addAction(QStringLiteral("odebrat test"));
    if (menu.exec(globalPos) == remove)
        ui::runCommand(this, [this, index] { removeSheetClick(index); });
}

void Form1::Button16Click() {
    if (!haveSheet())
        return;
    // Checked before the dialog: a sheet the file cannot hold is said at once.
    const QByteArray bytes = encodeInstrumentRecord(recordOfSheet(sheetTexts(current())));
    const QString id = fileNameOf(current().idStroje->text());
    const auto name = ui::dialogs().saveFile(
        this, QStringLiteral("SaveDialog3"),
        {(id.isEmpty() ? QStringLiteral("přístroj") : id) + QStringLiteral(".dat"),
         QStringLiteral("Soubory přístrojů (*.dat)"), QStringLiteral("dat")});
    if (!name)
        return;
    writeWholeFile(*name, bytes, WriteErrors::Named);
}

} // namespace vel
