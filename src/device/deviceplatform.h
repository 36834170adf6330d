#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>

// One HID interface as the discovery rules see it. pathText carries the vendor id, the
// four-digit product id and the collection or interface markers that the rules search
// for; openPath is what hid_open_path takes.
struct HidInterface
{
    QString pathText;
    QString openPath;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// What device discovery needs from the operating system: the present interfaces,
// hot-plug events, and a USB device's release number.
class DevicePlatform : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Present HID interfaces of the vendor, one per top-level collection.
    virtual QList<HidInterface> Scan(uint16_t vendorId) = 0;
    // bcdDevice of the USB device with these ids; the last one found wins; 0 when none.
    virtual uint16_t UsbRelease(uint16_t vendorId, uint16_t productId) = 0;
    // How many USB devices with these ids are present (the update-mode device).
    virtual int UsbCount(uint16_t vendorId, uint16_t productId) = 0;
    bool UsbPresent(uint16_t vendorId, uint16_t productId)
    {
        return UsbCount(vendorId, productId) > 0;
    }
    // Whether this user will be able to open a device with these ids once it appears:
    // asked before a controller is switched into a mode it cannot be switched out of.
    virtual bool CanOpenDevice(uint16_t /*vendorId*/, uint16_t /*productId*/) { return true; }
    // The string descriptors with this index and language of the USB devices with these
    // ids, for the diagnostic log; empty when none can be read.
    virtual QStringList UsbStrings(uint16_t /*vendorId*/, uint16_t /*productId*/, uint8_t /*index*/,
                                   uint16_t /*languageId*/)
    {
        return {};
    }
    // The node to open for a path text given by Scan or an arrival; empty when unknown.
    virtual QString OpenPathFor(const QString &pathText) const = 0;
    // Starts delivering the events below on the calling (GUI) thread.
    virtual bool StartMonitoring() = 0;

signals:
    // Same text on removal as on arrival.
    void InterfaceArrived(const QString &pathText);
    void InterfaceRemoved(const QString &pathText);
    void UsbDeviceArrived(uint16_t vendorId, uint16_t productId);
    void UsbDeviceRemoved(uint16_t vendorId, uint16_t productId);
};
