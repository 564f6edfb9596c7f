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
#include <functional>
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
    std::optional<QString> saveFile(QWidget* w, const QString& name,
                                    const ui::SaveChoice& choice) override {
        choices << choice.proposedName + u'|' + choice.filter + u'|' + choice.defaultSuffix;
        return saveFile(w, name);
    }
    // Folder choosers answer from `files` too.
    std::optional<QString> chooseFolder(QWidget* w, const QString& name) override {
        return openFile(w, name);
    }
    void print(const QString& docName, QSize size, const ui::PagePainter& paint) override;
    void openInViewer(const QString& path) override { opened << path; }
    // Questions are answered from `answers` ("Ne" when it is empty), text boxes from `texts`
    // (cancelled when it is empty).
    bool ask(QWidget*, const QString& text) override;
    std::optional<QString> askText(QWidget*, const QString& label, const QString&) override;

    std::deque<std::optional<QString>> files; // answers of the file dialogs, in order
    QStringList dialogNames;                  // which dialogs were shown
    QStringList messages;
    QStringList errors;
    QStringList opened;
    QStringList printedDocs;
    QStringList choices; // of the save dialogs with a choice: "name|filter|suffix"
    std::deque<bool> answers;
    QStringList questions; // the questions and text boxes shown, in order
    QStringList texts;
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

// Runs f in a child process and returns the text it returns; "<timed out>" when it has
// not returned within the time limit (the child is then killed), so that a call that would
// wait forever fails its test instead of stalling the suite. "<child failed>" when the
// child ended otherwise. f may change the child's user and so on: the parent is unaffected.
QString inChildProcess(const std::function<QString()>& f, int seconds = 10);

// The system's description of an error number (ENOENT, ...) as the program shows it: in the
// language of the tests' locale, cs_CZ.UTF-8 (Czech where that locale is generated, the C
// library's English where it is not).
QString systemText(int errnoValue);

// Runs statements on a SQLite file through a connection of the test's own, as another
// program would; returns the first column of the last statement's rows, joined by commas,
// or "<failed: …>".
QString sqliteRows(const QString& path, const QStringList& statements);

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);

} // namespace testing_support
