#include "report/ResultCsv.h"

#include "data/CsvRows.h"
#include "overall/OverallRecord.h"
#include "report/ResultTable.h"

#include <QLocale>

namespace vel {

namespace {

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
    addCsvRow(out, QStringList{QStringLiteral("kolo"), QStringLiteral("datum testu")} +
                    resultColumnTitles());
    const auto number = [decimalSeparator](double v) { return shortestReal(v, decimalSeparator); };
    const QString date = record.roundTestDate();
    for (std::size_t i = 0; i < record.instruments.size(); ++i) {
        const QString code = i < codes.size() ? QString::number(codes[i]) : QString();
        addCsvRow(out, QStringList{roundName, date} + resultRow(record.instruments[i], code, number));
    }
    return out;
}

} // namespace vel
