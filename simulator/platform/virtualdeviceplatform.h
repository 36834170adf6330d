#pragma once

#include "device/deviceplatform.h"

#include <memory>

namespace vhid {
class Node;
}

// The device platform over the virtual HID bus: the same path texts as on Linux, built
// from the virtual nodes, and hot-plug events that a test or the demo raises itself.
class VirtualDevicePlatform : public DevicePlatform
{
    Q_OBJECT

public:
    using DevicePlatform::DevicePlatform;
    ~VirtualDevicePlatform() override;

    QList<HidInterface> Scan(uint16_t vendorId) override;
    uint16_t UsbRelease(uint16_t vendorId, uint16_t productId) override;
    int UsbCount(uint16_t vendorId, uint16_t productId) override;
    QStringList UsbStrings(uint16_t vendorId, uint16_t productId, uint8_t index,
                           uint16_t languageId) override;
    QString OpenPathFor(const QString &pathText) const override;
    // Plugs and unplugs on the virtual bus then raise events, on this object's thread: the
    // interface events for the vendor's nodes, a USB event for every device.
    bool StartMonitoring() override;

    // The interfaces a node shows, one per top-level collection, in collection order.
    static QList<HidInterface> InterfacesOf(const vhid::Node &node);
    // Raises the arrival (or removal) of every interface of node.
    void Announce(const vhid::Node &node);
    void AnnounceRemoval(const vhid::Node &node);

private:
    int m_listener = -1;
};
