#include "report/ResultCsv.h"

#include "overall/OverallRecord.h"
#include "report/ResultTable.h"

#include <QLocale>

namespace vel {

namespace {

QString field(const QString& text) {
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
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

QByteArray resultCsv(const OverallRecord& record, QChar decimalSeparator) {
    QByteArray out("\xEF\xBB\xBF");
    addRow(out, resultColumnTitles());
    const auto number = [decimalSeparator](double v) { return shortestReal(v, decimalSeparator); };
    for (const InstrumentOutcome& o : record.instruments)
        addRow(out, resultRow(o, number));
    return out;
}

} // namespace vel
