#include "rounds/RoundInfoWindow.h"

#include "ui/Widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vel {

namespace {
QPlainTextEdit* textBox(QWidget* parent, const QString& name, int lines) {
    auto* e = new QPlainTextEdit(parent);
    e->setAccessibleName(name);
    e->setTabChangesFocus(true); // Tab goes on to the next field, as in the other windows
    e->setFixedHeight(e->fontMetrics().lineSpacing() * lines + 10);
    return e;
}
} // namespace

RoundInfoWindow::RoundInfoWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("RoundInfo"));
    setWindowTitle(QStringLiteral("Údaje o kole"));

    nameEdit = new QLineEdit(this);
    nameEdit->setAccessibleName(QStringLiteral("název kola"));
    providerEdit = textBox(this, QStringLiteral("organizátor"), 4);
    coordinatorEdit = new QLineEdit(this);
    coordinatorEdit->setAccessibleName(QStringLiteral("koordinátor"));
    samplesEdit = textBox(this, QStringLiteral("vzorky"), 3);
    referenceEdit = textBox(this, QStringLiteral("referenční hodnoty"), 3);
    adviceEdit = textBox(this, QStringLiteral("komentář"), 4);
    statusBox = new QComboBox(this);
    statusBox->setAccessibleName(QStringLiteral("stav zprávy"));
    statusBox->addItem(roundStatusText(RoundStatus::Preliminary));
    statusBox->addItem(roundStatusText(RoundStatus::Final));
    issueDateEdit = new QDateEdit(QDate::currentDate(), this);
    issueDateEdit->setAccessibleName(QStringLiteral("datum vydání"));
    issueDateEdit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    issueDateEdit->setCalendarPopup(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Název kola:"), nameEdit);
    form->addRow(QStringLiteral("Organizátor (název a adresa):"), providerEdit);
    form->addRow(QStringLiteral("Koordinátor:"), coordinatorEdit);
    form->addRow(QStringLiteral("Popis vzorků:"), samplesEdit);
    form->addRow(QStringLiteral("Původ referenčních hodnot\na jejich nejistota:"), referenceEdit);
    form->addRow(QStringLiteral("Komentář a doporučení\npro účastníky:"), adviceEdit);
    form->addRow(QStringLiteral("Stav zprávy:"), statusBox);
    form->addRow(QStringLiteral("Datum vydání:"), issueDateEdit);

    closeButton = ui::makeButton(this, "CloseButton", "zavřít", 0, 0, 75);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(560, sizeHint().height());
    ui::centerOnScreen(this);
}

QString RoundInfoWindow::roundName() const {
    return nameEdit->text();
}

void RoundInfoWindow::setRoundName(const QString& name) {
    nameEdit->setText(name);
}

RoundInfo RoundInfoWindow::info() const {
    RoundInfo i;
    i.provider = providerEdit->toPlainText();
    i.coordinator = coordinatorEdit->text();
    i.samples = samplesEdit->toPlainText();
    i.referenceOrigin = referenceEdit->toPlainText();
    i.advice = adviceEdit->toPlainText();
    i.status = statusBox->currentIndex() == 1 ? RoundStatus::Final : RoundStatus::Preliminary;
    i.issueDate = issueDateEdit->date();
    return i;
}

void RoundInfoWindow::setInfo(const RoundInfo& i) {
    providerEdit->setPlainText(i.provider);
    coordinatorEdit->setText(i.coordinator);
    samplesEdit->setPlainText(i.samples);
    referenceEdit->setPlainText(i.referenceOrigin);
    adviceEdit->setPlainText(i.advice);
    statusBox->setCurrentIndex(i.status == RoundStatus::Final ? 1 : 0);
    issueDateEdit->setDate(i.issueDate.isValid() ? i.issueDate : QDate::currentDate());
}

} // namespace vel
