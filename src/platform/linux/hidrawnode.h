#pragma once

#include "device/deviceplatform.h"
#include "hidreportdescriptor.h"

#include <QList>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

struct udev;
struct udev_device;

// One hidraw node: the ids of its parent hid device, its USB interface number and the
// top-level collections of its report descriptor, read from sysfs through libudev.
struct HidrawNode
{
    QString devnode;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    int interfaceNumber = -1;
    QVector<HidCollectionUsage> collections;

    // Reads the node behind a hidraw device; nullopt without a devnode or a parent hid
    // device with a valid HID_ID.
    static std::optional<HidrawNode> read(udev_device *hidraw);
    // The top-level collections of the hidraw node at devnode ("/dev/hidrawN"); nullopt
    // when that node or its report descriptor cannot be read.
    static std::optional<QVector<HidCollectionUsage>> collectionsOf(udev *context,
                                                                    const QString &devnode);
    // One interface per top-level collection; a node without any counts as one collection
    // of usage page 0, as the enumeration reports it.
    QList<HidInterface> interfaces() const;
};
