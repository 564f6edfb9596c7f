#pragma once
// "Údaje o kole": what the provider says about the round in the main window — its name,
// the provider, the coordinator, the samples, how the reference values were obtained, advice
// to the participants, the report's status and its issue date. The window lasts the whole
// run; "zavřít" only hides it. Stored with the round, and back when the round is opened.

#include "archive/ArchiveRecords.h"

#include <QWidget>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vel {

class RoundInfoWindow : public QWidget {
    Q_OBJECT
public:
    explicit RoundInfoWindow(QWidget* parent = nullptr);

    QString roundName() const;
    void setRoundName(const QString& name);
    RoundInfo info() const;
    void setInfo(const RoundInfo& info);

    QLineEdit* nameEdit;
    QPlainTextEdit* providerEdit;
    QLineEdit* coordinatorEdit;
    QPlainTextEdit* samplesEdit;
    QPlainTextEdit* referenceEdit;
    QPlainTextEdit* adviceEdit;
    QComboBox* statusBox;
    QDateEdit* issueDateEdit;
    QPushButton* closeButton; // "zavřít"
};

} // namespace vel
