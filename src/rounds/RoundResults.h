#pragma once
// The results of an overall test as the archive keeps them, and the texts of the plural of
// "přístroj" that the messages about rounds need.

#include "archive/ArchiveRecords.h"

#include <QString>

namespace vel {

struct OverallRecord;

RoundResults roundResultsOf(const OverallRecord& record);

// "1 přístroj", "3 přístroje", "6 přístrojů".
QString instrumentCount(int n);

// Whether two rounds hold the same texts: the reference fields, and the sheets in the same
// order with the same captions and field texts (participant codes aside).
bool sameTexts(const Round& a, const Round& b);

} // namespace vel
