#include "report/ResultCsv.h"

#include "overall/OverallRecord.h"
#include "report/ResultTable.h"

#include <QLocale>

namespace vel {

namespace {

// A CR, LF or NUL within a text becomes a blank, as in the program's other outputs, so
// that every row is one line; a semicolon or a quotation mark gets the field quoted.
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

void addRow(QByteArray& out, const QStringList& fields) {
    QStringList cells;
    for (const QString& f : fields)
        cells << field(f);
    out += cells.join(u';').toUtf8();
    out += "\r\n";
}

// The shortest text of value that reads back to the same double, with the given separator.
QString shortestReal(double value, QChar decimalSeparator) {
    // The C locale's shortest round-trip form ("2.0519", "4.8482e-05"), then the separator.
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    text.replace(u'.', decimalSeparator);
    return text;
}

} // namespace

QByteArray resultCsv(const OverallRecord& record, QChar decimalSeparator, const QString& roundName,
                     const std::vector<int>& codes) {
    QByteArray out("\xEF\xBB\xBF");
    addRow(out, QStringList{QStringLiteral("kolo"), QStringLiteral("datum testu")} +
                    resultColumnTitles());
    const auto number = [decimalSeparator](double v) { return shortestReal(v, decimalSeparator); };
    const QString date = record.roundTestDate();
    for (std::size_t i = 0; i < record.instruments.size(); ++i) {
        const QString code = i < codes.size() ? QString::number(codes[i]) : QString();
        addRow(out, QStringList{roundName, date} + resultRow(record.instruments[i], code, number));
    }
    return out;
}

} // namespace vel
