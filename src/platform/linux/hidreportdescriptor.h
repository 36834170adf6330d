#pragma once

#include <QVector>
#include <cstddef>
#include <cstdint>

// Usage page and usage of one top-level collection.
struct HidCollectionUsage
{
    uint16_t usagePage = 0;
    uint16_t usage = 0;

    bool operator==(const HidCollectionUsage &other) const
    {
        return usagePage == other.usagePage && usage == other.usage;
    }
};

// Reads the top-level Application collections out of a HID report descriptor (its short
// items; long items are stepped over). The bytes come from a device: every length is
// checked against the end, and a truncated or malformed descriptor yields the collections
// that were complete before the fault.
class HidReportDescriptor
{
public:
    static QVector<HidCollectionUsage> topLevelCollections(const uint8_t *data, size_t size);
};
