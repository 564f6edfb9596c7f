#include "data/Cp1250.h"

#include <QStringDecoder>

#include <array>
#include <vector>

namespace vel {

namespace {
// Both directions as tables, built once from the system's decoder. Only characters that
// a byte decodes to are written back as that byte; everything else becomes "?".
struct Tables {
    std::vector<char> toByte = std::vector<char>(0x10000, '?');
    std::array<char16_t, 256> toChar{};

    Tables() {
        QByteArray single(256, 0);
        for (int i = 0; i < 256; ++i)
            single[i] = char(i);
        QStringDecoder dec("windows-1250", QStringConverter::Flag::Stateless);
        QString decoded = dec.decode(single);
        for (int i = 0; i < 256; ++i) {
            char16_t c = decoded.size() == 256 ? decoded.at(i).unicode() : char16_t(i);
            toChar[i] = c;
            if (c != 0xFFFD)
                toByte[c] = char(i);
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}
} // namespace

QByteArray toCp1250(const QString& text) {
    const Tables& t = tables();
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append('?');
            ++i;
        } else {
            out.append(t.toByte[c.unicode()]);
        }
    }
    return out;
}

QString fromCp1250(const QByteArray& bytes) {
    const Tables& t = tables();
    QString out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(t.toChar[static_cast<unsigned char>(bytes.at(i))]);
    return out;
}

} // namespace vel
