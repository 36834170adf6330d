#include "fileini.h"

#include "privatedir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

const QString FileINI::kSyncCodeKey = QStringLiteral("/Quorel_Vexalon/SYNC_CODE");
const QString FileINI::kUpdateDeviceCodeKey = QStringLiteral("/Quorel_Vexalon/UPDATE_DEVICE_CODE");

FileINI::FileINI(QObject *parent) : QObject(parent)
{
    MakePrivateDirectory(DirectoryPath());
    m_settings = std::make_unique<QSettings>(FilePath(), QSettings::IniFormat);
}

FileINI::~FileINI() = default;

QString FileINI::DirectoryPath()
{
    // A fixed folder in the generic location rather than AppConfigLocation, so the path
    // does not depend on the organisation and application names of whoever opens it.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quorel-oradesk");
}

QString FileINI::FilePath()
{
    return DirectoryPath() + QStringLiteral("/Quorel_config.ini");
}

void FileINI::write(const QString &key, const QString &value)
{
    m_settings->setValue(key, value);
    m_settings->sync();
}

QString FileINI::read(const QString &key) const
{
    m_settings->sync();
    return m_settings->value(key).toString();
}

void FileINI::SetSyncCode(bool on)
{
    write(kSyncCodeKey, on ? QStringLiteral("true") : QStringLiteral("false"));
}

int FileINI::ParseUpdateType(const QString &value)
{
    bool ok = false;
    const int type = value.toInt(&ok, 10);
    return ok && type >= 0 && type < kUpdateTypeCount ? type : -1;
}

void FileINI::SetUpdateDeviceCode(int updateType)
{
    write(kUpdateDeviceCodeKey, QString::number(updateType));
}
