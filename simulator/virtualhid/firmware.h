#pragma once

#include <cstdint>
#include <vector>

namespace vhid {

class Node;

// The device side of a node: receives every output report the host writes.
class Firmware
{
public:
    virtual ~Firmware() = default;

    // Called on the writing thread, inside hid_write, with no bus lock held. The report is
    // what the device receives (report-ID byte already stripped when it was 0). May call
    // node.pushInput. Must not call node.setFirmware.
    virtual void onOutputReport(Node &node, const std::vector<uint8_t> &report) = 0;
};

} // namespace vhid
