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

// Encodes a record (texts in Windows-1250, cut to their capacity; every byte that the
// format does not read, past each text and the alignment, is zero).
QByteArray encodeInstrumentRecord(const InstrumentRecord& rec);

// The texts of a sheet's fields: the header in the record's order (identifier, time of
// measurement, temperature, date received, test date), then the 52 counts (countIndex).
struct SheetTexts {
    std::array<QString, 5> header;
    std::array<QString, kCounts> counts;
};
// The names of the header fields, in that order.
extern const std::array<const char*, 5> kHeaderFieldNames;

// The record that gives back these texts when read, for "uložit test". Raises a message
// naming the field when a header text is longer than its field in the file or holds a
// character that Windows-1250 has no byte for, or when a count is not a 32-bit integer.
InstrumentRecord recordOfSheet(const SheetTexts& texts);

// Reads the first record of a file; raises the I/O messages.
InstrumentRecord readInstrumentFile(const QString& path);

} // namespace vel
