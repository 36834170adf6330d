#include "virtualdeviceplatform.h"

#include "platform/linux/hidpathtext.h"
#include "platform/linux/hidrawnode.h"
#include "virtualhid/virtualhidbus.h"

QList<HidInterface> VirtualDevicePlatform::InterfacesOf(const vhid::Node &node)
{
    HidrawNode hidraw;
    hidraw.devnode = QString::fromStdString(node.path());
    hidraw.vendorId = node.info().vendorId;
    hidraw.productId = node.info().productId;
    hidraw.interfaceNumber = node.info().interfaceNumber;
    for (const vhid::Collection &c : node.info().collections)
        hidraw.collections.append(HidCollectionUsage{c.usagePage, c.usage});
    return hidraw.interfaces();
}

VirtualDevicePlatform::~VirtualDevicePlatform()
{
    if (m_listener >= 0)
        vhid::Bus::instance().removeListener(m_listener);
}

bool VirtualDevicePlatform::StartMonitoring()
{
    if (m_listener >= 0)
        return true;
    m_listener = vhid::Bus::instance().addListener(
        [this](const std::shared_ptr<vhid::Node> &node, bool plugged) {
            QMetaObject::invokeMethod(
                this,
                [this, node, plugged] {
                    // One USB event per device (its first interface), for any vendor: the
                    // update-mode device only shows up this way.
                    const vhid::NodeInfo &info = node->info();
                    if (info.interfaceNumber == 0) {
                        if (plugged)
                            emit UsbDeviceArrived(info.vendorId, info.productId);
                        else
                            emit UsbDeviceRemoved(info.vendorId, info.productId);
                    }
                    if (info.vendorId != 0x35C7)
                        return;
                    plugged ? Announce(*node) : AnnounceRemoval(*node);
                },
                Qt::QueuedConnection);
        });
    return true;
}

QList<HidInterface> VirtualDevicePlatform::Scan(uint16_t vendorId)
{
    QList<HidInterface> result;
    for (const auto &node : vhid::Bus::instance().nodes())
        if (node->info().vendorId == vendorId)
            result.append(InterfacesOf(*node));
    return result;
}

uint16_t VirtualDevicePlatform::UsbRelease(uint16_t vendorId, uint16_t productId)
{
    uint16_t release = 0;
    for (const auto &node : vhid::Bus::instance().nodes())
        if (node->info().vendorId == vendorId && node->info().productId == productId)
            release = node->info().release;
    return release;
}

int VirtualDevicePlatform::UsbCount(uint16_t vendorId, uint16_t productId)
{
    // Counts nodes: exact for the update-mode device, which has one interface.
    int count = 0;
    for (const auto &node : vhid::Bus::instance().nodes())
        if (node->info().vendorId == vendorId && node->info().productId == productId)
            ++count;
    return count;
}

QStringList VirtualDevicePlatform::UsbStrings(uint16_t vendorId, uint16_t productId, uint8_t index,
                                              uint16_t /*languageId*/)
{
    QStringList result;
    for (const auto &node : vhid::Bus::instance().nodes()) {
        const vhid::NodeInfo &info = node->info();
        const auto text = info.usbStrings.find(index);
        if (info.vendorId == vendorId && info.productId == productId &&
            text != info.usbStrings.end())
            result.append(QString::fromStdWString(text->second));
    }
    return result;
}

QString VirtualDevicePlatform::OpenPathFor(const QString &pathText) const
{
    return HidPathText::nodeOf(pathText);
}

void VirtualDevicePlatform::Announce(const vhid::Node &node)
{
    for (const HidInterface &hid : InterfacesOf(node))
        emit InterfaceArrived(hid.pathText);
}

void VirtualDevicePlatform::AnnounceRemoval(const vhid::Node &node)
{
    for (const HidInterface &hid : InterfacesOf(node))
        emit InterfaceRemoved(hid.pathText);
}
