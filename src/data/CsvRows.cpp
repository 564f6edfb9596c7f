#include "data/CsvRows.h"

namespace vel {

namespace {

QString field(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            c = u' ';
    if (!out.contains(u';') && !out.contains(u'"'))
        return out;
    out.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

} // namespace

void addCsvRow(QByteArray& out, const QStringList& fields) {
    QStringList cells;
    for (const QString& f : fields)
        cells << field(f);
    out += cells.join(u';').toUtf8();
    out += "\r\n";
}

} // namespace vel
