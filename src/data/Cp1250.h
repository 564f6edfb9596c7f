#pragma once
// Texts in the program's files are single-byte Windows-1250.

#include <QByteArray>
#include <QString>

namespace vel {

// A character with no Windows-1250 byte is written as "?".
QByteArray toCp1250(const QString& text);
QString fromCp1250(const QByteArray& bytes);

} // namespace vel
