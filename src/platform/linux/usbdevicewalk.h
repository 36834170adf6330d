#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// One pass over the USB devices that libusb sees, in its own short-lived context.
class UsbDeviceWalk
{
public:
    // bcdDevice of the last device in libusb's list with these ids; nullopt when there
    // is none or libusb cannot list the devices.
    static std::optional<uint16_t> lastRelease(uint16_t vendorId, uint16_t productId);
    // The string descriptor with this index and language of every device with these ids
    // that can be opened and answers with a well-formed descriptor.
    // How many devices with these ids libusb lists; 0 when it cannot list them.
    static int count(uint16_t vendorId, uint16_t productId);
    static QStringList strings(uint16_t vendorId, uint16_t productId, uint8_t index,
                               uint16_t languageId);
    // A string descriptor as the device sent it: at least the two header bytes, type 3, a
    // length byte equal to what arrived, and whole UTF-16 units. nullopt otherwise.
    static std::optional<QString> decodeString(const unsigned char *data, int received);
};
