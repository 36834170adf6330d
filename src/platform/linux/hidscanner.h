#pragma once

#include "device/deviceplatform.h"

#include <QList>
#include <cstdint>

// The present HID interfaces of one vendor: hidapi's enumeration gives the nodes and
// their ids, the node's report descriptor gives its top-level collections.
class HidScanner
{
public:
    static QList<HidInterface> scan(uint16_t vendorId);
};
