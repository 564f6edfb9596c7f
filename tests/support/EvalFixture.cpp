#include "support/EvalFixture.h"

#include "data/Conversion.h"
#include "output/SummaryMode.h"

#include <stdexcept>

namespace testing_support {

QString dec(const char* text) {
    QString s = QString::fromUtf8(text);
    s.replace(u',', vel::decimalSeparator());
    return s;
}

QStringList textLines(std::initializer_list<const char*> lines) {
    QStringList out;
    for (const char* l : lines)
        out << QString::fromUtf8(l);
    return out;
}

void Eval::SetUp() {
    vel::setSummaryMode(false);
    sheet = &ws.addSheet(QStringLiteral("MAT 123"));
}

void Eval::TearDown() {
    vel::setSummaryMode(false);
}

void Eval::prefill() {
    ws.main.clear();
    ws.main.add(QStringLiteral("old main"));
    ws.summary.clear();
    ws.summary.add(QStringLiteral("old summary"));
}

void Eval::setBlanks(const char* a, const char* b, const char* c, const char* d) {
    sheet->count(1, 1) = dec(a);
    sheet->count(1, 2) = dec(b);
    sheet->count(1, 3) = dec(c);
    sheet->count(1, 4) = dec(d);
}

void Eval::setIdealSamples() {
    ws.setReferences({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
    for (int s = 1; s <= 10; ++s)
        sheet->setRow(s + 1, 100 * s, 100 * s, 100 * s, 100 * s);
}

const ui::Series& Eval::series(const char* name) const {
    for (const auto& s : ws.deviation.allSeries())
        if (s->name() == QLatin1String(name))
            return *s;
    throw std::out_of_range(name);
}

} // namespace testing_support
