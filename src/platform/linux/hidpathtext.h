#pragma once

#include <QString>
#include <cstdint>

// What the enumeration tells about one top-level collection of a hidraw node.
struct HidCollectionInfo
{
    QString node; // "/dev/hidrawN"
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    int interfaceNumber = -1; // USB interface number, -1 when unknown
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    int collectionCount = 1; // top-level collections on the same node
};

// Builds the path text that the discovery rules search, and reads the node back out of it.
class HidPathText
{
public:
    static QString build(const HidCollectionInfo &info);
    // The node a text from build() names; empty for any other text.
    static QString nodeOf(const QString &pathText);
};
