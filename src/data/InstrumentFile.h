#pragma once
// The instrument data file: one 296-byte record of 52 counts and five short texts.

#include "data/SheetGeometry.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace vel {

inline constexpr qsizetype kInstrumentRecordSize = 296;

struct InstrumentRecord {
    // Replicate-major (countIndex).
    std::array<std::int32_t, kCounts> counts{};
    QString id;   // up to 20 characters
    QString time; // up to 15 characters each
    QString temperature;
    QString received;
    QString testDate;

    std::int32_t& count(int r, int c) { return counts[countIndex(r, c)]; }
    std::int32_t count(int r, int c) const { return counts[countIndex(r, c)]; }
};

// Decodes a record of at least 296 bytes. A length byte above its field's capacity is
// taken as the capacity, so no text is read from outside its own field.
InstrumentRecord decodeInstrumentRecord(const QByteArray& bytes);

// Encodes a record (texts in Windows-1250, cut to their capacity, padding zero). Used by
// the example generator and the tests; the program itself never writes this format.
QByteArray encodeInstrumentRecord(const InstrumentRecord& rec);

// Reads the first record of a file; raises the I/O messages.
InstrumentRecord readInstrumentFile(const QString& path);

} // namespace vel
