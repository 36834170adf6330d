#include "startup.h"

#include "device/deviceplatform.h"
#include "singleinstance.h"
#include "translation.h"
#include "ui/mainwindow/mainwindow.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int RunApplication(int argc, char **argv, const DevicePlatformFactory &makePlatform)
{
    QApplication app(argc, argv);
    QTranslator translator;
    InstallTranslation(app, translator, QLocale::system().language(),
                       QCoreApplication::applicationDirPath());

    SingleInstanceGuard guard;
    if (!guard.TryAcquire())
        return 0;

    std::unique_ptr<DevicePlatform> platform = makePlatform();
    MainWindow window(platform.get());
    window.show();
    return app.exec();
}
