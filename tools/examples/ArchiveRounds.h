#pragma once
// Generated rounds for the archive's tests and benchmark: every text and real a store must
// keep exactly, in rounds of any size, the same round for the same numbers in every process.

#include "archive/ArchiveRecords.h"

#include <QStringList>

#include <vector>

namespace examples {

// Empty, markup, CR and LF, characters outside Windows-1250 and outside the BMP, a NUL,
// quotes and backslashes, 1,000 characters.
QStringList oddTexts();

// The smallest and largest denormals, the smallest normal, the largest finite values, huge
// and tiny exponents, zero, thirds and tenths. Not a negative zero: the archive gives it
// back as zero (ArchiveRecords.h).
std::vector<double> oddReals();

// Round k of generation n, named "kolo <k>", with the given number of sheets and, when
// withResults, results: texts drawn from oddTexts() and count-like numbers, reals from
// oddReals() and random bit patterns (finite), all determined by k and n. The generation
// is kept in programVersion, so that a round read back says which contents it should have.
vel::Round generatedRound(int k, int n, int sheets, bool withResults = true);

// The number of sheets the stress helper gives round k of generation n: 1 to 30.
int stressSheets(int k, int n);

} // namespace examples
