// The tables of the archive and the migration from one version to the next.
//
// A round is one row of `rounds` (its texts, reference fields and when it was stored) with
// its sheets in `sheets` (position in tab order, participant code, caption and the 57 field
// texts) and, when the overall test has run, a row of `round_results`, one row of
// `instrument_results` per sheet and the summary pane in `summary_lines`. Removing the
// round's row removes the rest (ON DELETE CASCADE). Texts are stored as given, reals as
// doubles, warnings as 0 or 1.
#include "archive/ArchiveBackend.h"

#include "data/Errors.h"

#include <QStringList>

namespace vel {

namespace {

// Columns "<name> <type> NOT NULL, …".
QString notNull(const QStringList& names, const char* type) {
    QStringList defs;
    for (const QString& n : names)
        defs << QStringLiteral("%1 %2 NOT NULL").arg(n, QLatin1String(type));
    return defs.join(QStringLiteral(", "));
}

// Version 1. Its columns are written out here, not taken from the lists the statements use,
// so that the step builds the same tables however later versions change those lists.
void createVersion1(SqlSession& sql) {
    QStringList references,
        fields{"instrument_id", "measured_at", "temperature", "received", "test_date"};
    for (int k = 1; k <= 10; ++k)
        references << QStringLiteral("reference%1").arg(k);
    for (int c = 1; c <= 4; ++c)
        for (int r = 1; r <= 13; ++r)
            fields << QStringLiteral("row%1_intake%2").arg(r).arg(c);
    sql.exec(QStringLiteral("CREATE TABLE rounds (id {key}, name {text} NOT NULL UNIQUE, %1, "
                            "status {text} NOT NULL CHECK (status IN ('preliminary', 'final')), "
                            "stored_at {int} NOT NULL, %2, issue_date {text}, %3)")
                 .arg(notNull({"test_date"}, "{text}"),
                      notNull({"program_version", "provider", "coordinator", "samples",
                               "reference_origin", "advice"},
                              "{text}"),
                      notNull(references, "{text}")));
    sql.exec(QStringLiteral("CREATE INDEX rounds_by_storing ON rounds (stored_at)"));
    sql.exec(QStringLiteral("CREATE TABLE sheets (round_id {int} NOT NULL REFERENCES rounds (id) "
                            "ON DELETE CASCADE, position {int} NOT NULL, participant_code {int} "
                            "NOT NULL CHECK (participant_code BETWEEN 100 AND 999), caption "
                            "{text} NOT NULL, %1, PRIMARY KEY (round_id, position), UNIQUE "
                            "(round_id, participant_code))")
                 .arg(notNull(fields, "{text}")));
    sql.exec(QStringLiteral("CREATE TABLE round_results (round_id {int} PRIMARY KEY REFERENCES "
                            "rounds (id) ON DELETE CASCADE, %1)")
                 .arg(notNull({"centre_m", "centre_med", "radius", "semi_axis_a", "semi_axis_b",
                               "limit_ce", "limit_cq", "limit_le", "limit_lq"},
                              "{real}")));
    sql.exec(QStringLiteral(
                 "CREATE TABLE instrument_results (round_id {int} NOT NULL REFERENCES "
                 "round_results (round_id) ON DELETE CASCADE, position {int} NOT NULL, %1, %2, "
                 "%3, PRIMARY KEY (round_id, position), FOREIGN KEY (round_id, position) "
                 "REFERENCES sheets (round_id, position) ON DELETE CASCADE)")
                 .arg(notNull({"mean_error", "error_sd", "residual_sd", "one_minus_r2"}, "{real}"),
                      notNull({"test_verdict", "calibration_verdict"}, "{text}"),
                      notNull({"blank_warning", "repeatability_warning", "carry_over_warning"},
                              "{int}")));
    sql.exec(QStringLiteral("CREATE TABLE summary_lines (round_id {int} NOT NULL REFERENCES "
                            "round_results (round_id) ON DELETE CASCADE, line {int} NOT NULL, "
                            "text {text} NOT NULL, PRIMARY KEY (round_id, line))"));
}

} // namespace

std::vector<SchemaStep> archiveSchema() {
    return {{1, createVersion1}};
}

QString newerArchiveMessage(const QString& archiveName, int version, int known) {
    return QStringLiteral("Archiv kol „%1“ má verzi %2, kterou tento program nezná (zná verze do "
                          "%3); otevřete jej novější verzí programu")
        .arg(archiveName, QString::number(version), QString::number(known));
}

void migrateSchema(ArchiveBackend& backend, const std::vector<SchemaStep>& steps) {
    const int target = steps.empty() ? 0 : steps.back().version;
    int from = backend.schemaVersion();
    if (from == target)
        return;
    if (from > target)
        throw AppError(newerArchiveMessage(backend.archiveName(), from, target));
    const QString copy = from > 0 ? backend.backup(from) : QString();
    const QString failure =
        QStringLiteral("Archiv kol „%1“ nelze převést z verze %2 na verzi %3")
            .arg(backend.archiveName(), QString::number(from), QString::number(target));
    SqlSession::FailureText failureText(backend.sql(), failure);
    backend.beginMigration();
    try {
        // Another process may have got there first while this one waited for the lock.
        from = backend.schemaVersion();
        if (from > target)
            throw AppError(newerArchiveMessage(backend.archiveName(), from, target));
        for (const SchemaStep& step : steps)
            if (step.version > from)
                step.apply(backend.sql());
        backend.commitMigration(target);
    } catch (const AppError& e) {
        backend.abortMigration();
        QString text = e.message();
        if (!text.startsWith(failure) && from < target)
            text = failure + QStringLiteral(": ") + text;
        if (!copy.isEmpty())
            text += QStringLiteral("; archiv zůstal, jak byl, a jeho kopie je v „%1“").arg(copy);
        throw AppError(text);
    }
}

} // namespace vel
