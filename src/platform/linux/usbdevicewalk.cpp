#include "usbdevicewalk.h"

#include <QDebug>
#include <functional>
#include <libusb.h>

namespace {

// Calls visit for each listed device with these ids, in libusb's order; false when libusb
// cannot list the devices.
bool forEachMatch(
    uint16_t vendorId, uint16_t productId,
    const std::function<void(libusb_device *, const libusb_device_descriptor &)> &visit)
{
    libusb_context *context = nullptr;
    const int status = libusb_init(&context);
    if (status != LIBUSB_SUCCESS) {
        qDebug() << "libusb_init:" << libusb_error_name(status);
        return false;
    }
    libusb_device **devices = nullptr;
    const ssize_t count = libusb_get_device_list(context, &devices);
    if (count < 0)
        qDebug() << "libusb_get_device_list:" << libusb_error_name(static_cast<int>(count));
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(devices[i], &descriptor) != LIBUSB_SUCCESS)
            continue;
        if (descriptor.idVendor == vendorId && descriptor.idProduct == productId)
            visit(devices[i], descriptor);
    }
    if (count >= 0)
        libusb_free_device_list(devices, 1);
    libusb_exit(context);
    return count >= 0;
}

} // namespace

std::optional<uint16_t> UsbDeviceWalk::lastRelease(uint16_t vendorId, uint16_t productId)
{
    std::optional<uint16_t> release;
    forEachMatch(vendorId, productId,
                 [&](libusb_device *, const libusb_device_descriptor &descriptor) {
                     release = descriptor.bcdDevice;
                 });
    return release;
}

int UsbDeviceWalk::count(uint16_t vendorId, uint16_t productId)
{
    int found = 0;
    forEachMatch(vendorId, productId,
                 [&](libusb_device *, const libusb_device_descriptor &) { ++found; });
    return found;
}

QStringList UsbDeviceWalk::strings(uint16_t vendorId, uint16_t productId, uint8_t index,
                                   uint16_t languageId)
{
    QStringList result;
    forEachMatch(vendorId, productId, [&](libusb_device *device, const libusb_device_descriptor &) {
        libusb_device_handle *handle = nullptr;
        if (libusb_open(device, &handle) != LIBUSB_SUCCESS)
            return;
        unsigned char data[255];
        const int received =
            libusb_get_string_descriptor(handle, index, languageId, data, sizeof data);
        libusb_close(handle);
        if (const auto text = decodeString(data, received))
            result.append(*text);
    });
    return result;
}

std::optional<QString> UsbDeviceWalk::decodeString(const unsigned char *data, int received)
{
    if (received < 2 || data[1] != LIBUSB_DT_STRING || data[0] != received || received % 2)
        return std::nullopt;
    QString text;
    for (int i = 2; i + 1 < received; i += 2)
        text.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
    return text;
}
