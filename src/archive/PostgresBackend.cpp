// The PostgreSQL back-end: a database on a server, named by its address (ServerAddress.h).
// Its schema version is in a table of its own, velimor_schema, whose row also marks the
// database as an archive of rounds. The archive's tables are made by the first store, in
// the schema the connection writes into (the first of its search path), and every
// migration is one transaction under a transaction-level advisory lock, so that two
// workstations starting a new version at once migrate once. PostgreSQL undoes a failed
// migration whole, its table changes included, so no copy is made before one (backing up
// a server's databases is pg_dump's work). Passwords come from libpq's own means; the
// program shows none.
#include "archive/ArchiveBackend.h"
#include "archive/ServerAddress.h"

#include "data/Errors.h"

#include <QSqlQuery>

namespace vel {

namespace {

// The advisory lock of migrations: "VELA", as SQLite's application id.
constexpr qint64 kMigrationLock = 0x56454C41;
const char* const kSchemaRow = "archiv kol";

QString sqlState(const QSqlError& error) {
    return error.nativeErrorCode();
}

// A statement that fails without a state of the server's, or with one of a connection
// ended by the server, finds the connection gone.
bool postgresLost(const QSqlError& error) {
    const QString code = sqlState(error);
    return code.isEmpty() || code.startsWith(QLatin1String("08")) ||
           code == QLatin1String("57P01") || code == QLatin1String("57P02") ||
           code == QLatin1String("57P03");
}

bool postgresConflict(const QSqlError& error) {
    const QString code = sqlState(error);
    return code == QLatin1String("40001") || code == QLatin1String("40P01");
}

QString postgresCause(const QSqlError& error) {
    if (postgresLost(error))
        return QStringLiteral("spojení se serverem se přerušilo (server neběží, nebo k němu "
                              "nevede spojení)");
    const QString code = sqlState(error);
    if (code == QLatin1String("42501"))
        return QStringLiteral("uživatel nemá k tabulkám archivu potřebné právo");
    if (code == QLatin1String("25006"))
        return QStringLiteral("server přijímá jen čtení");
    if (code == QLatin1String("53100"))
        return QStringLiteral("disk serveru je plný");
    if (postgresConflict(error))
        return QStringLiteral("archiv současně měnil jiný program");
    if (code == QLatin1String("55P03")) // lock_timeout: another writer held the rounds
        return QStringLiteral("archiv používá jiný program a neuvolnil jej včas");
    return {};
}

SqlDialect postgresWithFailures() {
    SqlDialect d = postgresDialect();
    d.explain = postgresCause;
    d.conflict = postgresConflict;
    d.lost = postgresLost;
    return d;
}

// libpq's value in a connection string: quoted, its quotes and backslashes escaped.
QString quoted(const QString& value) {
    QString v = value;
    v.replace(u'\\', QLatin1String("\\\\")).replace(u'\'', QLatin1String("\\'"));
    return u'\'' + v + u'\'';
}

class PostgresBackend : public ArchiveBackend {
public:
    explicit PostgresBackend(const ArchiveLocation& location)
        : ArchiveBackend(location.displayName(), postgresWithFailures()),
          m_address(ServerAddress::parse(location.path)) {
        // libpq's own texts stay in English, which connectionCause() reads; the user sees
        // the program's Czech sentences. libpq binds its texts at its first message, so this
        // holds for the whole process when set before any connection.
        if (!qEnvironmentVariableIsSet("PGLOCALEDIR"))
            qputenv("PGLOCALEDIR", "/nonexistent/velimor");
    }

    std::optional<int> inspect() override {
        if (!m_sql.isOpen() || m_sql.lost())
            connect();
        m_refusal.reset();
        return m_version = identity();
    }
    QString whyNotWritable() override;
    void connectForWriting(const std::vector<SchemaStep>& schema) override;
    void checkBeforeWriting() override {} // the server keeps its data whole itself
    void written() override {}
    bool stillConnected() override;
    int schemaVersion() override;
    QString backup(int) override { return {}; }
    void beginMigration() override;
    void commitMigration(int version) override;
    void abortMigration() noexcept override { m_sql.rollback(); }

private:
    void connect();
    int identity();
    QString connectionCause(const QSqlError& error) const;
    QString writeRefusal();
    QString message(const char* text) const { return QString::fromUtf8(text).arg(archiveName()); }

