#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches the firmware image of an update type from the download server, validates it
// and keeps it in memory with its version for the life of the process.
class Downloader : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSlots = 64;
    // Types from here on are never fetched.
    static constexpr int kFirstTypeWithoutDownload = 22;

    explicit Downloader(QObject *parent = nullptr);

    void downloadFirmware(int type);
    bool IsdownloadSuccessed(int type) const;
    int firmwareVersion(int type) const;
    // The version the image states, as text ("1.1.4"); empty without a valid image.
    QString firmwareVersionText(int type) const;
    QByteArray firmwareData(int type) const;
    // The metadata text of the last image that passed validation.
    QString metadata() const { return m_metadata; }

signals:
    void finishedLoad(int type);
    // The type has no usable image: the fetch failed, the image was not valid, or the
    // type has nothing to fetch. Also answers a repeated request for such a type. Always
    // delivered from the event loop, never from inside downloadFirmware.
    void downloadFailed(int type);

private:
    // A type comes from a device's product id: anything outside the slots is ignored.
    static bool InSlots(int type) { return type >= 0 && type < kSlots; }
    void completed(QNetworkReply *reply, QNetworkAccessManager *manager, int type);
    void failLater(int type);

    std::array<QByteArray, kSlots> m_data;
    std::array<bool, kSlots> m_valid{};
    std::array<int, kSlots> m_version{};
    std::array<QString, kSlots> m_versionText;
    std::array<bool, kSlots> m_requested{};
    std::array<bool, kSlots> m_unusable{}; // requested and settled without a valid image
    QString m_metadata;
};
