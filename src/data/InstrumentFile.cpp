#include "data/InstrumentFile.h"

#include "data/Conversion.h"
#include "data/Cp1250.h"
#include "data/Errors.h"
#include "data/FileIo.h"

#include <QtEndian>

namespace vel {

namespace {
struct TextField {
    int offset;
    int capacity;
};
constexpr TextField kId{208, 20}, kTime{229, 15}, kTemperature{245, 15}, kReceived{261, 15},
    kTestDate{277, 15};
constexpr std::array<TextField, 5> kHeaderFields{kId, kTime, kTemperature, kReceived, kTestDate};

QString readText(const QByteArray& b, TextField f) {
    int len = std::min<int>(static_cast<unsigned char>(b.at(f.offset)), f.capacity);
    return fromCp1250(b.mid(f.offset + 1, len));
}

// A text in the record's bytes. U+FFFD, which a byte without a Windows-1250 character reads
// as, is written as such a byte (0x81), so that it reads back as it was.
QByteArray textBytes(const QString& text) {
    QByteArray bytes = toCp1250(text);
    if (text.contains(QChar::ReplacementCharacter)) {
        qsizetype at = 0;
        for (qsizetype k = 0; k < text.size(); ++k, ++at) {
            if (text[k] == QChar::ReplacementCharacter)
                bytes[at] = char(0x81);
            else if (text[k].isHighSurrogate() && k + 1 < text.size() &&
                     text[k + 1].isLowSurrogate())
                ++k; // a pair is one "?"
        }
    }
    return bytes;
}

void writeText(QByteArray& b, TextField f, const QString& text) {
    QByteArray bytes = textBytes(text).left(f.capacity);
    b[f.offset] = char(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        b[f.offset + 1 + i] = bytes.at(i);
}
} // namespace

InstrumentRecord decodeInstrumentRecord(const QByteArray& bytes) {
    Q_ASSERT(bytes.size() >= kInstrumentRecordSize);
    InstrumentRecord rec;
    for (int i = 0; i < kCounts; ++i)
        rec.counts[i] = qFromLittleEndian<std::int32_t>(bytes.constData() + 4 * i);
    rec.id = readText(bytes, kId);
    rec.time = readText(bytes, kTime);
    rec.temperature = readText(bytes, kTemperature);
    rec.received = readText(bytes, kReceived);
    rec.testDate = readText(bytes, kTestDate);
    return rec;
}

QByteArray encodeInstrumentRecord(const InstrumentRecord& rec) {
    QByteArray b(kInstrumentRecordSize, 0);
    for (int i = 0; i < kCounts; ++i)
        qToLittleEndian<std::int32_t>(rec.counts[i], b.data() + 4 * i);
    writeText(b, kId, rec.id);
    writeText(b, kTime, rec.time);
    writeText(b, kTemperature, rec.temperature);
    writeText(b, kReceived, rec.received);
    writeText(b, kTestDate, rec.testDate);
    return b;
}

const std::array<const char*, 5> kHeaderFieldNames{"id stroje", "čas měření", "teplota",
                                                   "datum přijetí", "datum testu"};

InstrumentRecord recordOfSheet(const SheetTexts& texts) {
    InstrumentRecord rec;
    QString* header[5] = {&rec.id, &rec.time, &rec.temperature, &rec.received, &rec.testDate};
    for (int i = 0; i < 5; ++i) {
        const QString& text = texts.header[i];
        const QString field = QString::fromUtf8(kHeaderFieldNames[i]);
        for (qsizetype k = 0; k < text.size(); ++k) {
            // One character: a surrogate pair counts as one.
            const qsizetype n = text[k].isHighSurrogate() && k + 1 < text.size() ? 2 : 1;
            const QString c = text.mid(k, n);
            if (fromCp1250(textBytes(c)) != c)
                throw AppError(QStringLiteral("Pole „%1“ obsahuje znak „%2“, který soubor "
                                              "přístroje nedokáže uložit (kódování Windows-1250).")
                                   .arg(field, c));
            k += n - 1;
        }
        if (text.size() > kHeaderFields[i].capacity)
            throw AppError(QStringLiteral("Text pole „%1“ má %2 znaků; soubor přístroje jich "
                                          "pojme nejvýše %3.")
                               .arg(field)
                               .arg(text.size())
                               .arg(kHeaderFields[i].capacity));
        *header[i] = text;
    }
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kReplicates; ++c) {
            const QString& text = texts.counts[countIndex(r, c)];
            try {
                rec.count(r, c) = toInt(text);
            } catch (const AppError&) {
                throw AppError(QStringLiteral("Pole „%1“ neobsahuje celé číslo: „%2“.")
                                   .arg(countFieldName(r, c), text));
            }
        }
    return rec;
}

InstrumentRecord readInstrumentFile(const QString& path) {
    return decodeInstrumentRecord(readRecord(path, kInstrumentRecordSize));
}

} // namespace vel
