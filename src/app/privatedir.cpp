#include "privatedir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void MakePrivateDirectory(const QString &path)
{
    if (QFileInfo(path).isDir())
        return;
    if (QDir().mkpath(path))
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
