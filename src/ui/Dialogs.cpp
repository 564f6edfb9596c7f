#include "ui/Dialogs.h"

#include "data/Errors.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
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

std::optional<QString> runFileDialog(QWidget* owner, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode);
    // Any name is accepted: a file that does not exist is reported when it is opened.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString name = dialog.selectedFiles().constFirst();
    if (name.isEmpty())
        return std::nullopt;
    return name;
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

std::optional<QString> QtDialogs::openFile(QWidget* owner, const QString&) {
    return runFileDialog(owner, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::saveFile(QWidget* owner, const QString&) {
    return runFileDialog(owner, QFileDialog::AcceptSave);
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

} // namespace ui
