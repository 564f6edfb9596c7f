#include "ui/Dialogs.h"

#include "data/Errors.h"
#include "data/FileNames.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QUrl>

#include <memory>

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

// The file dialog named dialogName of the owner's window. Each window keeps its dialogs as
// its own components for the whole run (three windows name theirs "SaveDialog1"), so a
// dialog remembers the file it was last given. Without an owner the dialog lasts one call.
QFileDialog* windowDialog(QWidget* owner, const QString& dialogName,
                          std::unique_ptr<QFileDialog>& oneOff) {
    QWidget* window = owner ? owner->window() : nullptr;
    if (!window) {
        oneOff = std::make_unique<QFileDialog>();
        return oneOff.get();
    }
    if (auto* dialog = window->findChild<QFileDialog*>(dialogName, Qt::FindDirectChildrenOnly))
        return dialog;
    auto* dialog = new QFileDialog(window);
    dialog->setObjectName(dialogName);
    return dialog;
}

// Name of the dynamic property that holds the absolute path a dialog was last given.
constexpr const char* kLastFile = "lastFile";

std::optional<QString> runFileDialog(QWidget* owner, const QString& dialogName,
                                     QFileDialog::AcceptMode mode) {
    std::unique_ptr<QFileDialog> oneOff;
    QFileDialog& dialog = *windowDialog(owner, dialogName, oneOff);
    dialog.setAcceptMode(mode);
    // Any name is accepted: a file that does not exist is reported when it is opened.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // It opens in the folder of the file it was last given, browsed or typed, with that
    // file's name; a dialog not used yet opens in the working folder.
    const QString last = dialog.property(kLastFile).toString();
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString name = dialog.selectedFiles().constFirst();
    if (name.isEmpty())
        return std::nullopt;
    dialog.setProperty(kLastFile, QFileInfo(name).absoluteFilePath());
    // The dialog shows a name that is not valid UTF-8 with U+FFFD in it; the file is
    // opened under its real name.
    return vel::realFileName(name);
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
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kAppTitle), text, QMessageBox::NoButton,
                    owner);
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
