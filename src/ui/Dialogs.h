#pragma once
// Every modal interaction of the program goes through this seam: message and error
// boxes, file dialogs, printing and handing a file to the desktop's viewer. Production
// uses QtDialogs; tests install a scripted implementation.

#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class QPainter;
class QWidget;

namespace ui {

// The application title: the caption of every message box and error box.
inline const char* const kAppTitle = "Velimor & Orbalyx 1.0";

// Draws a picture of the given logical size with the painter.
using PagePainter = std::function<void(QPainter&)>;

// What a save dialog of the program's own commands (not the specified ones, which have
// neither) offers besides the remembered folder.
struct SaveChoice {
    QString proposedName;  // the file name offered in the remembered folder
    QString filter;        // e.g. "Dokumenty PDF (*.pdf)"
    QString defaultSuffix; // added to a name typed without an extension, e.g. "pdf"
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Modal box with the application title, no icon and an OK button.
    virtual void message(QWidget* owner, const QString& text) = 0;
    // Modal box with a stop icon; text is shown as given.
    virtual void error(QWidget* owner, const QString& text) = 0;
    // File dialogs; dialogName is the dialog's component name ("OpenDialog1", ...) within
    // the owner's window. Each window's dialog opens in the folder of the file it was last
    // given in this run, with that file's name. nullopt when the user cancels.
    virtual std::optional<QString> openFile(QWidget* owner, const QString& dialogName) = 0;
    virtual std::optional<QString> saveFile(QWidget* owner, const QString& dialogName) = 0;
    // A save dialog that proposes a name, filters and completes an extension.
    virtual std::optional<QString> saveFile(QWidget* owner, const QString& dialogName,
                                            const SaveChoice& choice) = 0;
    // A folder chooser, remembered per window like the file dialogs; the folder chosen,
    // nullopt when the user cancels.
    virtual std::optional<QString> chooseFolder(QWidget* owner, const QString& dialogName) = 0;
    // Prints one page on the default printer as one job titled docName, scaling the
    // picture of the given size to the page with its proportions kept. Failures throw
    // vel::AppError ("There is no default printer currently selected" without one).
    virtual void print(const QString& docName, QSize size, const PagePainter& paint) = 0;
    // Opens a file in the desktop's default viewer; the outcome is ignored.
    virtual void openInViewer(const QString& path) = 0;
    // Modal question with the application title and the buttons "Ano" and "Ne" ("Ne" the
    // default); true for "Ano".
    virtual bool ask(QWidget* owner, const QString& text) = 0;
    // Modal box asking for one line of text, offering `text`; nullopt when cancelled.
    virtual std::optional<QString> askText(QWidget* owner, const QString& label,
                                           const QString& text) = 0;
};

// The seam in force. Starts as QtDialogs; a test replaces it and restores it.
Dialogs& dialogs();
void setDialogs(Dialogs* d); // nullptr restores the production implementation

class QtDialogs : public Dialogs {
public:
    void message(QWidget* owner, const QString& text) override;
    void error(QWidget* owner, const QString& text) override;
    std::optional<QString> openFile(QWidget* owner, const QString& dialogName) override;
    std::optional<QString> saveFile(QWidget* owner, const QString& dialogName) override;
    std::optional<QString> saveFile(QWidget* owner, const QString& dialogName,
                                    const SaveChoice& choice) override;
    std::optional<QString> chooseFolder(QWidget* owner, const QString& dialogName) override;
    void print(const QString& docName, QSize size, const PagePainter& paint) override;
    void openInViewer(const QString& path) override;
    bool ask(QWidget* owner, const QString& text) override;
    std::optional<QString> askText(QWidget* owner, const QString& label,
                                   const QString& text) override;
};

} // namespace ui
