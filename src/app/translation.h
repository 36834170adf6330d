#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;
class QTranslator;

// Installs the English translation from dir unless the language is Chinese, the
// language the interface is written in. Returns true when a translation was installed.
bool InstallTranslation(QCoreApplication &app, QTranslator &translator, QLocale::Language language,
                        const QString &dir);
