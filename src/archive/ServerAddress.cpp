#include "archive/ServerAddress.h"

#include "data/Errors.h"

#include <QByteArray>
#include <QStringList>

namespace vel {

namespace {

QString decoded(const QString& part) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part.toUtf8()));
}

// The scheme's length with "://", or 0 when the text has neither scheme.
qsizetype schemeLength(const QString& uri) {
    for (const char* scheme : {"postgresql://", "postgres://"})
        if (uri.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return qsizetype(qstrlen(scheme));
    return 0;
}

QString firstOf(const QString& given, const char* variable) {
    return given.isEmpty() ? qEnvironmentVariable(variable) : given;
}

} // namespace

ServerAddress ServerAddress::parse(const QString& uri) {
    auto invalid = [&uri](const QString& why) {
        return AppError(QStringLiteral("Adresa archivu kol „%1“ není platná: %2")
                            .arg(addressWithoutPassword(uri), why));
    };
    const qsizetype start = schemeLength(uri);
    if (start == 0)
        throw invalid(QStringLiteral("začíná jinak než postgresql:// nebo postgres://"));
    ServerAddress a;
    QString rest = uri.mid(start);
    QString query;
    if (const qsizetype q = rest.indexOf(u'?'); q >= 0) {
        query = rest.mid(q + 1);
        rest.truncate(q);
    }
    QString netloc = rest;
    if (const qsizetype slash = rest.indexOf(u'/'); slash >= 0) {
        netloc = rest.left(slash);
        a.database = decoded(rest.mid(slash + 1));
    }
    if (const qsizetype at = netloc.lastIndexOf(u'@'); at >= 0) {
        const QString userinfo = netloc.left(at);
        netloc = netloc.mid(at + 1);
        const qsizetype colon = userinfo.indexOf(u':');
        a.user = decoded(userinfo.left(colon));
        if (colon >= 0)
            a.password = decoded(userinfo.mid(colon + 1));
    }
    QStringList hosts, ports;
    bool anyPort = false;
    for (const QString& entry : netloc.split(u',')) {
        QString host = entry, port;
        if (entry.startsWith(u'[')) { // an IPv6 address
            const qsizetype close = entry.indexOf(u']');
            if (close < 0)
                throw invalid(QStringLiteral("adrese IPv6 chybí „]“"));
            host = entry.mid(1, close - 1);
            if (entry.size() > close + 1) {
                if (entry[close + 1] != u':')
                    throw invalid(QStringLiteral("za adresou IPv6 smí být jen port"));
                port = entry.mid(close + 2);
            }
        } else if (const qsizetype colon = entry.indexOf(u':'); colon >= 0) {
            host = entry.left(colon);
            port = entry.mid(colon + 1);
        }
        hosts << decoded(host);
        ports << port;
        anyPort = anyPort || !port.isEmpty();
    }
    a.host = hosts.join(u',');
    a.port = anyPort ? ports.join(u',') : QString();
    for (const QString& item : query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq <= 0)
            throw invalid(QStringLiteral("volba „%1“ nemá tvar klíč=hodnota").arg(decoded(item)));
        const QString key = decoded(item.left(eq));
        const QString value = decoded(item.mid(eq + 1));
        if (key == QLatin1String("host"))
            a.host = value;
        else if (key == QLatin1String("port"))
            a.port = value;
        else if (key == QLatin1String("user"))
            a.user = value;
        else if (key == QLatin1String("password"))
            a.password = value;
        else if (key == QLatin1String("dbname"))
            a.database = value;
        else
            a.options.emplace_back(key, value);
    }
    return a;
}

QString ServerAddress::serverText() const {
    const QString host = firstOf(this->host, "PGHOST");
    const QString port = firstOf(this->port, "PGPORT");
    if (host.isEmpty())
        return port.isEmpty() ? QStringLiteral("místní server")
                              : QStringLiteral("místní server (port %1)").arg(port);
    return port.isEmpty() ? host : host + u':' + port;
}

QString ServerAddress::userText() const {
    return firstOf(firstOf(user, "PGUSER"), "USER");
}

QString ServerAddress::databaseText() const {
    const QString named = firstOf(database, "PGDATABASE");
    return named.isEmpty() ? userText() : named;
}

QString addressWithoutPassword(const QString& uri) {
    const qsizetype start = schemeLength(uri);
    if (start == 0) // not an address this program reads: its scheme only, whatever follows
        return uri.left(uri.indexOf(u':') + 1) + QStringLiteral("…");
    QString rest = uri.mid(start);
    QString query;
    if (const qsizetype q = rest.indexOf(u'?'); q >= 0) {
        query = rest.mid(q + 1);
        rest.truncate(q);
    }
    const qsizetype slash = rest.indexOf(u'/');
    QString netloc = slash >= 0 ? rest.left(slash) : rest;
    const QString path = slash >= 0 ? rest.mid(slash) : QString();
    if (const qsizetype at = netloc.lastIndexOf(u'@'); at >= 0) {
        const qsizetype colon = netloc.left(at).indexOf(u':');
        if (colon >= 0)
            netloc.remove(colon, at - colon);
    }
    QStringList kept;
    for (const QString& item : query.split(u'&', Qt::SkipEmptyParts))
        if (const QString key = decoded(item.section(u'=', 0, 0));
            key != QLatin1String("password") && key != QLatin1String("sslpassword"))
            kept << item;
    const QString scheme = uri.left(start).toLower();
    return scheme + netloc + path + (kept.isEmpty() ? QString() : u'?' + kept.join(u'&'));
}

} // namespace vel
