#pragma once

#include <QByteArray>
#include <QObject>
#include <cstdint>

class HidSlot;

// Firmware transfer to a device in its update mode. The transfer itself (image loading
// and the lock-step exchange) is not built yet: this holds the device it will write to
// and reports no progress.
class UpdateHIDDevice : public QObject
{
    Q_OBJECT

public:
    explicit UpdateHIDDevice(QObject *parent = nullptr);

    void SetDevice(HidSlot *device);
    HidSlot *Device() const { return m_device; }
    void ResetProgress();
    bool LoadImage(const QByteArray &image);
    bool StartTransfer();
    // Called on the read thread with every report the device sends.
    void HandleReply(const uint8_t *report, int length);
    // Progress of the running transfer in per-mille.
    uint32_t Progress() const;

signals:
    void UpdateStatic(bool ok);

private:
    HidSlot *m_device = nullptr;
};
