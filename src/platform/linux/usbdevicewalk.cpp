#include "usbdevicewalk.h"

#include <QDebug>
#include <libusb.h>

std::optional<uint16_t> UsbDeviceWalk::lastRelease(uint16_t vendorId, uint16_t productId)
{
    libusb_context *context = nullptr;
    const int status = libusb_init(&context);
    if (status != LIBUSB_SUCCESS) {
        qDebug() << "libusb_init:" << libusb_error_name(status);
        return std::nullopt;
    }
    std::optional<uint16_t> release;
    libusb_device **devices = nullptr;
    const ssize_t count = libusb_get_device_list(context, &devices);
    if (count < 0)
        qDebug() << "libusb_get_device_list:" << libusb_error_name(static_cast<int>(count));
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(devices[i], &descriptor) != LIBUSB_SUCCESS)
            continue;
        if (descriptor.idVendor == vendorId && descriptor.idProduct == productId)
            release = descriptor.bcdDevice;
    }
    if (count >= 0)
        libusb_free_device_list(devices, 1);
    libusb_exit(context);
    return release;
}
