#include "data/InstrumentFile.h"

#include "data/Cp1250.h"
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

QString readText(const QByteArray& b, TextField f) {
    int len = std::min<int>(static_cast<unsigned char>(b.at(f.offset)), f.capacity);
    return fromCp1250(b.mid(f.offset + 1, len));
}

void writeText(QByteArray& b, TextField f, const QString& text) {
    QByteArray bytes = toCp1250(text).left(f.capacity);
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

InstrumentRecord readInstrumentFile(const QString& path) {
    return decodeInstrumentRecord(readRecord(path, kInstrumentRecordSize));
}

} // namespace vel
