#include "output/Memo.h"

#include <QMetaObject>

namespace vel {

Memo::Memo(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth); // long lines wrap, no horizontal bar
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    setUndoRedoEnabled(false);
    m_pane.setChangeListener([this] { scheduleRefresh(); });
    m_pane.setUserSource([this] { return typedText(); });
    connect(this, &QPlainTextEdit::textChanged, this, &Memo::userEdited);
}

// The text as the user left it. toPlainText() would turn a non-breaking space into a plain
// one; only the breaks between lines (paragraphs, or a Shift+Enter) become line ends.
QString Memo::typedText() const {
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

void Memo::scheduleRefresh() {
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QMetaObject::invokeMethod(this, &Memo::refresh, Qt::QueuedConnection);
}

void Memo::refresh() {
    if (!m_refreshPending)
        return;
    m_refreshPending = false;
    m_refreshing = true;
    setPlainText(m_pane.lines().join(u'\n'));
    m_refreshing = false;
}

void Memo::userEdited() {
    if (m_refreshing)
        return;
    m_pane.markUserEdited();
}

} // namespace vel
