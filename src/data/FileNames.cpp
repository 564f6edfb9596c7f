#include "data/FileNames.h"

#include <QFile>
#include <QStringList>

#include <dirent.h>
#include <sys/stat.h>

namespace vel {

namespace {

// Length of the valid UTF-8 sequence at p (at most n bytes), or 0 when it is not one:
// overlong forms, surrogates and code points above U+10FFFF are not valid.
int utf8Length(const unsigned char* p, qsizetype n) {
    const unsigned char b = p[0];
    if (b < 0x80)
        return 1;
    int len = 0;
    char32_t cp = 0, min = 0;
    if ((b & 0xE0) == 0xC0)
        len = 2, cp = b & 0x1F, min = 0x80;
    else if ((b & 0xF0) == 0xE0)
        len = 3, cp = b & 0x0F, min = 0x800;
    else if ((b & 0xF8) == 0xF0)
        len = 4, cp = b & 0x07, min = 0x10000;
    else
        return 0;
    if (n < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

bool isEscapedByte(QChar c) {
    return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
}

bool exists(const QByteArray& native) {
    struct stat st {};
    return ::lstat(native.constData(), &st) == 0;
}

// The one entry of folder that Qt shows as shown; empty when none or several are.
QByteArray onlyEntryShownAs(const QByteArray& folder, const QString& shown) {
    QByteArray found;
    int matches = 0;
    if (DIR* d = ::opendir(folder.constData())) {
        while (const dirent* e = ::readdir(d)) {
            if (QFile::decodeName(e->d_name) == shown) {
                found = e->d_name;
                ++matches;
            }
        }
        ::closedir(d);
    }
    return matches == 1 ? found : QByteArray();
}

} // namespace

QString fileNameFromNative(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const int len = utf8Length(p + i, n - i);
        if (len == 0) {
            out += QChar(char16_t(0xDC00 + p[i]));
            ++i;
        } else {
            out += QString::fromUtf8(reinterpret_cast<const char*>(p + i), len);
            i += len;
        }
    }
    return out;
}

QByteArray nativeFileName(const QString& name) {
    QByteArray out;
    out.reserve(name.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        // A lone low surrogate (one not closing a pair) stands for a byte.
        const bool paired = i > 0 && name[i - 1].isHighSurrogate();
        if (isEscapedByte(name[i]) && !paired) {
            out += QStringView(name).mid(start, i - start).toUtf8();
            out += char(name[i].unicode() - 0xDC00);
            start = i + 1;
        }
    }
    out += QStringView(name).mid(start).toUtf8();
    return out;
}

QString fileNameOf(const QString& text) {
    QString name = text.trimmed();
    for (QChar& c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = u'_';
    return name;
}

QString realFileName(const QString& shown) {
    if (!shown.contains(QChar::ReplacementCharacter) || exists(nativeFileName(shown)))
        return shown;
    // Folder by folder, each part that does not exist as shown is looked up among the
    // entries of the folder before it.
    const QStringList parts = shown.split(u'/');
    QByteArray path = nativeFileName(parts.first()); // empty for an absolute name
    for (qsizetype k = 1; k < parts.size(); ++k) {
        QByteArray part = nativeFileName(parts[k]);
        if (parts[k].contains(QChar::ReplacementCharacter) && !exists(path + '/' + part)) {
            part = onlyEntryShownAs(path.isEmpty() ? QByteArray("/") : path, parts[k]);
            if (part.isEmpty())
                return shown;
        }
        path += '/' + part;
    }
    return fileNameFromNative(path);
}

} // namespace vel
