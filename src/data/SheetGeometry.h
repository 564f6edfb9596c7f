#pragma once
// The shape of an instrument's data: 13 rows (row 1 the water blank, rows 2 to 11 the
// samples 1 to 10, rows 12 and 13 water after the samples) by 4 replicate intakes, and
// how the 52 counts are numbered wherever they are kept (file record, sheet record,
// HTML export).

#include <QString>

namespace vel {

inline constexpr int kRows = 13;
inline constexpr int kReplicates = 4;
inline constexpr int kCounts = kRows * kReplicates;

// Replicate-major: the 13 rows of replicate 1, then those of replicate 2, and so on; row
// r (1..13), replicate c (1..4) is entry 13 (c - 1) + (r - 1), counted from 0.
constexpr int countIndex(int r, int c) {
    return kRows * (c - 1) + (r - 1);
}

// The name of the count field of row r, replicate c, e.g. "vzorek 3, náběr 2" (its
// accessible name, and how messages name it).
inline QString countFieldName(int r, int c) {
    QString row;
    if (r == 1)
        row = QStringLiteral("slepý pokus");
    else if (r <= 11)
        row = QStringLiteral("vzorek %1").arg(r - 1);
    else
        row = QStringLiteral("voda %1").arg(r - 11);
    return QStringLiteral("%1, náběr %2").arg(row).arg(c);
}

// The label of row r: "w" for the water rows (1, 12, 13), else the sample number.
inline QString rowLabel(int r) {
    return r == 1 || r >= 12 ? QStringLiteral("w") : QString::number(r - 1);
}

} // namespace vel
