// The production file dialogs (Qt's own dialog on the offscreen platform), answered from a
// timer as a user would: each window's dialog remembers the file it was last given.
#include "ui/Dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <ostream>

// Paths in failure messages as text.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

struct Shown {
    QString folder; // the folder the dialog opened in
    QString name;   // the text of its file name field
    std::optional<QString> result;
};

// Opens a dialog with open() and answers it: the typed text is entered into the file name
// field and accepted, or the dialog is cancelled when typed is empty. A dialog still open
// after five seconds is cancelled, so that a dialog that cannot be answered fails the test
// instead of hanging it.
Shown answer(const std::function<std::optional<QString>()>& open, const QString& typed) {
    Shown shown;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll.stop();
        shown.folder = dialog->directory().absolutePath();
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!field) {
            shown.name = QStringLiteral("<no file name field>");
            dialog->reject();
            return;
        }
        shown.name = field->text();
        if (typed.isEmpty()) {
            dialog->reject();
            return;
        }
        field->setText(typed);
        QMetaObject::invokeMethod(dialog, "accept"); // as the Open button does
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] {
        shown.name = QStringLiteral("<timed out>");
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    poll.start();
    limit.start(5000);
    shown.result = open();
    return shown;
}

TEST(FileDialogs, EachWindowsDialogOpensWhereItsLastFileWas) {
    QStandardPaths::setTestModeEnabled(true); // Qt's own dialog settings stay out of HOME
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("data") && QDir(dir.path()).mkpath("out"));
    const QString data = QDir(dir.path()).absoluteFilePath("data");
    const QString out = QDir(dir.path()).absoluteFilePath("out");
    const QString instrument = data + "/instrument1.dat";
    QFile file(instrument);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    ui::QtDialogs qt;
    QWidget form1;
    QWidget form2;
    const QString working = QDir::currentPath();
    auto open1 = [&](QWidget* window, const char* name) {
        return [&qt, window, name] { return qt.openFile(window, QString::fromLatin1(name)); };
    };

    // A dialog used for the first time opens in the working folder, empty.
    Shown s = answer(open1(&form1, "OpenDialog1"), instrument); // a typed full path
    EXPECT_EQ(s.folder, working);
    EXPECT_EQ(s.name, "");
    EXPECT_EQ(s.result, instrument);

    // The same dialog of the same window opens in that file's folder with its name, also
    // after it was cancelled.
    for (int i = 0; i < 2; ++i) {
        s = answer(open1(&form1, "OpenDialog1"), i == 0 ? QString() : instrument);
        EXPECT_EQ(s.folder, data) << i;
        EXPECT_EQ(s.name, "instrument1.dat") << i;
        EXPECT_EQ(s.result, i == 0 ? std::nullopt : std::optional<QString>(instrument)) << i;
    }

    // Another dialog of that window, and the dialog of the same name of another window,
    // are dialogs of their own.
    for (auto open : {open1(&form1, "OpenDialog2"), open1(&form2, "OpenDialog1")}) {
        s = answer(open, QString());
        EXPECT_EQ(s.folder, working);
        EXPECT_EQ(s.name, "");
        EXPECT_EQ(s.result, std::nullopt);
    }

    // A save dialog remembers a file that does not exist yet.
    const QString saved = out + "/vystup.txt";
    auto save1 = [&] { return qt.saveFile(&form2, QStringLiteral("SaveDialog1")); };
    s = answer(save1, saved);
    EXPECT_EQ(s.result, saved);
    s = answer(save1, QString());
    EXPECT_EQ(s.folder, out);
    EXPECT_EQ(s.name, "vystup.txt");

    // A save dialog with a choice proposes its name in the remembered folder, filters by
    // it, and completes a name typed without an extension.
    const ui::SaveChoice pdf{"zpráva 03.12.2026.pdf", "Dokumenty PDF (*.pdf)", "pdf"};
    auto saveReport = [&] { return qt.saveFile(&form2, QStringLiteral("SaveDialog2"), pdf); };
    s = answer(saveReport, out + "/kolo");
    EXPECT_EQ(s.folder, working);
    EXPECT_EQ(s.name, pdf.proposedName);
    EXPECT_EQ(s.result, out + "/kolo.pdf");
    s = answer(saveReport, QString());
    EXPECT_EQ(s.folder, out);
    EXPECT_EQ(s.name, pdf.proposedName);
}

// A path typed into the name field brings up the completion list under it. When the dialog
// finishes, the list goes at once, not only when the dialog is taken down later: a list
// left on screen would take the user's next click for itself.
TEST(FileDialogs, CompletionListGoesWhenTheDialogFinishes) {
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString typed = dir.filePath("instrument1.dat");
    QFile file(typed);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    ui::QtDialogs qt;
    QWidget form1;
    bool listShown = false;
    bool listAtFinish = true;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* field =
            dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!field || !field->completer())
            return;
        // As typing does; until the folder has been read, there is nothing to list.
        field->setText(typed);
        field->completer()->setCompletionPrefix(typed);
        field->completer()->complete();
        QPointer<QAbstractItemView> list = field->completer()->popup();
        if (!list->isVisible())
            return;
        poll.stop();
        listShown = true;
        QObject::connect(dialog, &QDialog::finished,
                         [&, list] { listAtFinish = list && list->isVisible(); });
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    poll.start();
    limit.start(5000);
    EXPECT_EQ(qt.openFile(&form1, QStringLiteral("OpenDialog1")), typed);
    EXPECT_TRUE(listShown);
    EXPECT_FALSE(listAtFinish);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible() && w->windowType() == Qt::Popup)
            << w->metaObject()->className();
}

} // namespace
