#include "output/TextPane.h"

#include "data/Cp1250.h"

namespace vel {

void appendFileLine(QByteArray& out, const QString& line) {
    const qsizetype start = out.size();
    out += toCp1250(line);
    for (qsizetype i = start; i < out.size(); ++i) {
        char& b = out[i];
        if (b == '\r' || b == '\n' || b == '\0')
            b = ' ';
    }
    out += "\r\n";
}

void TextPane::sync() const {
    if (!m_userEdited || !m_pull)
        return;
    m_userEdited = false;
    // An emptied widget holds no lines at all, as after clearing.
    QString text = m_pull();
    m_lines = text.isEmpty() ? QStringList() : text.split(u'\n');
}

void TextPane::clear() {
    m_userEdited = false;
    m_lines.clear();
    changed();
}

void TextPane::add(const QString& line) {
    sync();
    m_lines.append(line);
    changed();
}

void TextPane::appendToLast(const QString& text) {
    sync();
    if (m_lines.isEmpty())
        return;
    m_lines.last().append(text);
    changed();
}

qsizetype TextPane::count() const {
    return lines().size();
}

const QStringList& TextPane::lines() const {
    sync();
    return m_lines;
}

QByteArray TextPane::fileBytes() const {
    QByteArray out;
    qsizetype size = 0;
    const QStringList& all = lines();
    for (const QString& l : all)
        size += l.size() + 2;
    out.reserve(size);
    for (const QString& l : all)
        appendFileLine(out, l);
    return out;
}

} // namespace vel
