#include "translation.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTranslator>

bool InstallTranslation(QCoreApplication &app, QTranslator &translator, QLocale::Language language,
                        const QString &dir)
{
    if (language == QLocale::Chinese)
        return false;
    const bool mBool = translator.load(dir + QStringLiteral("/language_en.qm"));
    qDebug() << "mBool:" << mBool;
    if (!mBool) {
        qDebug() << "Failed to load translation.";
        return false;
    }
    app.installTranslator(&translator);
    qDebug() << "Translation loaded successfully.";
    return true;
}
