#pragma once
// The rows of the archive's tables as the statements of the current version write and read
// them: column lists, and the binding and reading of a round's values in their order, texts
// in the keeping of the session's dialect. The schema steps (ArchiveSchema.cpp) name their
// columns themselves.

#include "archive/ArchiveRecords.h"
#include "archive/SqlSession.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace vel {

// "a, b, c" and "?, ?, ?" for a list of columns.
QString columnList(const QStringList& columns);
QString placeholders(const QStringList& columns);

// The status column's value, and the time of storing (milliseconds since 1970, UTC).
RoundStatus readStatus(const QVariant& value);
QDateTime readStoredAt(const QVariant& value);

// The columns of `rounds` that store() writes and load() reads (not the key).
const QStringList& roundColumns();
// Binds them from position `first` on; reads them from column `first` on. The name, the
// status and the time of storing included; the sheets and results are not.
void bindRound(const SqlSession& sql, QSqlQuery& query, int first, const Round& round);
void readRound(const SqlSession& sql, const QSqlQuery& query, int first, Round& round);

// The columns of `sheets` after the key (round_id, position): the participant code, the
// caption, the 57 fields in the order of Sheet::fields.
const QStringList& sheetColumns();
void bindSheet(const SqlSession& sql, QSqlQuery& query, int first, const Sheet& sheet);
Sheet readSheet(const SqlSession& sql, const QSqlQuery& query, int first);

// The columns of `round_results` after round_id, and of `instrument_results` after the key.
const QStringList& roundResultColumns();
void bindRoundResults(QSqlQuery& query, int first, const RoundResults& results);
void readRoundResults(const QSqlQuery& query, int first, RoundResults& results);
const QStringList& instrumentResultColumns();
void bindInstrumentResult(const SqlSession& sql, QSqlQuery& query, int first,
                          const InstrumentResult& result);
InstrumentResult readInstrumentResult(const SqlSession& sql, const QSqlQuery& query, int first);

} // namespace vel
