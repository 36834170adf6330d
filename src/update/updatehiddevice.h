#pragma once

#include "firmwareimage.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <mutex>

class HidSlot;

// Firmware transfer to a device in its update mode: a lock-step exchange of 64-byte
// reports (Start, Header, Data..., End), each acknowledged by the device with the
// checksum of the report and the next sequence number before the next one goes out.
class UpdateHIDDevice : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPayloadSize = 64;
    static constexpr int kHeaderImageBytes = 48;
    static constexpr int kDataImageBytes = 56;
    static constexpr uint8_t kStart = 0xAE;
    static constexpr uint8_t kHeader = 0xA0;
    static constexpr uint8_t kData = 0x00;
    static constexpr uint8_t kEnd = 0xAB;

    using Payload = std::array<uint8_t, kPayloadSize>;

    explicit UpdateHIDDevice(QObject *parent = nullptr);

    // Takes the freshly opened device and clears the error flag, checksum and position.
    void SetDevice(HidSlot *device);
    HidSlot *Device() const;
    void ResetProgress();
    bool LoadImage(const QByteArray &image);
    FirmwareImage::TransferImage Image() const;
    // Sends the Start report. Refuses, as a failed transfer, when no application of at
    // least a header's worth of bytes is loaded.
    bool StartTransfer();
    // Called on the read thread with every report the device sends.
    void HandleReply(const uint8_t *report, int length);
    // Ends the running transfer as failed, e.g. when the device stopped answering reads.
    void Fail(const char *reason);
    // Progress of the running transfer in per-mille.
    uint32_t Progress() const;
    bool HasError() const;

signals:
    void UpdateStatic(bool ok);

private:
    enum class Outcome
    {
        Running,
        Completed,
        Failed,
    };

    // Each needs m_mutex.
    Outcome Send(Payload payload);
    Outcome Step(const uint8_t *reply, int length);
    Payload Report(uint8_t kind) const;
    void Finish(Outcome outcome); // emits outside the lock

    mutable std::mutex m_mutex;
    HidSlot *m_device = nullptr;
    bool m_error = false;
    bool m_headerSent = false;
    uint16_t m_checksum = 0;
    uint32_t m_bytesSent = 0;
    uint32_t m_progressBytes = 0;
    uint32_t m_totalBytes = 0;
    uint32_t m_imageSize = 0;
    const QByteArray *m_currentImage = nullptr;
    FirmwareImage::TransferImage m_image; // application and loader buffers, metadata
    uint32_t m_sequence = 0;
};
