#include "downloader.h"

#include "firmwareimage.h"
#include "securefetch.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {

struct Source
{
    int type;
    const char *path;
};

// Types that share a path download it each into their own slot. 7 and 8 are listed with
// no path: their GET fails at once and counts as a network error.
constexpr Source kSources[] = {
    {0, "/6102/Dongle/MDJ6102DA-Dongle.wkfw"},
    {1, "/6102/Dongle/MDJ6102DB-Dongle.wkfw"},
    {4, "/6103/Dongle/MDJ6103D-Dongle.wkfw"},
    {7, ""},
    {8, ""},
    {9, "/6103/Dongle/MDJ6103D-Dongle.wkfw"},
    {12, "/6102/Controller/MDJ6102A-Controller.wkfw"},
    {13, "/6102/Controller/MDJ6102B-Controller.wkfw"},
    {16, "/6103/Controller/MDJ6103-Controller.wkfw"},
    {19, "/6102/Dongle/MDJ6102DA-Dongle.wkfw"},
    {20, "/6101/MDJ6101B.wkfw"},
    {21, "/6103/Controller/MDJ6103-Controller.wkfw"},
};

const Source *Find(int type)
{
    for (const Source &source : kSources)
        if (source.type == type)
            return &source;
    return nullptr;
}

} // namespace

Downloader::Downloader(QObject *parent) : QObject(parent) {}

void Downloader::downloadFirmware(int type)
{
    if (!InSlots(type))
        return;
    if (m_requested[type]) {
        qDebug() << "已发送下载请求ID:" << type;
        if (m_unusable[type])
            failLater(type);
        return;
    }
    qDebug() << "正在发送下载请求ID:" << type;
    m_requested[type] = true;
    if (m_valid[type])
        return;
    // A type without a download stays requested, so it is not looked up again.
    const Source *source = type < kFirstTypeWithoutDownload ? Find(type) : nullptr;
    if (!source) {
        m_unusable[type] = true;
        failLater(type);
        return;
    }
    auto *manager = new QNetworkAccessManager(this);
    QNetworkReply *reply =
        SecureFetch::Get(manager, SecureFetch::Url(QString::fromLatin1(source->path)));
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, manager, type] { completed(reply, manager, type); });
}

void Downloader::completed(QNetworkReply *reply, QNetworkAccessManager *manager, int type)
{
    // Scheduled first: a receiver of finishedLoad may delete this downloader.
    reply->deleteLater();
    manager->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        qDebug() << "Error downloading file:" << reply->errorString();
        m_requested[type] = false;
        emit downloadFailed(type);
        return;
    }
    m_data[type] = reply->readAll();
    const FirmwareImage::Validation validation =
        FirmwareImage::ValidateDownload(m_data[type], type);
    m_valid[type] = validation.valid;
    if (!validation.valid) {
        m_unusable[type] = true;
        emit downloadFailed(type);
        return;
    }
    m_version[type] = validation.version;
    m_versionText[type] = validation.versionText;
    m_metadata = validation.metadata;
    emit finishedLoad(type);
}

void Downloader::failLater(int type)
{
    QMetaObject::invokeMethod(
        this, [this, type] { emit downloadFailed(type); }, Qt::QueuedConnection);
}

bool Downloader::IsdownloadSuccessed(int type) const
{
    return InSlots(type) && m_valid[type];
}

QString Downloader::firmwareVersionText(int type) const
{
    return InSlots(type) ? m_versionText[type] : QString();
}

int Downloader::firmwareVersion(int type) const
{
    return InSlots(type) ? m_version[type] : 0;
}

QByteArray Downloader::firmwareData(int type) const
{
    return InSlots(type) ? m_data[type] : QByteArray();
}
