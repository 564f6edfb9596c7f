#pragma once
// One connection of Qt SQL to an archive, and the checked way of running statements on it:
// every failure raises vel::AppError with a Czech message naming the archive. What differs
// between database systems in the statements the archive runs is in SqlDialect, filled by
// the back-end.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

namespace vel {

struct SqlDialect {
    QString driver; // the Qt SQL driver, "QSQLITE"
    // Column types, written {key}, {int}, {real} and {text} in the statements: an integer
    // key the database assigns, a 64-bit integer, a double, text of any length.
    QString keyType, intType, realType, textType;
    QString beginWrite; // starts a transaction that writes, waiting for other writers
    QString beginRead;  // starts a transaction that reads one consistent state
    // The failure's cause in Czech where the database's code is one a user can act on;
    // empty for any other.
    QString (*explain)(const QSqlError& error) = nullptr;
    // Whether the failure means that the archive is damaged.
    bool (*damaged)(const QSqlError& error) = nullptr;
};

class SqlSession {
public:
    // archiveName: how messages name the archive (ArchiveLocation::displayName()).
    SqlSession(const QString& archiveName, const SqlDialect& dialect);
    ~SqlSession();
    SqlSession(const SqlSession&) = delete;
    SqlSession& operator=(const SqlSession&) = delete;

    const QString& archiveName() const { return m_archiveName; }
    const SqlDialect& dialect() const { return m_dialect; }

    // Opens the connection (closing an open one first); raises "Archiv kol „…“ nelze
    // otevřít: …" when the driver refuses.
    void open(const QString& databaseName, const QString& connectOptions);
    void close();
    bool isOpen() const { return m_db.isOpen(); }

    // A forward-only query prepared from sql with its type words replaced.
    QSqlQuery prepare(const QString& sql);
    void exec(QSqlQuery& query);
    // Runs a statement without parameters.
    void exec(const QString& sql);
    // The first column of the first row of a statement's result; null when it has none.
    QVariant value(const QString& sql);
    // QSqlQuery::next() that raises on a failure instead of ending the rows.
    bool next(QSqlQuery& query);
    // Ends the open transaction, if any, without raising.
    void rollback() noexcept;

    // The failure in words, one line for messages: the dialect's explanation; for a failure
    // it does not know, a Czech sentence and the first line of the database's own text.
    QString explain(const QSqlError& error) const;
    // Raises "<failure text>: <explanation>"; the failure text is "Chyba archivu kol „…“"
    // unless a FailureText says otherwise. A damaged archive raises damagedMessage(),
    // whatever was being done.
    [[noreturn]] void fail(const QSqlError& error) const;
    // "Archiv kol „…“ je poškozený".
    QString damagedMessage() const;

    // What failures are called while it lasts, e.g. "Archiv kol „…“ nelze otevřít".
    class FailureText {
    public:
        FailureText(SqlSession& sql, const QString& text);
        ~FailureText();
        FailureText(const FailureText&) = delete;
        FailureText& operator=(const FailureText&) = delete;

    private:
        SqlSession& m_sql;
        QString m_previous;
    };

private:
    QString m_archiveName;
    SqlDialect m_dialect;
    QString m_connection; // the name of the connection in Qt SQL, unique in the process
    QString m_failure;
    QSqlDatabase m_db;
    bool m_added = false;
};

// A transaction that rolls back unless committed.
class Transaction {
public:
    enum class Kind { Read, Write };
    Transaction(SqlSession& sql, Kind kind);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    SqlSession& m_sql;
    bool m_open = true;
};

} // namespace vel
