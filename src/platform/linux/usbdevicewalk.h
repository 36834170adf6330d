#pragma once

#include <cstdint>
#include <optional>

// One pass over the USB devices that libusb sees, in its own short-lived context.
class UsbDeviceWalk
{
public:
    // bcdDevice of the last device in libusb's list with these ids; nullopt when there
    // is none or libusb cannot list the devices.
    static std::optional<uint16_t> lastRelease(uint16_t vendorId, uint16_t productId);
};
