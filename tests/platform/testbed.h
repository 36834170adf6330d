#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

typedef struct _UMockdevTestbed UMockdevTestbed;

// Emulated sysfs and uevents over umockdev: USB devices, their interfaces, hid devices
// and hidraw nodes laid out as the kernel lays them out. Making a device sends its "add"
// uevent. The process must run under umockdev-wrapper, or libudev, hidapi and libusb see
// the real system.
class Testbed
{
public:
    Testbed();
    ~Testbed();
    Testbed(const Testbed &) = delete;
    Testbed &operator=(const Testbed &) = delete;

    static bool inMockEnvironment();

    // Report descriptors: a gamepad with a nested physical collection, a vendor-defined
    // configuration interface, and a dongle's node holding both.
    static QByteArray gamepadDescriptor();
    static QByteArray vendorDescriptor();
    static QByteArray dongleDescriptor();

    // A usb_device with this device descriptor; returns its syspath.
    QString addUsbDevice(const QString &name, uint16_t vendorId, uint16_t productId,
                         uint16_t release);
    // usb_interface, hid device and /dev/hidraw<number> below usbDevice; returns the
    // hidraw syspath.
    QString addHidraw(const QString &usbDevice, int interfaceNumber, int number, uint16_t vendorId,
                      uint16_t productId, const QByteArray &descriptor);
    void uevent(const QString &syspath, const char *action);
    // Sends "remove" for the device and everything below it, children first, taking each
    // out of sysfs as it goes.
    void remove(const QString &syspath);

private:
    // Keeps the syspath that umockdev allocated, and frees it.
    QString made(char *syspath);

    UMockdevTestbed *m_testbed;
    QStringList m_devices; // in the order they were made
    int m_lastDevnum = 1;
};
