#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vhid {

// One top-level collection of a node's report descriptor.
struct Collection
{
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

// What a plugged node reports about itself through hid_enumerate and the hid_get_* calls.
struct NodeInfo
{
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t release = 0; // bcdDevice
    int interfaceNumber = 0;
    std::wstring product;
    std::wstring manufacturer;
    std::wstring serial;
    std::vector<Collection> collections; // empty: one entry with usage page/usage 0
    // The USB device's string descriptors by index, in the one language it has.
    std::map<uint8_t, std::wstring> usbStrings;
};

} // namespace vhid
