#include "updatehiddevice.h"

UpdateHIDDevice::UpdateHIDDevice(QObject *parent) : QObject(parent) {}

void UpdateHIDDevice::SetDevice(HidSlot *device)
{
    m_device = device;
}

void UpdateHIDDevice::ResetProgress() {}

bool UpdateHIDDevice::LoadImage(const QByteArray &image)
{
    return FirmwareImage::LoadForTransfer(image, m_image);
}

bool UpdateHIDDevice::StartTransfer()
{
    return false;
}

void UpdateHIDDevice::HandleReply(const uint8_t *, int) {}

uint32_t UpdateHIDDevice::Progress() const
{
    return 0;
}
