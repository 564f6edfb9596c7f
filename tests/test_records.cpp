// The two binary records: an instrument's data file and the reference values file.
#include "data/Errors.h"
#include "data/InstrumentFile.h"
#include "data/ReferenceFile.h"

#include <gtest/gtest.h>

using namespace vel;

TEST(InstrumentRecord, LayoutOfCountsAndTexts) {
    // A record written out by hand: counts little-endian from byte 0, replicate-major, and
    // the five texts, each a length byte and its characters, at 208, 229, 245, 261 and 277.
    QByteArray b(kInstrumentRecordSize, 0);
    b[52] = 7;                                  // row 1 of replicate 2
    b[48] = b[49] = b[50] = b[51] = char(0xFF); // row 13 of replicate 1: -1
    b.replace(204, 4, QByteArray("\x01\x02\x00\x00", 4)); // row 13 of replicate 4: 513
    b[208] = 3;
    b.replace(209, 3, "A\xF8Z");
    b[229] = 15;
    b.replace(230, 15, "0123456789ABCDE");
    b[245] = 4;
    b.replace(246, 4, "40 C");
    b[261] = 2;
    b.replace(262, 2, "1.");
    b[277] = 10;
    b.replace(278, 10, "03.12.2026");
    const InstrumentRecord rec = decodeInstrumentRecord(b);
    EXPECT_EQ(rec.count(1, 2), 7);
    EXPECT_EQ(rec.count(13, 1), -1);
    EXPECT_EQ(rec.count(13, 4), 513);
    EXPECT_EQ(rec.id, QStringLiteral("AřZ"));
    EXPECT_EQ(rec.time, "0123456789ABCDE");
    EXPECT_EQ(rec.temperature, "40 C");
    EXPECT_EQ(rec.received, "1.");
    EXPECT_EQ(rec.testDate, "03.12.2026");
    // Written back, the very same bytes.
    EXPECT_EQ(encodeInstrumentRecord(rec), b);
}

TEST(InstrumentRecord, OverlongLengthBytesAreClampedToTheField) {
    QByteArray b(kInstrumentRecordSize, 'x');
    for (int off : {208, 229, 245, 261, 277})
        b[off] = char(0xFF);
    InstrumentRecord rec = decodeInstrumentRecord(b);
    EXPECT_EQ(rec.id.size(), 20);
    EXPECT_EQ(rec.time.size(), 15);
    EXPECT_EQ(rec.testDate.size(), 15);
    EXPECT_FALSE(rec.testDate.contains(QChar(0xFF)));
}

TEST(InstrumentRecord, EncodeDecodeRoundTrip) {
    InstrumentRecord rec;
    for (int i = 0; i < 52; ++i)
        rec.counts[i] = i * 1000 - 26000;
    rec.id = QStringLiteral("Přístroj s dlouhým jménem navíc");
    rec.time = QStringLiteral("12:00");
    rec.testDate = QStringLiteral("1.1.2026");
    QByteArray b = encodeInstrumentRecord(rec);
    ASSERT_EQ(b.size(), kInstrumentRecordSize);
    InstrumentRecord back = decodeInstrumentRecord(b);
    EXPECT_EQ(back.counts, rec.counts);
    EXPECT_EQ(back.id, rec.id.left(20));
    EXPECT_EQ(back.time, rec.time);
    EXPECT_EQ(back.testDate, rec.testDate);
}

TEST(InstrumentRecord, SheetTextsTheFileCannotHold) {
    SheetTexts ok;
    ok.counts.fill(QStringLiteral("7"));
    ok.header[0] = QString(20, u'ž'); // Windows-1250 has it, and 20 fit
    ok.header[4] = QStringLiteral("€ 3.12.2026");
    EXPECT_EQ(decodeInstrumentRecord(encodeInstrumentRecord(recordOfSheet(ok))).id, ok.header[0]);
    // A byte without a character reads as U+FFFD, and a sheet holding it saves back to it.
    SheetTexts odd = ok;
    odd.header[0] = QStringLiteral("\uFFFDCC-01");
    odd.header[1] = QStringLiteral("a\uFFFD\uFFFDb");
    const QByteArray bytes = encodeInstrumentRecord(recordOfSheet(odd));
    EXPECT_EQ(bytes.mid(208, 7), QByteArray("\x06\x81" "CC-01"));
    EXPECT_EQ(decodeInstrumentRecord(bytes).time, odd.header[1]);

    struct Case {
        int header; // or -1 for the count of sample 2, replicate 3
        QString text;
        QString message;
    };
    const Case cases[] = {
        {0, QString(21, u'a'), "Text pole „id stroje“ má 21 znaků; soubor přístroje jich pojme nejvýše 20."},
        {2, QStringLiteral("40 \u00B0C \u4E2D"),
         "Pole „teplota“ obsahuje znak „\u4E2D“, který soubor přístroje nedokáže uložit (kódování Windows-1250)."},
        {3, QStringLiteral("x\U0001F600"),
         "Pole „datum přijetí“ obsahuje znak „\U0001F600“, který soubor přístroje nedokáže uložit (kódování Windows-1250)."},
        {-1, QStringLiteral("1,5"), "Pole „vzorek 2, náběr 3“ neobsahuje celé číslo: „1,5“."},
        {-1, QStringLiteral("2147483648"), "Pole „vzorek 2, náběr 3“ neobsahuje celé číslo: „2147483648“."},
    };
    for (const Case& c : cases) {
        SheetTexts t = ok;
        (c.header >= 0 ? t.header[c.header] : t.counts[countIndex(3, 3)]) = c.text;
        QString got;
        try {
            recordOfSheet(t);
        } catch (const AppError& e) {
            got = e.message();
        }
        EXPECT_EQ(got, c.message);
    }
}

TEST(ReferenceRecord, LittleEndianIntegers) {
    ReferenceValues v{};
    for (int k = 0; k < 10; ++k)
        v[k] = 100 * (k + 1);
    QByteArray b = encodeReferenceValues(v);
    ASSERT_EQ(b.size(), 40);
    EXPECT_EQ(b.mid(0, 4), QByteArray("\x64\x00\x00\x00", 4));
    EXPECT_EQ(b.mid(36, 4), QByteArray("\xE8\x03\x00\x00", 4));
    v[3] = -2;
    EXPECT_EQ(encodeReferenceValues(v).mid(12, 4), QByteArray("\xFE\xFF\xFF\xFF", 4));
    EXPECT_EQ(decodeReferenceValues(encodeReferenceValues(v)), v);
}
