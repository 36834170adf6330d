#pragma once

#include <cstdint>
#include <optional>

struct udev_device;

// USB vendor and product id of a usb_device.
struct UsbIds
{
    uint16_t vendorId = 0;
    uint16_t productId = 0;

    // From the idVendor and idProduct attributes, else from the PRODUCT property.
    static std::optional<UsbIds> of(udev_device *usbDevice);
    // From the PRODUCT property ("35c7/400e/105": vendor/product/release in hex), which a
    // removal event still carries when sysfs is gone.
    static std::optional<UsbIds> fromProductProperty(udev_device *usbDevice);
};
