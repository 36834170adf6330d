#pragma once

#include "virtualhid/nodeinfo.h"

#include <hidapi.h>

#include <string>

namespace vhid {

// One malloc'd hid_device_info entry (strings malloc'd too), as hidapi allocates them.
hid_device_info *makeDeviceInfo(const std::string &path, const NodeInfo &info,
                                const Collection &collection);
// Frees a whole list made of makeDeviceInfo entries.
void freeDeviceInfo(hid_device_info *list);

} // namespace vhid
