#pragma once
// The reference values file: ten little-endian signed 32-bit integers, 40 bytes.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace vel {

inline constexpr qsizetype kReferenceRecordSize = 40;
using ReferenceValues = std::array<std::int32_t, 10>;

QByteArray encodeReferenceValues(const ReferenceValues& values);
ReferenceValues decodeReferenceValues(const QByteArray& bytes); // at least 40 bytes

// Reads the first 40 bytes of a file; raises the I/O messages.
ReferenceValues readReferenceFile(const QString& path);
// Replaces the file atomically; raises the I/O messages.
void writeReferenceFile(const QString& path, const ReferenceValues& values);

} // namespace vel
