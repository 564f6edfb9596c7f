#include "support/TestSupport.h"

#include "data/Errors.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <stdexcept>

namespace testing_support {

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const QString& name) {
    dialogNames << name;
    if (files.empty())
        throw std::logic_error("unexpected open dialog " + name.toStdString());
    auto f = files.front();
    files.pop_front();
    return f;
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget* w, const QString& name) {
    return openFile(w, name);
}

void ScriptedDialogs::print(const QString& docName, QSize size, const ui::PagePainter& paint) {
    if (!printError.isEmpty())
        throw vel::AppError(printError);
    printedDocs << docName;
    if (printToPdf.isEmpty())
        return;
    QPdfWriter pdf(printToPdf);
    pdf.setTitle(docName);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    QPainter p(&pdf);
    double scale =
        std::min(double(pdf.width()) / size.width(), double(pdf.height()) / size.height());
    p.scale(scale, scale);
    paint(p);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

} // namespace testing_support
