#include "overall/Form3.h"

#include "data/Errors.h"
#include "data/FileIo.h"
#include "ui/ChartView.h"
#include "ui/Command.h"
#include "ui/Dialogs.h"
#include "ui/Widgets.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPushButton>

namespace vel {

void saveChartImage(QWidget* owner, ui::ChartView& chart) {
    const auto name = ui::dialogs().saveFile(owner, QStringLiteral("SaveDialog1"));
    if (!name)
        return;
    // The image is made in memory and written like every other file: without waiting on
    // a pipe and without harming the old file when the disk is full.
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp"); // the name's extension does not matter
    if (!writer.write(ui::renderChart(chart.model(), chart.state(), chart.size())))
        throw AppError(QStringLiteral("Cannot create file \"%1\". %2")
                           .arg(QDir::toNativeSeparators(QFileInfo(*name).absoluteFilePath()),
                                writer.errorString()));
    writeWholeFile(*name, bmp, WriteErrors::Named);
}

void printChart(ui::ChartView& chart) {
    ui::dialogs().print(chart.model().name(), chart.size(),
                        [&chart](QPainter& p) { chart.paintTo(p); });
}

Form3::Form3(ui::ChartModel& chart, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Celkové vyhodnocení testu"));
    resize(1088, 706);
    move(450, 247);

    Chart1 = new ui::ChartView(chart, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setAccessibleName(QStringLiteral("celkové vyhodnocení testu"));
    Chart1->setGeometry(16, 9, 1049, 624);
    Button2 = ui::makeButton(this, "Button2", "uložit", 392, 648, 75);
    Button3 = ui::makeButton(this, "Button3", "tisk grafu", 480, 648, 75);
    Button1 = ui::makeButton(this, "Button1", "zavřít", 568, 648, 75);

    connect(Button2, &QPushButton::clicked, this,
            [this] { ui::runCommand(this, [this] { Button2Click(); }); });
    connect(Button3, &QPushButton::clicked, this,
            [this] { ui::runCommand(this, [this] { Button3Click(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void Form3::Button2Click() {
    saveChartImage(this, *Chart1);
}

void Form3::Button3Click() {
    printChart(*Chart1);
}

void Form3::Button1Click() {
    hide();
}

} // namespace vel
