#include "hidscanner.h"

#include "device/hidglobal.h"
#include "hidrawnode.h"

#include <QFile>
#include <hidapi.h>
#include <libudev.h>
#include <vector>

namespace {

struct Entry
{
    QString path;
    uint16_t vendorId;
    uint16_t productId;
    int interfaceNumber;
    HidCollectionUsage usage;
};

std::vector<Entry> enumerate(uint16_t vendorId)
{
    std::vector<Entry> entries;
    auto global = lockHidGlobal();
    // Every vendor, filtered here: the library's own filter is not relied on.
    hid_device_info *list = hid_enumerate(0, 0);
    for (const hid_device_info *info = list; info; info = info->next) {
        if (info->vendor_id != vendorId || !info->path)
            continue;
        entries.push_back(Entry{QFile::decodeName(info->path), info->vendor_id, info->product_id,
                                info->interface_number,
                                HidCollectionUsage{info->usage_page, info->usage}});
    }
    hid_free_enumeration(list);
    return entries;
}

} // namespace

QList<HidInterface> HidScanner::scan(uint16_t vendorId)
{
    const std::vector<Entry> entries = enumerate(vendorId);
    udev *context = udev_new();
    QList<HidInterface> result;
    QStringList done;
    for (const Entry &first : entries) {
        if (done.contains(first.path))
            continue;
        done.append(first.path);
        HidrawNode node;
        node.devnode = first.path;
        node.vendorId = first.vendorId;
        node.productId = first.productId;
        node.interfaceNumber = first.interfaceNumber;
        // hidapi lists nested collections too, so its entries count only when the
        // descriptor cannot be read here.
        if (const auto collections = HidrawNode::collectionsOf(context, first.path)) {
            node.collections = *collections;
        } else {
            for (const Entry &entry : entries) {
                if (entry.path == first.path)
                    node.collections.append(entry.usage);
            }
        }
        result.append(node.interfaces());
    }
    if (context)
        udev_unref(context);
    return result;
}
