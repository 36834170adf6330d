#include "hidrawnode.h"

#include "hidpathtext.h"
#include "sysfsvalue.h"

#include <QFile>
#include <QList>
#include <cerrno>
#include <fcntl.h>
#include <libudev.h>
#include <unistd.h>

namespace {

// The kernel never gives a longer report descriptor.
constexpr size_t kMaxDescriptorSize = 4096;

std::optional<QByteArray> readDescriptorFile(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QByteArray bytes(static_cast<int>(kMaxDescriptorSize), '\0');
    size_t filled = 0;
    bool failed = false;
    while (filled < kMaxDescriptorSize) {
        const ssize_t got = ::read(fd, bytes.data() + filled, kMaxDescriptorSize - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            failed = true;
        if (got <= 0)
            break;
        filled += static_cast<size_t>(got);
    }
    ::close(fd);
    if (failed)
        return std::nullopt;
    bytes.truncate(static_cast<int>(filled));
    return bytes;
}

std::optional<QVector<HidCollectionUsage>> descriptorCollections(udev_device *hid)
{
    const char *syspath = udev_device_get_syspath(hid);
    if (!syspath)
        return std::nullopt;
    const auto bytes = readDescriptorFile(QByteArray(syspath) + "/report_descriptor");
    if (!bytes)
        return std::nullopt;
    return HidReportDescriptor::topLevelCollections(
        reinterpret_cast<const uint8_t *>(bytes->constData()), static_cast<size_t>(bytes->size()));
}

udev_device *hidParent(udev_device *hidraw)
{
    return udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
}

} // namespace

std::optional<HidrawNode> HidrawNode::read(udev_device *hidraw)
{
    const char *devnode = udev_device_get_devnode(hidraw);
    udev_device *hid = hidParent(hidraw);
    if (!devnode || !hid)
        return std::nullopt;
    // HID_ID=bus:vendor:product, each in hex, e.g. 0003:000035C7:0000400E.
    const QList<QByteArray> id =
        QByteArray(udev_device_get_property_value(hid, "HID_ID")).split(':');
    if (id.size() != 3)
        return std::nullopt;
    const auto vendor = SysfsValue::hex(id.at(1), 0xFFFF);
    const auto product = SysfsValue::hex(id.at(2), 0xFFFF);
    if (!SysfsValue::hex(id.at(0), 0xFFFFFFFF) || !vendor || !product)
        return std::nullopt;

    HidrawNode node;
    node.devnode = QFile::decodeName(devnode);
    node.vendorId = static_cast<uint16_t>(*vendor);
    node.productId = static_cast<uint16_t>(*product);
    udev_device *usbInterface =
        udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_interface");
    if (usbInterface) {
        const auto number =
            SysfsValue::hex(udev_device_get_sysattr_value(usbInterface, "bInterfaceNumber"), 0xFF);
        node.interfaceNumber = number ? static_cast<int>(*number) : -1;
    }
    node.collections = descriptorCollections(hid).value_or(QVector<HidCollectionUsage>());
    return node;
}

std::optional<QVector<HidCollectionUsage>> HidrawNode::collectionsOf(udev *context,
                                                                     const QString &devnode)
{
    const QString sysname = devnode.mid(devnode.lastIndexOf(QLatin1Char('/')) + 1);
    if (!context || !sysname.startsWith(QLatin1String("hidraw")))
        return std::nullopt;
    udev_device *hidraw =
        udev_device_new_from_subsystem_sysname(context, "hidraw", QFile::encodeName(sysname));
    if (!hidraw)
        return std::nullopt;
    std::optional<QVector<HidCollectionUsage>> collections;
    const char *node = udev_device_get_devnode(hidraw);
    udev_device *hid = hidParent(hidraw);
    if (node && QFile::decodeName(node) == devnode && hid)
        collections = descriptorCollections(hid);
    udev_device_unref(hidraw);
    return collections;
}

QList<HidInterface> HidrawNode::interfaces() const
{
    QVector<HidCollectionUsage> usages = collections;
    if (usages.isEmpty())
        usages.append(HidCollectionUsage());
    QList<HidInterface> result;
    for (const HidCollectionUsage &usage : usages) {
        HidCollectionInfo info;
        info.node = devnode;
        info.vendorId = vendorId;
        info.productId = productId;
        info.interfaceNumber = interfaceNumber;
        info.usagePage = usage.usagePage;
        info.usage = usage.usage;
        info.collectionCount = usages.size();
        result.append(HidInterface{HidPathText::build(info), devnode, vendorId, productId});
    }
    return result;
}
