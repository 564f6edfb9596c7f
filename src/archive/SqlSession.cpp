#include "archive/SqlSession.h"

#include "data/Errors.h"

#include <atomic>

namespace vel {

namespace {

std::atomic<quint64> lastConnection{0};

} // namespace

SqlSession::SqlSession(const QString& archiveName, const SqlDialect& dialect)
    : m_archiveName(archiveName), m_dialect(dialect),
      m_connection(QStringLiteral("velimor-archive-%1").arg(++lastConnection)),
      m_failure(QStringLiteral("Chyba archivu kol „%1“").arg(archiveName)) {}

SqlSession::~SqlSession() {
    close();
}

void SqlSession::open(const QString& databaseName, const QString& connectOptions) {
    close();
    m_db = QSqlDatabase::addDatabase(m_dialect.driver, m_connection);
    m_added = true;
    const QString failure = QStringLiteral("Archiv kol „%1“ nelze otevřít: ").arg(m_archiveName);
    if (!m_db.isValid()) {
        close();
        throw AppError(failure + QStringLiteral("chybí ovladač databáze %1").arg(m_dialect.driver));
    }
    m_db.setDatabaseName(databaseName);
    m_db.setConnectOptions(connectOptions);
    if (!m_db.open()) {
        const QSqlError error = m_db.lastError();
        close();
        if (m_dialect.damaged && m_dialect.damaged(error))
            throw AppError(damagedMessage());
        throw AppError(failure + explain(error));
    }
}

void SqlSession::close() {
    if (!m_added)
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
    m_added = false;
}

QSqlQuery SqlSession::prepare(const QString& sql) {
    QString text = sql;
    text.replace(QLatin1String("{key}"), m_dialect.keyType)
        .replace(QLatin1String("{int}"), m_dialect.intType)
        .replace(QLatin1String("{real}"), m_dialect.realType)
        .replace(QLatin1String("{text}"), m_dialect.textType);
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(text))
        fail(query.lastError());
    return query;
}

void SqlSession::exec(QSqlQuery& query) {
    if (!query.exec())
        fail(query.lastError());
}

void SqlSession::exec(const QString& sql) {
    QSqlQuery query = prepare(sql);
    exec(query);
}

QVariant SqlSession::value(const QString& sql) {
    QSqlQuery query = prepare(sql);
    exec(query);
    return next(query) ? query.value(0) : QVariant();
}

bool SqlSession::next(QSqlQuery& query) {
    if (query.next())
        return true;
    if (query.lastError().isValid())
        fail(query.lastError());
    return false;
}

void SqlSession::rollback() noexcept {
    if (m_db.isOpen()) {
        QSqlQuery query(m_db);
        query.exec(QStringLiteral("ROLLBACK"));
    }
}

QString SqlSession::explain(const QSqlError& error) const {
    const QString cause = m_dialect.explain ? m_dialect.explain(error) : QString();
    if (!cause.isEmpty())
        return cause;
    QString text = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    text = text.section(u'\n', 0, 0).trimmed();
    return text.isEmpty() ? QStringLiteral("neočekávaná chyba databáze")
                          : QStringLiteral("neočekávaná chyba databáze: %1").arg(text);
}

void SqlSession::fail(const QSqlError& error) const {
    if (m_dialect.damaged && m_dialect.damaged(error))
        throw AppError(damagedMessage());
    throw AppError(m_failure + QStringLiteral(": ") + explain(error));
}

QString SqlSession::damagedMessage() const {
    return QStringLiteral("Archiv kol „%1“ je poškozený").arg(m_archiveName);
}

SqlSession::FailureText::FailureText(SqlSession& sql, const QString& text)
    : m_sql(sql), m_previous(sql.m_failure) {
    sql.m_failure = text;
}

SqlSession::FailureText::~FailureText() {
    m_sql.m_failure = m_previous;
}

Transaction::Transaction(SqlSession& sql, Kind kind) : m_sql(sql) {
    sql.exec(kind == Kind::Write ? sql.dialect().beginWrite : sql.dialect().beginRead);
}

Transaction::~Transaction() {
    if (m_open)
        m_sql.rollback();
}

void Transaction::commit() {
    m_sql.exec(QStringLiteral("COMMIT"));
    m_open = false;
}

} // namespace vel
