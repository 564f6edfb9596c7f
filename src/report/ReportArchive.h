#pragma once
// velimor-report's side of the archive of rounds: the round information of an INFO.json
// file, the round that a run on the workspace makes for storing, the workspace of a stored
// round, and the lines of --list.
//
// INFO.json is one JSON object with the keys "provider", "coordinator", "samples",
// "reference_origin", "comment" (texts), "status" ("preliminary" or "final") and
// "issue_date" (YYYY-MM-DD), all optional; any other key, or a value of another kind, is
// refused with a message naming the file and the key.

#include "archive/ArchiveRecords.h"
#include "report/FileWorkspace.h"

#include <QByteArray>
#include <QString>

namespace vel {

struct OverallRecord;

// Round information from the file at path; the issue date is today's when not given.
RoundInfo readRoundInfo(const QString& path);
// The same from the file's bytes; path only names it in messages.
RoundInfo parseRoundInfo(const QByteArray& json, const QString& path);

// The round of the workspace as the window would store it after the overall test that left
// record: sheets with their captions and texts, codes taken from `codes` (by position;
// 0 where missing), reference texts, test date and results.
Round roundOfWorkspace(const FileWorkspace& ws, const OverallRecord& record,
                       const std::vector<int>& codes = {});

// The workspace holding a stored round's sheets and reference texts.
FileWorkspace workspaceOfRound(const Round& round);

// The round with every instrument named by its participant code: "id stroje" and the tab
// caption hold the code and nothing else, so that a test run on it names no instrument.
Round anonymousRound(const Round& round);

// The overall test run on the workspace of a stored round: its record, which owns all it
// refers to.
OverallRecord testOfRound(const Round& round);

// --list: one line per round, tab-separated: name, test date, instruments, "ano"/"ne" for
// results, status; UTF-8, each line ended by LF. Tabs and line breaks inside a name or a
// date are written as blanks, so that every round is one line of five fields.
QByteArray listLines(const std::vector<RoundListing>& rounds);

} // namespace vel
