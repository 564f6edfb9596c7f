// Start-up: the application object with its title, Qt's own texts in the user's language,
// the four windows, the event loop.
#include "app/AppWindows.h"
#include "app/Form1.h"
#include "ui/Dialogs.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ui::kAppTitle));
    // The desktop entry the windows belong to (its StartupWMClass is the class Qt puts in
    // WM_CLASS, the application name above), and the icon of every window, compiled in.
    QGuiApplication::setDesktopFileName(QStringLiteral("cz.velimor.velimor"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/velimor-48.png"));
    icon.addFile(QStringLiteral(":/icons/velimor-256.png"));
    QApplication::setWindowIcon(icon);
    vel::setupApplicationFont();
    ui::installFocusStyle();
    // The standard dialogs and buttons of Qt speak the user's language (Czech under a
    // Czech locale); the program's own texts are Czech already and are not translated.
    QTranslator qtTexts;
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (qtTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     translations) ||
        qtTexts.load(QLocale::system(), QStringLiteral("qt"), QStringLiteral("_"), translations))
        QApplication::installTranslator(&qtTexts);
    vel::AppWindows windows;
    windows.form1->show();
    return app.exec();
}
