#pragma once
// File names are bytes on Linux and need not be valid UTF-8. The program keeps a file name
// as a QString that gives back its very bytes: every byte that is not part of a valid UTF-8
// sequence is held as the lone surrogate U+DC80 + (byte - 0x80), as Python's
// "surrogateescape" does. Qt's own conversion turns such bytes into U+FFFD and loses them.

#include <QByteArray>
#include <QString>

namespace vel {

QString fileNameFromNative(const QByteArray& bytes);
QByteArray nativeFileName(const QString& name);

// A text as a file's name: every character that a file name cannot hold here or on a
// Windows share ("/", "\\", ":", "*", "?", the quotation mark, "<", ">", "|" and control
// characters) becomes "_"; blanks at either end go.
QString fileNameOf(const QString& text);

// A name picked in a file dialog, which shows names through Qt's lossy conversion: where
// the name does not exist as given and a folder on its way holds exactly one entry that
// Qt shows under that name, the entry's real name takes its place.
QString realFileName(const QString& shown);

} // namespace vel
