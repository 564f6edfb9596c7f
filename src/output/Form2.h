#pragma once
// The summary window: the summary pane, its export, the round report and the reports for
// the participants. The reports are made above this layer; their commands are handed in by
// whoever owns the windows.

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
    QPushButton* Button4; // "zprávy účastníkům", after "zpráva PDF"
    QPushButton* Button5; // "anonymní zpráva", left of "export výstupu.", last in tab order

    void Button1Click(); // saves Memo1 through SaveDialog1
    void Button2Click(); // hides the window
    void Button3Click(); // runs the report command
    void Button4Click(); // runs the participants' reports command
    void Button5Click(); // runs the anonymous report command

    // What "zpráva PDF" does; raises the program's errors like any command.
    void setReportCommand(std::function<void()> command) { m_report = std::move(command); }
    // What "zprávy účastníkům" does.
    void setParticipantsCommand(std::function<void()> command) {
        m_participants = std::move(command);
    }

    // What "anonymní zpráva" does.
    void setAnonymousCommand(std::function<void()> command) { m_anonymous = std::move(command); }

private:
    std::function<void()> m_report;
    std::function<void()> m_participants;
    std::function<void()> m_anonymous;
};

} // namespace vel
