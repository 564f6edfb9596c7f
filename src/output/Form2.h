#pragma once
// The summary window: the summary pane, its export and the round report. The report is
// made above this layer; its command is handed in by whoever owns the windows.

#include <QWidget>

#include <functional>

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
    QPushButton* Button3; // "zpráva PDF"

    void Button1Click(); // saves Memo1 through SaveDialog1
    void Button2Click(); // hides the window
    void Button3Click(); // runs the report command

    // What "zpráva PDF" does; raises the program's errors like any command.
    void setReportCommand(std::function<void()> command) { m_report = std::move(command); }

private:
    std::function<void()> m_report;
};

} // namespace vel
