// Text to values and back: the number format of the output lines, the conversions of the
// fields, and Windows-1250.
#include "data/Conversion.h"
#include "data/Cp1250.h"
#include "data/Errors.h"
#include "output/NumberFormat.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <cstdint>
#include <limits>

using namespace vel;
using testing_support::errorOf;

namespace {
QString fmt(double v) {
    return formatGeneral(v, u',');
}

} // namespace

TEST(NumberFormat, TableOfTheOutputLines) {
    EXPECT_EQ(fmt(2), "2");
    EXPECT_EQ(fmt(2.25), "2,25");
    EXPECT_EQ(fmt(12.345), "12,3");
    EXPECT_EQ(fmt(0.5), "0,5");
    EXPECT_EQ(fmt(100), "100");
    EXPECT_EQ(fmt(999.4), "999");
    EXPECT_EQ(fmt(999.6), "1E003");
    EXPECT_EQ(fmt(1234), "1,23E003");
    EXPECT_EQ(fmt(0.0001234), "0,000123");
    EXPECT_EQ(fmt(0.00001234), "1,23E-005");
    EXPECT_EQ(fmt(-3.14159), "-3,14");
    EXPECT_EQ(fmt(0), "0");
    EXPECT_EQ(fmt(1000), "1E003");
    EXPECT_EQ(fmt(12345.6), "1,23E004");
    EXPECT_EQ(fmt(0.0000123), "1,23E-005");
    EXPECT_EQ(fmt(6.0 + 2.0 / 3.0), "6,67");
    EXPECT_EQ(fmt(1e300), "1E300");
    EXPECT_EQ(fmt(-2.5e-7), "-2,5E-007");
}

TEST(NumberFormat, HalvesRoundAwayFromZeroOnTheExactValue) {
    EXPECT_EQ(fmt(1.125), "1,13"); // exactly representable tie
    EXPECT_EQ(fmt(-1.125), "-1,13");
    EXPECT_EQ(fmt(100.5), "101");
    EXPECT_EQ(fmt(999.5), "1E003");
    EXPECT_EQ(fmt(0.00009995), "0,0001");
    EXPECT_EQ(fmt(2.675), "2,67"); // stored just below 2.675
    EXPECT_EQ(fmt(0.0001), "0,0001");
    EXPECT_EQ(fmt(0.00009994), "9,99E-005");
    EXPECT_EQ(fmt(9.995), "9,99"); // stored below the tie
    EXPECT_EQ(fmt(99.95), "100");  // stored above the tie
}

TEST(NumberFormat, UsesTheGivenSeparator) {
    EXPECT_EQ(formatGeneral(2.25, u'.'), "2.25");
    EXPECT_EQ(formatGeneral(1234, u'.'), "1.23E003");
}

TEST(Conversion, IntegerAcceptsSignedDecimalsInRange) {
    EXPECT_EQ(toInt("0"), 0);
    EXPECT_EQ(toInt("  -42"), -42);
    EXPECT_EQ(toInt("+7"), 7);
    EXPECT_EQ(toInt("2147483647"), 2147483647);
    EXPECT_EQ(toInt("-2147483648"), std::numeric_limits<std::int32_t>::min());
    for (const char* bad : {"", " ", "12,5", "12.5", "abc", "99999999999", "2147483648",
                            "-2147483649", "12 ", "1e3", "-", "0x10"})
        EXPECT_EQ(errorOf([&] { toInt(QString::fromUtf8(bad)); }),
                  QStringLiteral("'%1' is not a valid integer value").arg(QString::fromUtf8(bad)))
            << bad;
}

TEST(Conversion, FloatUsesTheDecimalSeparator) {
    EXPECT_DOUBLE_EQ(toFloat("2,5", u','), 2.5);
    EXPECT_DOUBLE_EQ(toFloat("-1,5E2", u','), -150);
    EXPECT_DOUBLE_EQ(toFloat("+1,5", u','), 1.5);
    EXPECT_DOUBLE_EQ(toFloat("1,5E+2", u','), 150);
    EXPECT_DOUBLE_EQ(toFloat("7", u','), 7);
    EXPECT_DOUBLE_EQ(toFloat(",5", u','), 0.5);
    EXPECT_DOUBLE_EQ(toFloat("2.5", u'.'), 2.5);
    EXPECT_EQ(toFloat("1e-400", u','), 0); // underflow is no error
    EXPECT_GT(toFloat("1,5E-320", u','), 0);
    for (const char* bad : {"", "2.5", "abc", "1e", "1,2,3", "1e999", "--1", " 2,5", "2,5 ", "\t1"})
        EXPECT_EQ(
            errorOf([&] { toFloat(QString::fromUtf8(bad), u','); }),
            QStringLiteral("'%1' is not a valid floating point value").arg(QString::fromUtf8(bad)))
            << bad;
}

TEST(Cp1250, CzechLettersAreSingleBytes) {
    QByteArray b = toCp1250(QStringLiteral("řěŘĚ°"));
    EXPECT_EQ(b, QByteArray("\xF8\xEC\xD8\xCC\xB0"));
    EXPECT_EQ(fromCp1250(b), QStringLiteral("řěŘĚ°"));
    EXPECT_EQ(toCp1250(QStringLiteral("a☃b😀c")), QByteArray("a?b?c"));
}

// Every byte both ways, against the upper half written out as characters. The five bytes
// without a character read as U+FFFD and are written back as "?".
TEST(Cp1250, AllBytesBothWays) {
    const QString upper = QStringLiteral(
        "€\uFFFD‚\uFFFD„…†‡\uFFFD‰Š‹ŚŤŽŹ\uFFFD‘’“”•–—\uFFFD™š›śťžź\u00A0ˇ˘Ł¤Ą¦§¨©Ş«¬\u00AD®Ż"
        "°±˛ł´µ¶·¸ąş»Ľ˝ľżŔÁÂĂÄĹĆÇČÉĘËĚÍÎĎĐŃŇÓÔŐÖ×ŘŮÚŰÜÝŢßŕáâăäĺćçčéęëěíîďđńňóôőö÷řůúűüýţ˙");
    ASSERT_EQ(upper.size(), 128);
    QByteArray all(256, 0);
    QString expected;
    for (int i = 0; i < 256; ++i) {
        all[i] = char(i);
        expected += i < 128 ? QChar(i) : upper.at(i - 128);
    }
    const QString decoded = fromCp1250(all);
    EXPECT_EQ(decoded, expected);
    QByteArray back = all;
    for (int undefinedByte : {0x81, 0x83, 0x88, 0x90, 0x98})
        back[undefinedByte] = '?';
    EXPECT_EQ(toCp1250(decoded), back);
}
