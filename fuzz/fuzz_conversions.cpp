// Field conversions and the number format on arbitrary text and arbitrary doubles.
//
// The input is used three ways: its first 8 bytes as the bit pattern of a double for the
// number format; the whole input as UTF-8 text; and the whole input mapped byte by byte
// onto the characters a number is made of, which reaches the interesting texts much sooner.
// Each text goes through toInt and toFloat with both separators, and every value toFloat
// accepts goes through the number format too.
#include "FuzzSupport.h"

#include "data/Conversion.h"
#include "output/NumberFormat.h"

#include <QHash>
#include <QRegularExpression>
#include <QString>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using fuzz::expect;

namespace {

QString show(const QString& text) {
    // Short enough to read in a crash report.
    return text.size() > 80 ? text.left(80) + QStringLiteral("...") : text;
}

QString show(double v) {
    return QString::number(v, 'g', 17);
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// --- toInt -----------------------------------------------------------------------------
// Accepted: blanks, an optional sign, ASCII digits, nothing after; the value within 32 bits.
void checkToInt(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    bool valid = i < text.size();
    for (qsizetype k = i; k < text.size(); ++k)
        valid = valid && isDigit(text[k]);
    std::int64_t expected = 0;
    if (valid) {
        while (i < text.size() - 1 && text[i] == u'0')
            ++i;
        if (text.size() - i > 10) {
            valid = false;
        } else {
            for (; i < text.size(); ++i)
                expected = expected * 10 + (text[i].unicode() - u'0');
            if (negative)
                expected = -expected;
            valid = expected >= INT32_MIN && expected <= INT32_MAX;
        }
    }

    std::int32_t got = 0;
    QString err = fuzz::appErrorOf([&] { got = vel::toInt(text); });
    if (valid) {
        expect(err.isNull(), QStringLiteral("toInt(\"%1\") failed: %2").arg(show(text), show(err)));
        expect(got == expected, QStringLiteral("toInt(\"%1\") = %2, expected %3")
                                    .arg(show(text))
                                    .arg(got)
                                    .arg(expected));
    } else {
        expect(err == QStringLiteral("'") + text + QStringLiteral("' is not a valid integer value"),
               QStringLiteral("toInt(\"%1\"): wrong error \"%2\"").arg(show(text), show(err)));
    }
}

// --- formatGeneral ---------------------------------------------------------------------
// One compiled pattern per separator (only "," and "." are used). The patterns end in \z:
// "$" would also match before a final line break.
const QRegularExpression& pattern(const char* text, QChar sep) {
    static QHash<QString, QRegularExpression> cache;
    QString key = QString::fromLatin1(text).arg(sep);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, QRegularExpression(key));
    return *it;
}
const QRegularExpression& plainPattern(QChar sep) {
    return pattern("^-?(0|[1-9][0-9]{0,2})(\\%1[0-9]*[1-9])?\\z", sep);
}
const QRegularExpression& exponentPattern(QChar sep) {
    return pattern("^-?[1-9](\\%1[0-9]?[1-9])?E-?[0-9]{3}\\z", sep);
}

// Significant digits of a plain number: "0,00123" has 3, "120" has 3, "100" has 1.
int significantDigits(const QString& s) {
    QString digits;
    for (QChar c : s)
        if (isDigit(c))
            digits += c;
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    return int(digits.size());
}

void checkFormat(double value, QChar sep) {
    const QString s = vel::formatGeneral(value, sep);
    const QString what =
        QStringLiteral("formatGeneral(%1, '%2') = \"%3\"").arg(show(value)).arg(sep).arg(s);
    expect(!s.contains(QStringLiteral("nan"), Qt::CaseInsensitive) &&
               !s.contains(QStringLiteral("inf"), Qt::CaseInsensitive),
           what + QStringLiteral(": not a number"));
    if (value == 0 || !std::isfinite(value)) {
        expect(s == QStringLiteral("0"), what);
        return;
    }
    const bool plain = plainPattern(sep).match(s).hasMatch();
    const bool exponent = exponentPattern(sep).match(s).hasMatch();
    expect(plain || exponent, what + QStringLiteral(": not in the format"));
    if (plain)
        expect(significantDigits(s) <= 3,
               what + QStringLiteral(": more than 3 significant digits"));
    expect(s.startsWith(u'-') == std::signbit(value), what + QStringLiteral(": wrong sign"));

    // Back to a number: within half a unit of the third significant digit of the value.
    std::string c = s.toStdString();
    for (char& ch : c)
        if (ch == char(sep.unicode()))
            ch = '.';
    char* end = nullptr;
    long double back = std::strtold(c.c_str(), &end);
    expect(end && *end == '\0', what + QStringLiteral(": does not read back"));
    long double v = value;
    long double tol = 0.005L * std::fabs(v) * (1 + 1e-12L);
    expect(std::fabs(back - v) <= tol, what + QStringLiteral(": too far from the value"));
    long double mag = std::fabs(back);
    if (plain)
        expect(mag >= 0.0001L && mag <= 999, what + QStringLiteral(": plain outside 0.0001..999"));
    else
        expect(mag < 0.0001L || mag >= 1000,
               what + QStringLiteral(": exponent inside 0.0001..999"));
}

void checkFormat(double value) {
    checkFormat(value, u',');
    checkFormat(value, u'.');
    QString a = vel::formatGeneral(value, u',');
    QString b = vel::formatGeneral(value, u'.');
    expect(a.replace(u',', u'.') == b,
           QStringLiteral("the separator changes more than itself for %1").arg(show(value)));
}

// --- toFloat ---------------------------------------------------------------------------
// Accepted: blanks, an optional sign, digits with at most one separator and at least one
// digit, an optional exponent with digits, blanks. The value is the correctly rounded
// double; a magnitude too large for a double is refused, and so may be a nonzero number
// too small to be anything but zero.
void checkToFloat(const QString& text, QChar sep) {
    const QRegularExpression& grammar =
        pattern("^[+-]?([0-9]+(\\%1[0-9]*)?|\\%1[0-9]+)([eE][+-]?[0-9]+)?\\z", sep);
    bool valid = grammar.match(text).hasMatch();
    bool mayRefuse = false;
    double expected = 0;
    if (valid) {
        std::string c = text.toStdString();
        for (char& ch : c)
            if (ch == char(sep.unicode()))
                ch = '.';
        errno = 0;
        expected = std::strtod(c.c_str(), nullptr);
        if (std::isinf(expected))
            valid = false; // too large
        else if (errno == ERANGE && expected == 0)
            mayRefuse = true; // nonzero below the smallest denormal
    }

    double got = 0;
    QString err = fuzz::appErrorOf([&] { got = vel::toFloat(text, sep); });
    const QString what = QStringLiteral("toFloat(\"%1\", '%2')").arg(show(text)).arg(sep);
    if (valid && !(mayRefuse && !err.isNull())) {
        expect(err.isNull(), what + QStringLiteral(" failed: ") + show(err));
        expect(got == expected && std::signbit(got) == std::signbit(expected),
               what + QStringLiteral(" = %1, expected %2").arg(show(got), show(expected)));
        checkFormat(got);
    } else {
        expect(err == QStringLiteral("'") + text +
                          QStringLiteral("' is not a valid floating point value"),
               what + QStringLiteral(": wrong error \"%1\"").arg(show(err)));
    }
}

void checkText(const QString& text) {
    checkToInt(text);
    checkToFloat(text, u',');
    checkToFloat(text, u'.');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof(double)) {
        double v;
        std::memcpy(&v, data, sizeof v);
        checkFormat(v);
    }
    checkText(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));

    static const char16_t kAlphabet[] = u" \t+-0123456789,.eE0123456789";
    constexpr std::size_t kLetters = sizeof kAlphabet / sizeof kAlphabet[0] - 1;
    QString mapped;
    mapped.reserve(qsizetype(size));
    for (std::size_t i = 0; i < size; ++i)
        mapped += QChar(kAlphabet[data[i] % kLetters]);
    checkText(mapped);
    return 0;
}
