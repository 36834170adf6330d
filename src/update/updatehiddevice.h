#pragma once

#include "firmwareimage.h"

#include <QByteArray>
#include <QObject>
#include <cstdint>

class HidSlot;

// Firmware transfer to a device in its update mode. It loads the image to send; the
// lock-step exchange itself is not built yet, so no transfer starts and no progress is
// reported.
class UpdateHIDDevice : public QObject
{
    Q_OBJECT

public:
    explicit UpdateHIDDevice(QObject *parent = nullptr);

    void SetDevice(HidSlot *device);
    HidSlot *Device() const { return m_device; }
    void ResetProgress();
    bool LoadImage(const QByteArray &image);
    const FirmwareImage::TransferImage &Image() const { return m_image; }
    bool StartTransfer();
    // Called on the read thread with every report the device sends.
    void HandleReply(const uint8_t *report, int length);
    // Progress of the running transfer in per-mille.
    uint32_t Progress() const;

signals:
    void UpdateStatic(bool ok);

private:
    HidSlot *m_device = nullptr;
    FirmwareImage::TransferImage m_image;
};
