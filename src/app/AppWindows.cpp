#include "app/AppWindows.h"

#include "app/Form1.h"
#include "output/Form2.h"
#include "overall/Form3.h"
#include "overall/Form5.h"
#include "report/ReportCommand.h"
#include "ui/ChartView.h"

#include <QApplication>
#include <QFont>

namespace vel {

void setupApplicationFont() {
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    QApplication::setFont(font);
}

AppWindows::AppWindows() {
    form1 = std::make_unique<Form1>();
    form2 = std::make_unique<Form2>();
    form3 = std::make_unique<Form3>(overallChart);
    form5 = std::make_unique<Form5>(calibrationChart);
    for (QWidget* w : {static_cast<QWidget*>(form2.get()), static_cast<QWidget*>(form3.get()),
                       static_cast<QWidget*>(form5.get())})
        w->setAttribute(Qt::WA_QuitOnClose, false);
    form1->setCompanions(form2.get(), form3.get(), form5.get());
    // "zpráva PDF": the report of the main window's last overall test, its charts as the
    // chart windows show them; "anonymní zpráva": the same for publication.
    for (const bool anonymous : {false, true}) {
        auto command = [this, anonymous] {
            saveRoundReport(
                form2.get(), form1->lastOverallTest(),
                [this] { return form1->storedRoundOfLastTest(); }, anonymous, *form3->Chart1,
                *form5->Chart1, *form1->Chart1);
        };
        if (anonymous)
            form2->setAnonymousCommand(command);
        else
            form2->setReportCommand(command);
    }
    // "zprávy účastníkům": a report per instrument of that test, for the round stored with
    // its results.
    form2->setParticipantsCommand([this] {
        saveParticipantReports(
            form2.get(), form1->lastOverallTest(),
            [this] { return form1->storedRoundOfLastTest(); }, *form3->Chart1, *form5->Chart1,
            *form1->Chart1, defaultArchiveLocation());
    });
}

AppWindows::~AppWindows() {
    // The main window goes first: it refers to the others.
    form1.reset();
}

} // namespace vel
