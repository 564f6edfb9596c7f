#include "archive/ArchiveTables.h"

namespace vel {

QString columnList(const QStringList& columns) {
    return columns.join(QStringLiteral(", "));
}

QString placeholders(const QStringList& columns) {
    QStringList marks;
    marks.fill(QStringLiteral("?"), columns.size());
    return marks.join(QStringLiteral(", "));
}

RoundStatus readStatus(const QVariant& value) {
    return value.toString() == QLatin1String("final") ? RoundStatus::Final
                                                      : RoundStatus::Preliminary;
}

QDateTime readStoredAt(const QVariant& value) {
    return QDateTime::fromMSecsSinceEpoch(value.toLongLong(), Qt::UTC);
}

const QStringList& roundColumns() {
    static const QStringList columns = [] {
        QStringList c{"name",      "test_date",   "status",  "stored_at",        "program_version",
                      "provider",  "coordinator", "samples", "reference_origin", "advice",
                      "issue_date"};
        for (int k = 1; k <= 10; ++k)
            c << QStringLiteral("reference%1").arg(k);
        return c;
    }();
    return columns;
}

void bindRound(const SqlSession& sql, QSqlQuery& q, int first, const Round& round) {
    const RoundInfo& info = round.info;
    int i = first;
    for (const QString* text : {&round.name, &round.testDate})
        q.bindValue(i++, sql.bindText(*text));
    q.bindValue(i++,
                QString::fromLatin1(info.status == RoundStatus::Final ? "final" : "preliminary"));
    q.bindValue(i++, round.storedAt.toMSecsSinceEpoch());
    for (const QString* text : {&round.programVersion, &info.provider, &info.coordinator,
                                &info.samples, &info.referenceOrigin, &info.advice})
        q.bindValue(i++, sql.bindText(*text));
    q.bindValue(i++, info.issueDate.isValid() ? QVariant(info.issueDate.toString(Qt::ISODate))
                                              : QVariant(QMetaType::fromType<QString>()));
    for (const QString& reference : round.references)
        q.bindValue(i++, sql.bindText(reference));
}

void readRound(const SqlSession& sql, const QSqlQuery& q, int first, Round& round) {
    RoundInfo& info = round.info;
    int i = first;
    for (QString* text : {&round.name, &round.testDate})
        *text = sql.readText(q.value(i++));
    info.status = readStatus(q.value(i++));
    round.storedAt = readStoredAt(q.value(i++));
    for (QString* text : {&round.programVersion, &info.provider, &info.coordinator, &info.samples,
                          &info.referenceOrigin, &info.advice})
        *text = sql.readText(q.value(i++));
    const QVariant issued = q.value(i++);
    info.issueDate = issued.isNull() ? QDate() : issued.toDate();
    for (QString& reference : round.references)
        reference = sql.readText(q.value(i++));
}

const QStringList& sheetColumns() {
    static const QStringList columns = [] {
        QStringList c{"participant_code", "caption",  "instrument_id", "measured_at",
                      "temperature",      "received", "test_date"};
        for (int i = 0; i < kCounts; ++i)
            c << QStringLiteral("row%1_intake%2").arg(i % kRows + 1).arg(i / kRows + 1);
        return c;
    }();
    return columns;
}

void bindSheet(const SqlSession& sql, QSqlQuery& q, int first, const Sheet& sheet) {
    q.bindValue(first, sheet.participantCode);
    q.bindValue(first + 1, sql.bindText(sheet.caption));
    for (int f = 0; f < kSheetFields; ++f)
        q.bindValue(first + 2 + f, sql.bindText(sheet.fields[f]));
}

Sheet readSheet(const SqlSession& sql, const QSqlQuery& q, int first) {
    Sheet sheet;
    sheet.participantCode = q.value(first).toInt();
    sheet.caption = sql.readText(q.value(first + 1));
    for (int f = 0; f < kSheetFields; ++f)
        sheet.fields[f] = sql.readText(q.value(first + 2 + f));
    return sheet;
}

namespace {

// The reals of the results in the order of their columns.
template <typename Results> auto reals(Results& r) {
    return std::array{&r.M, &r.Med, &r.R, &r.a, &r.b, &r.CE, &r.CQ, &r.LE, &r.LQ};
}

} // namespace

const QStringList& roundResultColumns() {
    static const QStringList columns{"centre_m",    "centre_med",  "radius",
                                     "semi_axis_a", "semi_axis_b", "limit_ce",
                                     "limit_cq",    "limit_le",    "limit_lq"};
    return columns;
}

void bindRoundResults(QSqlQuery& q, int first, const RoundResults& results) {
    int i = first;
    for (const double* v : reals(results))
        q.bindValue(i++, *v);
}

void readRoundResults(const QSqlQuery& q, int first, RoundResults& results) {
    int i = first;
    for (double* v : reals(results))
        *v = q.value(i++).toDouble();
}

const QStringList& instrumentResultColumns() {
    static const QStringList columns{"mean_error",        "error_sd",
                                     "residual_sd",       "one_minus_r2",
                                     "test_verdict",      "calibration_verdict",
                                     "blank_warning",     "repeatability_warning",
                                     "carry_over_warning"};
    return columns;
}

void bindInstrumentResult(const SqlSession& sql, QSqlQuery& q, int first,
                          const InstrumentResult& r) {
    int i = first;
    for (double v : {r.d, r.s, r.E, r.Q})
        q.bindValue(i++, v);
    q.bindValue(i++, sql.bindText(r.testVerdict));
    q.bindValue(i++, sql.bindText(r.calibrationVerdict));
    for (bool warning : {r.blankWarning, r.repeatabilityWarning, r.carryOverWarning})
        q.bindValue(i++, int(warning));
}

InstrumentResult readInstrumentResult(const SqlSession& sql, const QSqlQuery& q, int first) {
    InstrumentResult r;
    int i = first;
    for (double* v : {&r.d, &r.s, &r.E, &r.Q})
        *v = q.value(i++).toDouble();
    r.testVerdict = sql.readText(q.value(i++));
    r.calibrationVerdict = sql.readText(q.value(i++));
    for (bool* warning : {&r.blankWarning, &r.repeatabilityWarning, &r.carryOverWarning})
        *warning = q.value(i++).toInt() != 0;
    return r;
}

} // namespace vel
