#pragma once

#include "controller/controllerfirmware.h"
#include "controller/devicestate.h"
#include "controller/inputreport.h"
#include "controller/inputstream.h"
#include "virtualhid/nodeinfo.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vhid {
class Node;
}

namespace ctrlsim {

// A controller plugged into the virtual bus: its firmware plus the node(s) it exposes.
// Today's model has one configuration node, which also carries input reports.
class SimulatedController
{
public:
    enum class Layout
    {
        Long,
        Short,
    };

    static std::unique_ptr<SimulatedController> plug(uint16_t productId);
    static std::unique_ptr<SimulatedController> plug(uint16_t productId, DeviceState state);
    // A wired controller as Linux shows it: a gamepad node (interface 0) for input and a
    // vendor-page node (interface 1) for commands.
    static std::unique_ptr<SimulatedController> plugWired(uint16_t productId, DeviceState state,
                                                          uint16_t release = 0x0130);
    // A dongle: one node carrying a gamepad and a vendor-page top-level collection.
    static std::unique_ptr<SimulatedController> plugDongle(uint16_t productId, DeviceState state,
                                                           uint16_t release = 0x0130);
    // Vendor-defined page 0xFF00 usage 0x01, interface 1, release 0x0130.
    // The string descriptor a wired controller keeps its build text in.
    static constexpr uint8_t kBuildStringIndex = 0x66;
    static vhid::NodeInfo configNodeInfo(uint16_t productId);
    // Generic desktop gamepad, interface 0.
    static vhid::NodeInfo gamepadNodeInfo(uint16_t productId);
    // Every node this device plugged, in plug order.
    const std::vector<std::shared_ptr<vhid::Node>> &nodes() const { return nodes_; }

    ~SimulatedController(); // unplugs
    SimulatedController(const SimulatedController &) = delete;
    SimulatedController &operator=(const SimulatedController &) = delete;

    ControllerFirmware &firmware() { return firmware_; }
    vhid::Node &node() { return *config_; } // the configuration node
    std::string path() const;

    void sendInput(const InputState &input, Layout layout = Layout::Long);
    void unplug(); // idempotent; stops streaming; handles the app holds start failing
    bool plugged() const;

    // Sends the stream input from a thread of its own at a fixed rate, with the jitter and
    // drops the options ask for, until stopStreaming, unplug or destruction. A new start
    // replaces a running stream; false for an interval below 1 µs.
    bool startStreaming(const StreamOptions &options, Layout layout = Layout::Long);
    void stopStreaming();
    bool streaming() const { return stream_.running(); }
    // What the stream sends from its next report on; any thread.
    void setStreamInput(const InputState &input) { stream_.setInput(input); }
    // Reports streamed and skipped since the last start.
    uint64_t streamedReports() const { return stream_.sent(); }
    uint64_t skippedReports() const { return stream_.skipped(); }

private:
    // `nodes` are plugged in order; commands are served on nodes[configIndex].
    SimulatedController(DeviceState state, const std::vector<vhid::NodeInfo> &nodes,
                        size_t configIndex);

    ControllerFirmware firmware_;
    std::vector<std::shared_ptr<vhid::Node>> nodes_;
    std::shared_ptr<vhid::Node> config_;
    Layout streamLayout_ = Layout::Long; // set before the stream's thread starts
    InputStream stream_{[this](const InputState &input) { sendInput(input, streamLayout_); }};
};

} // namespace ctrlsim
