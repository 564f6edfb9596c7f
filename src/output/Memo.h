#pragma once
// The widget of an output pane: a multi-line editable text pane with a vertical scroll bar.

#include "output/TextPane.h"

#include <QPlainTextEdit>

namespace vel {

class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget* parent = nullptr);

    TextPane& pane() { return m_pane; }
    // Brings the widget up to date now instead of at the next event-loop turn.
    void refresh();

private:
    QString typedText() const;
    void scheduleRefresh();
    void userEdited();

    TextPane m_pane;
    bool m_refreshPending = false;
    bool m_refreshing = false;
};

} // namespace vel
