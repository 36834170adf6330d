#include "linuxdeviceplatform.h"

#include "hidpathtext.h"
#include "hidrawnode.h"
#include "hidscanner.h"
#include "udevmonitor.h"
#include "udevrules.h"
#include "usbdevicewalk.h"

#include <QDebug>
#include <QFile>
#include <QHash>
#include <cstring>
#include <libudev.h>
#include <unistd.h>

namespace {

bool equals(const char *text, const char *expected)
{
    return text && std::strcmp(text, expected) == 0;
}

QString syspathOf(udev_device *device)
{
    const char *syspath = udev_device_get_syspath(device);
    return syspath ? QFile::decodeName(syspath) : QString();
}

} // namespace

LinuxDevicePlatform::LinuxDevicePlatform(QObject *parent)
    : DevicePlatform(parent), m_ruleDirs(UdevRules::SystemDirectories())
{
}

LinuxDevicePlatform::~LinuxDevicePlatform()
{
    // Before the members its handler uses go.
    delete m_monitor;
}

QList<HidInterface> LinuxDevicePlatform::Scan(uint16_t vendorId)
{
    const QList<HidInterface> interfaces = HidScanner::scan(vendorId);
    // Remembered for the removals, which only the family's nodes give.
    QHash<QString, QStringList> perNode;
    for (const HidInterface &entry : interfaces) {
        if (entry.vendorId == kVendorId)
            perNode[entry.openPath].append(entry.pathText);
    }
    for (auto node = perNode.cbegin(); node != perNode.cend(); ++node)
        m_announced.rememberNode(node.key(), node.value());
    return interfaces;
}

uint16_t LinuxDevicePlatform::UsbRelease(uint16_t vendorId, uint16_t productId)
{
    return UsbDeviceWalk::lastRelease(vendorId, productId).value_or(0);
}

int LinuxDevicePlatform::UsbCount(uint16_t vendorId, uint16_t productId)
{
    return UsbDeviceWalk::count(vendorId, productId);
}

bool LinuxDevicePlatform::CanOpenDevice(uint16_t vendorId, uint16_t productId)
{
    return geteuid() == 0 || UdevRules::GrantsHidraw(m_ruleDirs, vendorId, productId);
}

QStringList LinuxDevicePlatform::UsbStrings(uint16_t vendorId, uint16_t productId, uint8_t index,
                                            uint16_t languageId)
{
    return UsbDeviceWalk::strings(vendorId, productId, index, languageId);
}

QString LinuxDevicePlatform::OpenPathFor(const QString &pathText) const
{
    return HidPathText::nodeOf(pathText);
}

bool LinuxDevicePlatform::StartMonitoring()
{
    if (!m_monitor)
        m_monitor = new UdevMonitor([this](udev_device *device) { onDevice(device); }, this);
    if (m_monitor->start())
        return true;
    qWarning() << "注册失败";
    return false;
}

void LinuxDevicePlatform::onDevice(udev_device *device)
{
    const char *action = udev_device_get_action(device);
    const char *subsystem = udev_device_get_subsystem(device);
    const bool added = equals(action, "add");
    const bool removed = equals(action, "remove");
    if (equals(subsystem, "hidraw")) {
        if (added)
            hidrawAdded(device);
        else if (removed)
            hidrawRemoved(device);
    } else if (equals(subsystem, "usb") && equals(udev_device_get_devtype(device), "usb_device")) {
        if (added)
            usbAdded(device);
        else if (removed)
            usbRemoved(device);
    }
}

void LinuxDevicePlatform::hidrawAdded(udev_device *device)
{
    const auto node = HidrawNode::read(device);
    if (!node || node->vendorId != kVendorId)
        return;
    QStringList texts;
    for (const HidInterface &entry : node->interfaces())
        texts.append(entry.pathText);
    m_announced.rememberNode(node->devnode, texts);
    for (const QString &text : texts)
        emit InterfaceArrived(text);
}

void LinuxDevicePlatform::hidrawRemoved(udev_device *device)
{
    const char *devnode = udev_device_get_devnode(device);
    if (!devnode)
        return;
    for (const QString &text : m_announced.takeNode(QFile::decodeName(devnode)))
        emit InterfaceRemoved(text);
}

void LinuxDevicePlatform::usbAdded(udev_device *device)
{
    const auto ids = UsbIds::of(device);
    if (!ids)
        return;
    m_announced.rememberUsb(syspathOf(device), *ids);
    emit UsbDeviceArrived(ids->vendorId, ids->productId);
}

void LinuxDevicePlatform::usbRemoved(udev_device *device)
{
    auto ids = m_announced.takeUsb(syspathOf(device));
    if (!ids)
        ids = UsbIds::fromProductProperty(device);
    if (ids)
        emit UsbDeviceRemoved(ids->vendorId, ids->productId);
}
