// Start-up: the application object with its title, the four windows, the event loop.
#include "app/AppWindows.h"
#include "app/Form1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velimor & Orbalyx 1.0"));
    vel::setupApplicationFont();
    vel::AppWindows windows;
    windows.form1->show();
    return app.exec();
}
