#pragma once
// An output pane as a list of lines. Writers append whole lines or extend the last one;
// both cost the same however long the pane is. The widget showing the pane (Memo) is
// refreshed when the running command returns to the event loop, and text the user types
// there becomes the pane's lines.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace vel {

// Appends one line of a text file: the line in Windows-1250, then CR LF. A CR, LF or NUL
// within the line becomes a blank, so that every line written is one line of the file.
void appendFileLine(QByteArray& out, const QString& line);

class TextPane {
public:
    TextPane() : m_lines{QString()} {} // a new pane holds one empty line

    void clear();
    void add(const QString& line);
    void appendToLast(const QString& text); // no effect on a pane without lines
    qsizetype count() const;
    const QStringList& lines() const;
    QString line(qsizetype i) const { return lines().at(i); }

    // The pane as a text file: every line followed by CR LF, Windows-1250 (appendFileLine).
    QByteArray fileBytes() const;

    // The widget's side: notified of every change by a writer; asked for the user's text
    // when the user has edited the widget since the last refresh.
    void setChangeListener(std::function<void()> f) { m_onChange = std::move(f); }
    // The user edited the widget: its text, fetched through pull when next needed,
    // becomes the lines as the widget shows them.
    void setUserSource(std::function<QString()> pull) { m_pull = std::move(pull); }
    void markUserEdited() { m_userEdited = true; }

private:
    void changed() {
        if (m_onChange)
            m_onChange();
    }
    void sync() const;

    mutable QStringList m_lines;
    mutable bool m_userEdited = false;
    std::function<void()> m_onChange;
    std::function<QString()> m_pull;
};

} // namespace vel
