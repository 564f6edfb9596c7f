#include "archive/ArchiveLocation.h"

#include "data/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace vel {

ArchiveLocation ArchiveLocation::parse(const QString& text) {
    if (text.trimmed().isEmpty())
        throw AppError(QStringLiteral("Umístění archivu kol není zadáno"));
    for (const char* scheme : {"postgresql:", "postgres:"})
        if (text.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return {ArchiveKind::PostgreSql, text, false};
    return {ArchiveKind::SqliteFile, QFileInfo(text).absoluteFilePath(), false};
}

QString ArchiveLocation::displayName() const {
    if (kind == ArchiveKind::SqliteFile)
        return QDir::toNativeSeparators(path);
    const QUrl url(path);
    return url.isValid() ? url.toDisplayString(QUrl::RemovePassword) : path;
}

ArchiveLocation defaultArchiveLocation() {
    const QString named = qEnvironmentVariable("VELIMOR_ARCHIVE");
    if (!named.isEmpty())
        return ArchiveLocation::parse(named);
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return {ArchiveKind::SqliteFile,
            QDir::cleanPath(data + QStringLiteral("/velimor/archiv.sqlite")), true};
}

} // namespace vel
