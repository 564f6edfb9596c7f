#pragma once
// Scripted dialogs and small file helpers shared by the tests.

#include "data/Errors.h"
#include "ui/Dialogs.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <optional>

namespace testing_support {

// Records every box and answers the file dialogs from a queue (an empty optional cancels).
class ScriptedDialogs : public ui::Dialogs {
public:
    ScriptedDialogs() { ui::setDialogs(this); }
    ~ScriptedDialogs() override { ui::setDialogs(nullptr); }

    void message(QWidget*, const QString& text) override { messages << text; }
    void error(QWidget*, const QString& text) override { errors << text; }
    std::optional<QString> openFile(QWidget*, const QString& name) override;
    std::optional<QString> saveFile(QWidget*, const QString& name) override;
    void print(const QString& docName, QSize size, const ui::PagePainter& paint) override;
    void openInViewer(const QString& path) override { opened << path; }

    std::deque<std::optional<QString>> files; // answers of the file dialogs, in order
    QStringList dialogNames;                  // which dialogs were shown
    QStringList messages;
    QStringList errors;
    QStringList opened;
    QStringList printedDocs;
    QString printToPdf; // when set, print() renders into this PDF file
    QString printError; // when set, print() fails with this message
};

// The message of the program's error that f raises, or "<no error>".
template <typename F> QString errorOf(F&& f) {
    try {
        f();
    } catch (const vel::AppError& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);

} // namespace testing_support
