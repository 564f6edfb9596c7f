#include "archive/SqlSession.h"

#include "data/Errors.h"

#include <QRandomGenerator>
#include <QThread>

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
    open(databaseName, connectOptions, Server{});
}

void SqlSession::open(const QString& databaseName, const QString& connectOptions,
                      const Server& server,
                      const std::function<QString(const QSqlError&)>& explainOpen) {
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
    m_db.setHostName(server.host);
    m_db.setUserName(server.user);
    m_db.setPassword(server.password);
    m_db.setPort(server.port);
    if (!m_db.open()) {
        const QSqlError error = m_db.lastError();
        close();
        if (m_dialect.damaged && m_dialect.damaged(error))
            throw AppError(damagedMessage());
        const QString cause = explainOpen ? explainOpen(error) : QString();
        throw AppError(failure + (cause.isEmpty() ? explain(error) : cause));
    }
}

void SqlSession::close() {
    if (!m_added)
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
    m_added = false;
    m_lost = false;
}

QString SqlSession::expand(const QString& sql) const {
    QString text = sql;
    text.replace(QLatin1String("{key}"), m_dialect.keyType)
        .replace(QLatin1String("{int}"), m_dialect.intType)
        .replace(QLatin1String("{real}"), m_dialect.realType)
        .replace(QLatin1String("{text}"), m_dialect.textType)
        .replace(QLatin1String("{binary}"), m_dialect.binaryOrder);
    return text;
}

QSqlQuery SqlSession::prepare(const QString& sql) {
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(expand(sql)))
        fail(query.lastError());
    return query;
}

void SqlSession::exec(QSqlQuery& query) {
    if (!query.exec())
        fail(query.lastError());
}

void SqlSession::exec(const QString& sql) {
    QSqlQuery query(m_db);
    if (!query.exec(expand(sql)))
        fail(query.lastError());
}

QVariant SqlSession::value(const QString& sql) {
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(expand(sql)))
        fail(query.lastError());
    return next(query) ? query.value(0) : QVariant();
}

QVariant SqlSession::bindText(const QString& text) const {
    static const QString empty = QStringLiteral("");
    if (text.isNull())
        return QVariant(empty);
    return QVariant(m_dialect.encodeText ? m_dialect.encodeText(text) : text);
}

QString SqlSession::readText(const QVariant& value) const {
    const QString kept = value.toString();
    return m_dialect.decodeText ? m_dialect.decodeText(kept) : kept;
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
    const QString text = m_failure + QStringLiteral(": ") + explain(error);
    if (m_dialect.lost && m_dialect.lost(error))
        m_lost = true;
    else if (m_dialect.conflict && m_dialect.conflict(error))
        throw SqlConflict(text);
    throw AppError(text);
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

void retryConflicts(const QString& failure, const std::function<void()>& attempt) {
    for (int n = 1;; ++n) {
        try {
            attempt();
            return;
        } catch (const SqlConflict&) {
            if (n == kConflictAttempts)
                throw AppError(failure + QStringLiteral(": jiný program měnil archiv současně a "
                                                        "ani po %1 pokusech se to nepodařilo; "
                                                        "zkuste to prosím znovu")
                                             .arg(kConflictAttempts));
        }
        // Apart at random, so that two programs that met once do not meet again.
        QThread::msleep(10 * n + QRandomGenerator::global()->bounded(20 * n));
    }
}

Transaction::Transaction(SqlSession& sql, Kind kind) : m_sql(sql) {
    if (kind == Kind::Read) {
        sql.exec(sql.dialect().beginRead);
        return;
    }
    const QStringList& begin = sql.dialect().beginWrite;
    for (qsizetype i = 0; i < begin.size(); ++i) {
        if (i == 0) {
            sql.exec(begin[i]);
            continue;
        }
        try {
            sql.exec(begin[i]);
        } catch (...) {
            sql.rollback();
            throw;
        }
    }
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
