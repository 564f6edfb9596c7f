#include "data/Conversion.h"

#include "data/Errors.h"

#include <QLocale>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace vel {

QChar decimalSeparator() {
    static const QChar sep = [] {
        QString dp = QLocale::system().decimalPoint();
        return dp.isEmpty() ? QChar(u'.') : dp.front();
    }();
    return sep;
}

namespace {
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

[[noreturn]] void notInteger(const QString& text) {
    throw AppError(QStringLiteral("'%1' is not a valid integer value").arg(text),
                   AppError::Kind::Conversion);
}
[[noreturn]] void notFloat(const QString& text) {
    throw AppError(QStringLiteral("'%1' is not a valid floating point value").arg(text),
                   AppError::Kind::Conversion);
}
} // namespace

std::int32_t toInt(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == n)
        notInteger(text);
    std::int64_t value = 0;
    for (; i < n; ++i) {
        if (!isDigit(text[i]))
            notInteger(text);
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > 2147483648LL)
            notInteger(text);
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        notInteger(text);
    return static_cast<std::int32_t>(value);
}

double toFloat(const QString& text, QChar separator) {
    // Unlike the integer conversion, no blanks are allowed around the number.
    qsizetype i = 0;
    const qsizetype n = text.size();
    std::string c; // the number rewritten for the C library
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        c += char(text[i++].unicode());
    int digits = 0;
    while (i < n && isDigit(text[i])) {
        c += char(text[i++].unicode());
        ++digits;
    }
    if (i < n && text[i] == separator) {
        c += '.';
        ++i;
        while (i < n && isDigit(text[i])) {
            c += char(text[i++].unicode());
            ++digits;
        }
    }
    if (digits == 0)
        notFloat(text);
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        c += 'e';
        ++i;
        if (i < n && (text[i] == u'-' || text[i] == u'+'))
            c += char(text[i++].unicode());
        int expDigits = 0;
        while (i < n && isDigit(text[i])) {
            c += char(text[i++].unicode());
            ++expDigits;
        }
        if (expDigits == 0)
            notFloat(text);
    }
    if (i != n)
        notFloat(text);
    // strtod_l in the C locale: underflow gives 0 or a denormal, not an error; only an
    // overflow (an infinite result) makes the text invalid.
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t(0));
    const double v = strtod_l(c.c_str(), nullptr, cLocale);
    if (std::isinf(v))
        notFloat(text);
    return v;
}

} // namespace vel
