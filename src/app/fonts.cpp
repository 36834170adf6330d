#include "fonts.h"

#include <QDebug>
#include <QFile>
#include <QFontDatabase>
#include <QStringList>

namespace Fonts {

QString LoadFontFamily(const QString &resourcePath)
{
    QFile file(resourcePath);
    QByteArray data;
    // A missing file still goes through registration, which then finds no family.
    if (file.open(QIODevice::ReadOnly))
        data = file.readAll();
    else
        qDebug() << "Open font file error";
    const int id = QFontDatabase::addApplicationFontFromData(data);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        qDebug() << "open failed";
        return QString();
    }
    return families.first();
}

QFont LoadFont(const QString &path)
{
    const int id = QFontDatabase::addApplicationFont(path);
    if (id == -1) {
        qDebug() << "Load font failed";
        return QFont();
    }
    const QFont font(QFontDatabase::applicationFontFamilies(id).value(0));
    qDebug() << "font successed";
    return font;
}

} // namespace Fonts
