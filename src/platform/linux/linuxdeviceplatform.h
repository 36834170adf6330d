#pragma once

#include "announceddevices.h"
#include "device/deviceplatform.h"

struct udev_device;
class UdevMonitor;

// The device platform on Linux: hidapi (hidraw) for the present interfaces, a libudev
// monitor for hot-plug, libusb for USB device descriptors. Signals come on the thread
// that called StartMonitoring; the other calls may come from any thread.
class LinuxDevicePlatform : public DevicePlatform
{
    Q_OBJECT

public:
    // The vendor whose hidraw nodes give hot-plug events.
    static constexpr uint16_t kVendorId = 0x35C7;

    explicit LinuxDevicePlatform(QObject *parent = nullptr);
    ~LinuxDevicePlatform() override;

    QList<HidInterface> Scan(uint16_t vendorId) override;
    uint16_t UsbRelease(uint16_t vendorId, uint16_t productId) override;
    int UsbCount(uint16_t vendorId, uint16_t productId) override;
    // Root, or a udev rule that gives the device's hidraw nodes to the user.
    bool CanOpenDevice(uint16_t vendorId, uint16_t productId) override;
    // Where the rules are looked for; tests point it at their own directory.
    void SetRuleDirectories(const QStringList &dirs) { m_ruleDirs = dirs; }
    QStringList UsbStrings(uint16_t vendorId, uint16_t productId, uint8_t index,
                           uint16_t languageId) override;
    QString OpenPathFor(const QString &pathText) const override;
    bool StartMonitoring() override;

private:
    void onDevice(udev_device *device);
    void hidrawAdded(udev_device *device);
    void hidrawRemoved(udev_device *device);
    void usbAdded(udev_device *device);
    void usbRemoved(udev_device *device);

    AnnouncedDevices m_announced;
    QStringList m_ruleDirs;
    UdevMonitor *m_monitor = nullptr;
};
