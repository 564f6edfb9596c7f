#pragma once
// One connection of Qt SQL to an archive, and the checked way of running statements on it:
// every failure raises vel::AppError with a Czech message naming the archive. What differs
// between database systems in the statements the archive runs is in SqlDialect
// (ArchiveDialects.cpp), with the back-end's reading of its failures.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "data/Errors.h"

#include <functional>

namespace vel {

struct SqlDialect {
    QString driver; // the Qt SQL driver, "QSQLITE" or "QPSQL"
    // Column types, written {key}, {int}, {real} and {text} in the statements: an integer
    // key the database assigns, a 64-bit integer, a double, text of any length.
    QString keyType, intType, realType, textType;
    // Starts a transaction that writes, waiting for other writers: the statements in order.
    QStringList beginWrite;
    QString beginRead; // starts a transaction that reads one consistent state
    // Written {binary} after a text column in ORDER BY: orders by code points, as SQLite does.
    QString binaryOrder;
    // How many values an INSERT of many rows takes at most; 0: one row a statement.
    int valuesPerInsert = 0;
    // Whether a statement can take a list of texts as one array literal, '{"a","b"}', cast
    // to {text}[] and unnested: the summary's thousands of lines in one statement.
    bool textArrays = false;
    // A text as the database keeps it and back; null for a database that keeps any text.
    QString (*encodeText)(const QString& text) = nullptr;
    QString (*decodeText)(const QString& kept) = nullptr;
    // The failure's cause in Czech where the database's code is one a user can act on;
    // empty for any other.
    QString (*explain)(const QSqlError& error) = nullptr;
    // Whether the failure means that the archive is damaged.
    bool (*damaged)(const QSqlError& error) = nullptr;
    // Whether the transaction lost to a concurrent one and may simply be run again.
    bool (*conflict)(const QSqlError& error) = nullptr;
    // Whether the connection is gone (a server stopped or out of reach).
    bool (*lost)(const QSqlError& error) = nullptr;
};

// A transaction that lost to a concurrent one (SqlDialect::conflict); the archive runs it
// again a few times before it reports the message.
class SqlConflict : public AppError {
public:
    using AppError::AppError;
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
    // The same with the server's parts for a server's driver.
    struct Server {
        QString host, user, password;
        int port = -1;
    };
    // A failure to connect is explained by explainOpen when it gives a text.
    void open(const QString& databaseName, const QString& connectOptions, const Server& server,
              const std::function<QString(const QSqlError&)>& explainOpen = {});
    void close();
    bool isOpen() const { return m_db.isOpen(); }

    // A forward-only query prepared from sql with its type words replaced.
    QSqlQuery prepare(const QString& sql);
    void exec(QSqlQuery& query);
    // Runs a statement without parameters, unprepared (PostgreSQL prepares no BEGIN or LOCK).
    void exec(const QString& sql);
    // The first column of the first row of a statement's result; null when it has none.
    QVariant value(const QString& sql);
    // A text as a value to bind, in the dialect's keeping, never null (an empty text stays
    // an empty text); a column's value read back as the text.
    QVariant bindText(const QString& text) const;
    QString readText(const QVariant& value) const;
    // Whether a failure since the connection was opened says it is gone.
    bool lost() const { return m_lost; }
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
    mutable bool m_lost = false;

    QString expand(const QString& sql) const;
};

// Runs attempt, one whole transaction, again while it loses to a concurrent one
// (SqlConflict), at most kConflictAttempts times in all, a little later each time; then
// raises "<failure>: jiný program …" in plain Czech.
inline constexpr int kConflictAttempts = 5;
void retryConflicts(const QString& failure, const std::function<void()>& attempt);

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
