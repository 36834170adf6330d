#pragma once

#include <QByteArray>
#include <QStringList>
#include <cstdint>

typedef struct _UMockdevTestbed UMockdevTestbed;

// Emulated sysfs and uevents over umockdev, laid out as the kernel lays them out; making a
// device sends its "add" uevent. Only under umockdev-wrapper do libudev, hidapi and libusb
// see it instead of the real system.
class Testbed
{
public:
    Testbed();
    ~Testbed();
    Q_DISABLE_COPY(Testbed)
    static bool inMockEnvironment();

    // A usb_device with this device descriptor and, by interface number, a hidraw node
    // (numbered from firstNode) with a gamepad (g), vendor (v) or dongle (d) report
    // descriptor, or none (-). Returns its syspath; hidraws gets the nodes' syspaths.
    QString plug(const QString &name, uint16_t vendorId, uint16_t productId, uint16_t release,
                 const QString &kinds, int firstNode, QStringList *hidraws = nullptr);
    void uevent(const QString &syspath, const char *action);
    // Sends "remove" for the device and all below it, children first, and takes each out.
    void remove(const QString &syspath);

private:
    QString addHidraw(const QString &usbDevice, int interfaceNumber, int number,
                      const QByteArray &ids, const QByteArray &descriptor);
    QString made(char *syspath); // keeps and frees what umockdev allocated

    UMockdevTestbed *m_testbed;
    QStringList m_devices; // in the order they were made
    int m_lastDevnum = 1;
};
