// Start-up: the application object with its title, the four windows, the event loop.
#include "app/AppWindows.h"
#include "app/Form1.h"
#include "ui/Dialogs.h"
#include "ui/Widgets.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ui::kAppTitle));
    vel::setupApplicationFont();
    ui::installFocusStyle();
    vel::AppWindows windows;
    windows.form1->show();
    return app.exec();
}
