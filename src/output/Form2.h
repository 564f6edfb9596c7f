#pragma once
// The summary window: the summary pane and its export.

#include <QWidget>

class QPushButton;

namespace vel {

class Memo;

class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    Memo* Memo1;
    QPushButton* Button1; // "export výstupu."
    QPushButton* Button2; // "zavřít"

    void Button1Click(); // saves Memo1 through SaveDialog1
    void Button2Click(); // hides the window
};

} // namespace vel
