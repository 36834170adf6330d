#include "startup.h"

#include "singleinstance.h"
#include "translation.h"
#include "ui/mainwindow/mainwindow.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int RunApplication(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTranslator translator;
    InstallTranslation(app, translator, QLocale::system().language(),
                       QCoreApplication::applicationDirPath());

    SingleInstanceGuard guard;
    if (!guard.TryAcquire())
        return 0;

    MainWindow window;
    window.show();
    return app.exec();
}
