#include "ui/Dialogs.h"

#include "data/Errors.h"
#include "data/FileNames.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace ui {

namespace {
QtDialogs g_qtDialogs;
Dialogs* g_current = nullptr;

void showBox(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QString::fromUtf8(kAppTitle), text, QMessageBox::Ok, owner);
    box.setObjectName(icon == QMessageBox::Critical ? QStringLiteral("ErrorBox")
                                                    : QStringLiteral("MessageBox"));
    // The text may quote a field or a file: it is shown as it stands, never as markup.
    box.setTextFormat(Qt::PlainText);
    // Centred on the screen, wherever the main window stands.
    box.adjustSize();
    if (QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        box.move(screen->geometry().center() - box.rect().center());
    box.exec();
}

// Name of the dynamic property of a window that holds the absolute path its file dialog
// dialogName ("OpenDialog1", ...) was last given. Three windows name a dialog "SaveDialog1":
// each remembers its own.
QByteArray lastFileProperty(const QString& dialogName) {
    return "lastFile." + dialogName.toUtf8();
}

// A dialog's name completion list shows up on its own once the folder of a typed path has
// been read, also after the dialog has closed; left on screen, it would take the user's next
// click for itself. So the list goes when the dialog finishes, and the field has no
// completion from then on: taking the dialog down waits for the thread that reads its
// folders.
void dropCompletionWhenFinished(QFileDialog& dialog) {
    QObject::connect(&dialog, &QDialog::finished, &dialog, [&dialog] {
        for (auto* field : dialog.findChildren<QLineEdit*>())
            field->setCompleter(nullptr); // hides its list
    });
}

// Runs a file dialog; the name chosen is remembered in the window's property `key`. The
// dialog shows a name that is not valid UTF-8 with U+FFFD in it; the file is given under its
// real name.
std::optional<QString> runAndRemember(QFileDialog& dialog, QWidget* window, const QByteArray& key) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString name = dialog.selectedFiles().constFirst();
    if (name.isEmpty())
        return std::nullopt;
    if (window)
        window->setProperty(key.constData(), QFileInfo(name).absoluteFilePath());
    return vel::realFileName(name);
}

std::optional<QString> runFileDialog(QWidget* owner, const QString& dialogName,
                                     QFileDialog::AcceptMode mode, const SaveChoice& choice = {}) {
    QWidget* window = owner ? owner->window() : nullptr;
    // A new dialog for every call, gone when the call returns.
    QFileDialog dialog(window);
    dialog.setObjectName(dialogName);
    dropCompletionWhenFinished(dialog);
    dialog.setAcceptMode(mode);
    // Any name is accepted: a file that does not exist is reported when it is opened.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // It opens in the folder of the file it was last given, browsed or typed, with that
    // file's name; a dialog not used yet (or without an owner) opens in the working folder.
    const QByteArray key = lastFileProperty(dialogName);
    const QString last = window ? window->property(key.constData()).toString() : QString();
    const QFileInfo lastInfo(last);
    // (If that folder is gone, the working folder with the name.)
    if (last.isEmpty()) {
        dialog.setDirectory(QDir::currentPath());
    } else if (lastInfo.dir().exists()) {
        dialog.setDirectory(lastInfo.absolutePath());
        dialog.selectFile(lastInfo.absoluteFilePath());
    } else {
        dialog.setDirectory(QDir::currentPath());
        dialog.selectFile(lastInfo.fileName());
    }
    // A proposed name takes the place of the last one, in the same folder.
    if (!choice.filter.isEmpty())
        dialog.setNameFilter(choice.filter);
    if (!choice.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(choice.defaultSuffix);
    if (!choice.proposedName.isEmpty())
        dialog.selectFile(dialog.directory().absoluteFilePath(choice.proposedName));
    return runAndRemember(dialog, window, key);
}
} // namespace

Dialogs& dialogs() {
    return g_current ? *g_current : g_qtDialogs;
}
void setDialogs(Dialogs* d) {
    g_current = d;
}

void QtDialogs::message(QWidget* owner, const QString& text) {
    showBox(owner, QMessageBox::NoIcon, text);
}

void QtDialogs::error(QWidget* owner, const QString& text) {
    showBox(owner, QMessageBox::Critical, text);
}

std::optional<QString> QtDialogs::openFile(QWidget* owner, const QString& dialogName) {
    return runFileDialog(owner, dialogName, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::saveFile(QWidget* owner, const QString& dialogName) {
    return runFileDialog(owner, dialogName, QFileDialog::AcceptSave);
}

std::optional<QString> QtDialogs::saveFile(QWidget* owner, const QString& dialogName,
                                           const SaveChoice& choice) {
    return runFileDialog(owner, dialogName, QFileDialog::AcceptSave, choice);
}

std::optional<QString> QtDialogs::chooseFolder(QWidget* owner, const QString& dialogName) {
    QWidget* window = owner ? owner->window() : nullptr;
    QFileDialog dialog(window);
    dialog.setObjectName(dialogName);
    dropCompletionWhenFinished(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // It opens in the folder it was last given, or the working folder.
    const QByteArray key = lastFileProperty(dialogName);
    const QString last = window ? window->property(key.constData()).toString() : QString();
    dialog.setDirectory(!last.isEmpty() && QDir(last).exists() ? last : QDir::currentPath());
    return runAndRemember(dialog, window, key);
}

void QtDialogs::print(const QString& docName, QSize size, const PagePainter& paint) {
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw vel::AppError(QStringLiteral("There is no default printer currently selected"));
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(docName);
    QPainter painter;
    if (!painter.begin(&printer))
        throw vel::AppError(QStringLiteral("Printing aborted"));
    QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    page.moveTo(0, 0);
    double scale =
        std::min(double(page.width()) / size.width(), double(page.height()) / size.height());
    painter.translate((page.width() - size.width() * scale) / 2, 0);
    painter.scale(scale, scale);
    paint(painter);
    if (!painter.end())
        throw vel::AppError(QStringLiteral("Printing aborted"));
}

void QtDialogs::openInViewer(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtDialogs::ask(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kAppTitle), text,
                    QMessageBox::NoButton, owner);
    box.setObjectName(QStringLiteral("QuestionBox"));
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(QStringLiteral("Ano"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Ne"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<QString> QtDialogs::askText(QWidget* owner, const QString& label,
                                          const QString& text) {
    QInputDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("TextBox"));
    dialog.setWindowTitle(QString::fromUtf8(kAppTitle));
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Zrušit"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

} // namespace ui
