#include "archive/ArchiveLocation.h"
#include "archive/ServerAddress.h"

#include "data/Errors.h"
#include "data/FileNames.h"

#include <QDir>

#include <cstdlib>
#include <unistd.h>

namespace vel {

ArchiveLocation ArchiveLocation::parse(const QString& text) {
    if (text.trimmed().isEmpty())
        throw AppError(QStringLiteral("Umístění archivu kol není zadáno"));
    for (const char* scheme : {"postgresql:", "postgres:"})
        if (text.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return {ArchiveKind::PostgreSql, text, false};
    // Made absolute as text: Qt's own file functions would pass the name through its lossy
    // conversion and lose the bytes a name that is not UTF-8 keeps (FileNames.h).
    QString path = text;
    if (!QDir::isAbsolutePath(path)) {
        char* cwd = ::getcwd(nullptr, 0);
        const QString folder = cwd ? fileNameFromNative(cwd) : QDir::currentPath();
        std::free(cwd);
        path = folder + u'/' + path;
    }
    return {ArchiveKind::SqliteFile, QDir::cleanPath(path), false};
}

QString ArchiveLocation::displayName() const {
    if (kind == ArchiveKind::SqliteFile)
        return QDir::toNativeSeparators(path);
    return addressWithoutPassword(path);
}

QString ArchiveLocation::placeText() const {
    if (kind == ArchiveKind::SqliteFile)
        return QDir::toNativeSeparators(path);
    try {
        const ServerAddress a = ServerAddress::parse(path);
        return QStringLiteral("databáze „%1“ na serveru PostgreSQL %2, uživatel „%3“")
            .arg(a.databaseText(), a.serverText(), a.userText());
    } catch (const AppError&) {
        return displayName();
    }
}

ArchiveLocation defaultArchiveLocation() {
    const QString named = fileNameFromNative(qgetenv("VELIMOR_ARCHIVE"));
    if (!named.trimmed().isEmpty())
        return ArchiveLocation::parse(named);
    QString data = fileNameFromNative(qgetenv("XDG_DATA_HOME"));
    if (!QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return {ArchiveKind::SqliteFile,
            QDir::cleanPath(data + QStringLiteral("/velimor/archiv.sqlite")), true};
}

} // namespace vel
