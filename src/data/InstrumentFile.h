#pragma once
// The instrument data file: one 296-byte record of 52 counts and five short texts.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace vel {

inline constexpr qsizetype kInstrumentRecordSize = 296;

struct InstrumentRecord {
    // Replicate-major: counts[13 * (c - 1) + (r - 1)] is row r (1..13), replicate c (1..4).
    std::array<std::int32_t, 52> counts{};
    QString id;   // up to 20 characters
    QString time; // up to 15 characters each
    QString temperature;
    QString received;
    QString testDate;

    std::int32_t& count(int r, int c) { return counts[13 * (c - 1) + (r - 1)]; }
    std::int32_t count(int r, int c) const { return counts[13 * (c - 1) + (r - 1)]; }
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
