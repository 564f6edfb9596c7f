#pragma once
// Between the program and the archive's records: the results of an overall test and a
// sheet's texts as the archive keeps them; and the plural of "přístroj" that the messages
// about rounds need.

#include "archive/ArchiveRecords.h"
#include "data/InstrumentFile.h"

#include <QString>

namespace vel {

struct OverallRecord;

RoundResults roundResultsOf(const OverallRecord& record);

// A sheet with that caption and these field texts (no participant code yet), and back.
Sheet sheetOf(const QString& caption, const SheetTexts& texts);
SheetTexts textsOf(const Sheet& sheet);

// What is wrong with a round's name for storing it, or empty: it must not be blank, longer
// than 100 characters, or hold a tab, a line break or another control character (a name is
// one field of a line of velimor-report --list).
QString roundNameProblem(const QString& name);

// "1 přístroj", "3 přístroje", "6 přístrojů".
QString instrumentCount(int n);

// Whether two rounds hold the same texts: the reference fields, and the sheets in the same
// order with the same captions and field texts (participant codes aside).
bool sameTexts(const Round& a, const Round& b);

} // namespace vel