    ServerAddress m_address;
    // What inspect() and whyNotWritable() found in this operation, so that connecting for
    // writing right after them asks the server no second time.
    std::optional<int> m_version;
    std::optional<QString> m_refusal;
};

void PostgresBackend::connect() {
    SqlSession::FailureText failure(m_sql, message("Archiv kol „%1“ nelze otevřít"));
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        throw AppError(message("Archiv kol „%1“ nelze otevřít: chybí ovladač Qt pro PostgreSQL "
                               "(balík libqt6sql6-psql)"));
    SqlSession::Server server{m_address.host, m_address.user, m_address.password};
    QStringList options;
    bool portIsNumber = false;
    const int port = m_address.port.toInt(&portIsNumber);
    if (portIsNumber)
        server.port = port;
    else if (!m_address.port.isEmpty())
        options << QStringLiteral("port=") + quoted(m_address.port);
    QStringList given;
    for (const auto& [key, value] : m_address.options) {
        // Qt's driver turns every ";" of its options into a space.
        if (value.contains(u';') || key.contains(u';'))
            throw AppError(message("Archiv kol „%1“ nelze otevřít: volba %2 obsahuje středník, "
                                   "který ovladač Qt nepředá")
                               .arg(key));
        options << key + u'=' + quoted(value);
        given << key;
    }
    // A server that does not answer is reported within seconds, not after minutes; a
    // connection that breaks off (a workstation's network gone in the middle of a store) is
    // noticed by both ends within a minute, so that its lock on the rounds goes with it; and
    // a writer waits for another one's lock at most 30 s, as long as a copy of many rounds
    // may take, then says so. Each only where the address does not set it.
    const std::pair<const char*, const char*> defaults[] = {
        {"connect_timeout", "10"},       {"keepalives_idle", "10"},
        {"keepalives_interval", "5"},    {"keepalives_count", "3"},
        {"tcp_user_timeout", "30000"},
        // The same on the server's side of the connection, and the wait for a lock.
        {"options", "-c lock_timeout=30000 -c tcp_keepalives_idle=10 "
                    "-c tcp_keepalives_interval=5 -c tcp_keepalives_count=3 "
                    "-c tcp_user_timeout=30000"}};
    for (const auto& [key, value] : defaults)
        if (!given.contains(QLatin1String(key)))
            options << QLatin1String(key) + u'=' + quoted(QString::fromLatin1(value));
    options << QStringLiteral("fallback_application_name=velimor");
    m_sql.open(m_address.database, options.join(u';'), server,
               [this](const QSqlError& e) { return connectionCause(e); });
}

// The failures to connect that a user can act on, from libpq's (English) text and the
// server's, each naming the server and the database.
QString PostgresBackend::connectionCause(const QSqlError& error) const {
    const QString t = error.databaseText();
    const QString server = m_address.serverText(), database = m_address.databaseText(),
                  user = m_address.userText();
    auto has = [&t](const char* part) { return t.contains(QLatin1String(part)); };
    if (has("database \"") && has("does not exist"))
        return QStringLiteral("databáze „%1“ na serveru %2 neexistuje").arg(database, server);
    if (has("permission denied for database"))
        return QStringLiteral("uživatel „%1“ nemá právo připojit se k databázi „%2“ na serveru %3")
            .arg(user, database, server);
    if (has("authentication failed") || has("no password supplied") || has("pg_hba.conf") ||
        (has("role \"") && has("does not exist")))
        return QStringLiteral("server %1 odmítl přihlásit uživatele „%2“ k databázi „%3“ (heslo "
                              "program bere jen ze souboru ~/.pgpass nebo z proměnné PGPASSWORD)")
            .arg(server, user, database);
    if (has("Is the server running") || has("could not translate host name") ||
        has("timeout expired") || has("server closed the connection") ||
        has("the database system is") || has("could not connect"))
        return QStringLiteral("server %1 s databází „%2“ není dostupný: neběží, nebo k němu "
                              "nevede spojení")
            .arg(server, database);
    return {};
}

// The schema version, 0 for a database without tables; raises for another program's.
int PostgresBackend::identity() {
    SqlSession::FailureText failure(m_sql, message("Archiv kol „%1“ nelze otevřít"));
    QSqlQuery q = m_sql.prepare(QStringLiteral(
        "SELECT to_regclass('velimor_schema') IS NOT NULL, (SELECT count(*) FROM pg_class c "
        "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = current_schema() AND "
        "c.relkind IN ('r', 'p', 'v', 'm', 'f'))"));
    m_sql.exec(q);
    m_sql.next(q);
    const bool ours = q.value(0).toBool();
    if (!ours && q.value(1).toLongLong() == 0)
        return 0;
    const int version = ours ? schemaVersion() : 0;
    if (version > 0)
        return version;
    throw AppError(message("Databáze „%1“ není archiv kol: obsahuje tabulky jiného programu"));
}

int PostgresBackend::schemaVersion() {
    if (!m_sql.value(QStringLiteral("SELECT to_regclass('velimor_schema') IS NOT NULL")).toBool())
        return 0;
    return m_sql
        .value(QStringLiteral("SELECT version FROM velimor_schema WHERE archive = '%1'")
                   .arg(QLatin1String(kSchemaRow)))
        .toInt();
}

// A read-only server, or a user without the rights to store and remove rounds (or to make
// the tables, in a database without them).
QString PostgresBackend::whyNotWritable() {
    m_refusal = writeRefusal();
    return *m_refusal;
}

QString PostgresBackend::writeRefusal() {
    const QString server = m_address.serverText();
    if (m_sql.value(QStringLiteral("SELECT current_setting('transaction_read_only')")).toString() ==
        QLatin1String("on"))
        return QStringLiteral("server %1 přijímá jen čtení").arg(server);
    const bool allowed =
        m_sql
            .value(QStringLiteral(
                "SELECT CASE WHEN to_regclass('velimor_schema') IS NULL THEN "
                "coalesce(has_schema_privilege(current_schema(), 'CREATE'), false) ELSE "
                "(SELECT bool_and(to_regclass(t) IS NULL OR (has_table_privilege(t, 'SELECT') "
                "AND has_table_privilege(t, 'INSERT') AND has_table_privilege(t, 'DELETE'))) "
                "FROM unnest(ARRAY['rounds', 'sheets', 'round_results', 'instrument_results', "
                "'summary_lines']) AS t) END"))
            .toBool();
    if (allowed)
        return {};
    return QStringLiteral("uživatel „%1“ nemá v databázi „%2“ na serveru %3 právo zápisu")
        .arg(m_address.userText(), m_address.databaseText(), server);
}

void PostgresBackend::connectForWriting(const std::vector<SchemaStep>& schema) {
    if (!m_sql.isOpen() || m_sql.lost()) {
        connect();
        m_version.reset();
        m_refusal.reset();
    }
    const int version = m_version ? *m_version : identity();
    const QString reason = m_refusal ? *m_refusal : writeRefusal();
    m_version.reset();
    m_refusal.reset();
    if (!reason.isEmpty())
        throw AppError((version == 0 ? message("Archiv kol „%1“ nelze vytvořit: ")
                                     : message("Do archivu kol „%1“ nelze zapisovat: ")) +
                       reason);
    if (version == 0) {
        SqlSession::FailureText failure(m_sql, message("Archiv kol „%1“ nelze vytvořit"));
        migrateSchema(*this, schema);
    }
}

bool PostgresBackend::stillConnected() {
    m_version.reset(); // a new operation looks anew
    m_refusal.reset();
    if (!m_sql.isOpen() || m_sql.lost())
        return false;
    try {
        m_sql.value(QStringLiteral("SELECT 1"));
        return true;
    } catch (const AppError&) {
        m_sql.close();
        return false;
    }
}

// The lock waits for another workstation's migration to commit. The server resolves table
// names through a cache that a transaction renews when it begins, so a table that the other
// one made meanwhile is not yet known by name in this one: it begins again then.
void PostgresBackend::beginMigration() {
    for (int attempt = 1;; ++attempt) {
        m_sql.exec(QStringLiteral("BEGIN"));
        m_sql.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kMigrationLock));
        QSqlQuery q = m_sql.prepare(QStringLiteral(
            "SELECT to_regclass('velimor_schema') IS NOT NULL, EXISTS (SELECT 1 FROM "
            "pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
            "WHERE c.relname = 'velimor_schema' AND n.nspname = ANY (current_schemas(false)))"));
        m_sql.exec(q);
        m_sql.next(q);
        if (q.value(0).toBool() == q.value(1).toBool())
            return;
        m_sql.rollback();
        if (attempt == 5)
            throw AppError(message("Archiv kol „%1“ nelze převést na novou verzi: jiný program "
                                   "mezitím měnil jeho tabulky"));
    }
}

void PostgresBackend::commitMigration(int version) {
    m_sql.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS velimor_schema (archive TEXT PRIMARY "
                              "KEY, version INTEGER NOT NULL)"));
    m_sql.exec(QStringLiteral("INSERT INTO velimor_schema (archive, version) VALUES ('%1', %2) "
                              "ON CONFLICT (archive) DO UPDATE SET version = excluded.version")
                   .arg(QLatin1String(kSchemaRow))
                   .arg(version));
    m_sql.exec(QStringLiteral("COMMIT"));
}

} // namespace

std::unique_ptr<ArchiveBackend> makePostgresBackend(const ArchiveLocation& location) {
    return std::make_unique<PostgresBackend>(location);
}

} // namespace vel
