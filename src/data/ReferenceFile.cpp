#include "data/ReferenceFile.h"

#include "data/FileIo.h"

#include <QtEndian>

namespace vel {

QByteArray encodeReferenceValues(const ReferenceValues& values) {
    QByteArray b(kReferenceRecordSize, 0);
    for (int k = 0; k < 10; ++k)
        qToLittleEndian<std::int32_t>(values[k], b.data() + 4 * k);
    return b;
}

ReferenceValues decodeReferenceValues(const QByteArray& bytes) {
    Q_ASSERT(bytes.size() >= kReferenceRecordSize);
    ReferenceValues v{};
    for (int k = 0; k < 10; ++k)
        v[k] = qFromLittleEndian<std::int32_t>(bytes.constData() + 4 * k);
    return v;
}

ReferenceValues readReferenceFile(const QString& path) {
    return decodeReferenceValues(readRecord(path, kReferenceRecordSize));
}

void writeReferenceFile(const QString& path, const ReferenceValues& values) {
    writeWholeFile(path, encodeReferenceValues(values), WriteErrors::Io);
}

} // namespace vel
