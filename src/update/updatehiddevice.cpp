#include "updatehiddevice.h"

#include "device/hidslot.h"

#include <QDebug>
#include <algorithm>
#include <cstring>

namespace {

void PutU32(UpdateHIDDevice::Payload &payload, int at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        payload[at + i] = uint8_t(value >> (8 * i));
}

uint32_t GetU32(const uint8_t *bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

} // namespace

UpdateHIDDevice::UpdateHIDDevice(QObject *parent) : QObject(parent) {}

void UpdateHIDDevice::SetDevice(HidSlot *device)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_device = device;
    m_error = false;
    m_checksum = 0;
    m_bytesSent = 0;
    m_currentImage = nullptr;
}

HidSlot *UpdateHIDDevice::Device() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_device;
}

void UpdateHIDDevice::ResetProgress()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bytesSent = 0;
    m_progressBytes = 0;
}

bool UpdateHIDDevice::LoadImage(const QByteArray &image)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_currentImage = nullptr; // the buffers it pointed into may be replaced
    // Loaded afresh: no part of an earlier image may be sent with this one, and a file
    // that does not load leaves nothing to send.
    FirmwareImage::TransferImage loaded;
    const bool ok = FirmwareImage::LoadForTransfer(image, loaded);
    m_image = ok ? loaded : FirmwareImage::TransferImage();
    return ok;
}

FirmwareImage::TransferImage UpdateHIDDevice::Image() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_image;
}

bool UpdateHIDDevice::StartTransfer()
{
    Outcome outcome = Outcome::Failed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_headerSent = false;
        m_sequence = 1;
        m_imageSize = uint32_t(m_image.application.size());
        m_totalBytes = m_imageSize + uint32_t(m_image.loader.size());
        m_currentImage = &m_image.application;
        if (m_imageSize < uint32_t(kHeaderImageBytes)) {
            qDebug() << "no application image to send";
            m_error = true;
            m_currentImage = nullptr;
        } else {
            outcome = Send(Report(kStart));
        }
    }
    Finish(outcome);
    return outcome == Outcome::Running;
}

void UpdateHIDDevice::HandleReply(const uint8_t *report, int length)
{
    Outcome outcome;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        outcome = Step(report, length);
    }
    Finish(outcome);
}

void UpdateHIDDevice::Fail(const char *reason)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_currentImage)
            return;
        qDebug() << reason;
        m_error = true;
        m_currentImage = nullptr;
    }
    Finish(Outcome::Failed);
}

uint32_t UpdateHIDDevice::Progress() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint32_t total = m_totalBytes;
    const uint32_t blocks =
        total > uint32_t(kHeaderImageBytes) ? (total - kHeaderImageBytes) / kDataImageBytes : 0;
    if (blocks == 0)
        return 0;
    // Capped at the bar's end: a last block shorter than 8 bytes would count one more.
    const uint64_t perMille = uint64_t(m_progressBytes / kDataImageBytes) * 1000 / blocks;
    return uint32_t(std::min<uint64_t>(perMille, 1000));
}

bool UpdateHIDDevice::HasError() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_error;
}

UpdateHIDDevice::Outcome UpdateHIDDevice::Step(const uint8_t *report, int length)
{
    // Nothing is being sent: a late or stray report.
    if (!m_currentImage)
        return Outcome::Running;
    uint8_t reply[kPayloadSize] = {};
    if (report && length > 0)
        std::memcpy(reply, report, size_t(std::min(length, kPayloadSize)));

    if (GetU32(reply + 4) != m_sequence + 1 || GetU32(reply) != m_checksum) {
        qDebug() << "error 01";
        m_error = true;
        m_currentImage = nullptr;
        return Outcome::Failed;
    }

    Outcome outcome;
    if (!m_headerSent) {
        m_headerSent = true;
        Payload header = Report(kHeader);
        PutU32(header, 8, 0);
        PutU32(header, 12, m_imageSize);
        std::memcpy(header.data() + 16, m_currentImage->constData(), kHeaderImageBytes);
        m_bytesSent = kHeaderImageBytes;
        outcome = Send(header);
    } else if (m_bytesSent == m_imageSize) {
        outcome = Send(Report(kEnd));
        if (outcome == Outcome::Running) {
            m_currentImage = nullptr;
            outcome = Outcome::Completed;
        }
    } else {
        Payload data = Report(kData);
        const uint32_t n = std::min<uint32_t>(kDataImageBytes, m_imageSize - m_bytesSent);
        std::memcpy(data.data() + 8, m_currentImage->constData() + m_bytesSent, n);
        m_bytesSent += n;
        outcome = Send(data);
    }
    m_sequence += 2;
    m_progressBytes = m_bytesSent;
    return outcome;
}

UpdateHIDDevice::Payload UpdateHIDDevice::Report(uint8_t kind) const
{
    Payload payload{};
    payload[0] = kind;
    PutU32(payload, 4, m_sequence);
    return payload;
}

UpdateHIDDevice::Outcome UpdateHIDDevice::Send(Payload payload)
{
    if (!m_device) {
        m_error = true;
        m_currentImage = nullptr;
        return Outcome::Failed;
    }
    uint16_t sum = 0;
    for (uint8_t byte : payload)
        sum = uint16_t(sum + byte);
    m_checksum = sum;

    uint8_t out[kPayloadSize + 1] = {0}; // report id 0, then the payload
    std::memcpy(out + 1, payload.data(), payload.size());
    const int written = m_device->use(
        [&out](hid_device *handle) { return handle ? hid_write(handle, out, sizeof out) : -1; });
    if (written > 0)
        return Outcome::Running;
    m_error = true;
    m_currentImage = nullptr;
    return Outcome::Failed;
}

void UpdateHIDDevice::Finish(Outcome outcome)
{
    if (outcome != Outcome::Running)
        emit UpdateStatic(outcome == Outcome::Completed);
}
