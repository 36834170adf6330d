#include "usbids.h"

#include "sysfsvalue.h"

#include <QByteArray>
#include <QList>
#include <libudev.h>

std::optional<UsbIds> UsbIds::of(udev_device *usbDevice)
{
    const auto vendor =
        SysfsValue::hex(udev_device_get_sysattr_value(usbDevice, "idVendor"), 0xFFFF);
    const auto product =
        SysfsValue::hex(udev_device_get_sysattr_value(usbDevice, "idProduct"), 0xFFFF);
    if (vendor && product)
        return UsbIds{static_cast<uint16_t>(*vendor), static_cast<uint16_t>(*product)};
    return fromProductProperty(usbDevice);
}

std::optional<UsbIds> UsbIds::fromProductProperty(udev_device *usbDevice)
{
    const QList<QByteArray> fields =
        QByteArray(udev_device_get_property_value(usbDevice, "PRODUCT")).split('/');
    if (fields.size() != 3)
        return std::nullopt;
    const auto vendor = SysfsValue::hex(fields.at(0), 0xFFFF);
    const auto product = SysfsValue::hex(fields.at(1), 0xFFFF);
    if (!vendor || !product)
        return std::nullopt;
    return UsbIds{static_cast<uint16_t>(*vendor), static_cast<uint16_t>(*product)};
}
