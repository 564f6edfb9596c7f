#pragma once
// The data of a complete proficiency test: ten reference values and six instruments whose
// readings differ from the reference values by a fixed error per replicate.

#include "data/InstrumentFile.h"
#include "data/ReferenceFile.h"

#include <QString>

#include <array>
#include <vector>

namespace examples {

// 100, 200, ..., 1000.
vel::ReferenceValues referenceValues();

// Builds one instrument: sample k, replicate j reads reference(k) + errors[j - 1];
// water rows as given.
vel::InstrumentRecord makeInstrument(const QString& id, const std::array<int, 4>& errors,
                                     const std::array<int, 4>& blank,
                                     const std::array<int, 4>& water1,
                                     const std::array<int, 4>& water2);

// The six instruments of the example test. Instrument 3 has a blank above 8, instrument 4
// a carry-over above 2 %.
std::vector<vel::InstrumentRecord> instruments();

// Instrument i (from 0) of a generated round of any size, "BENCH-<i + 1>": one of the six
// example patterns of errors, shifted a little per group of six so that every instrument
// differs (the benchmarks' rounds).
vel::InstrumentRecord generatedInstrument(int i);

// File names in examples/ for instrument i (1..6) and for the reference values.
QString instrumentFileName(int i);
QString referenceFileName();

// Writes the six instrument files and the reference values file into dir.
void writeExamples(const QString& dir);

} // namespace examples
