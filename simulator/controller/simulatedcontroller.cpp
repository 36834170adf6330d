#include "controller/simulatedcontroller.h"

#include "virtualhid/bus.h"
#include "virtualhid/node.h"

namespace ctrlsim {

std::unique_ptr<SimulatedController> SimulatedController::plug(uint16_t productId)
{
    return plug(productId, DeviceState::sane(productId));
}

std::unique_ptr<SimulatedController> SimulatedController::plug(uint16_t productId,
                                                               DeviceState state)
{
    return std::unique_ptr<SimulatedController>(
        new SimulatedController(std::move(state), {configNodeInfo(productId)}, 0));
}

std::unique_ptr<SimulatedController>
SimulatedController::plugWired(uint16_t productId, DeviceState state, uint16_t release)
{
    auto input = gamepadNodeInfo(productId);
    auto config = configNodeInfo(productId);
    input.release = config.release = release;
    // One USB device: its strings are read once, through the configuration interface.
    config.usbStrings[kBuildStringIndex] = L"Quorel controller build 230713";
    return std::unique_ptr<SimulatedController>(
        new SimulatedController(std::move(state), {input, config}, 1));
}

std::unique_ptr<SimulatedController>
SimulatedController::plugDongle(uint16_t productId, DeviceState state, uint16_t release)
{
    auto node = configNodeInfo(productId);
    node.release = release;
    node.interfaceNumber = 0;
    node.product = L"Quorel Dongle";
    node.collections = {{0x01, 0x05}, {0xFF00, 0x01}};
    return std::unique_ptr<SimulatedController>(
        new SimulatedController(std::move(state), {node}, 0));
}

vhid::NodeInfo SimulatedController::gamepadNodeInfo(uint16_t productId)
{
    vhid::NodeInfo info = configNodeInfo(productId);
    info.interfaceNumber = 0;
    info.collections = {{0x01, 0x05}};
    return info;
}

vhid::NodeInfo SimulatedController::configNodeInfo(uint16_t productId)
{
    vhid::NodeInfo info;
    info.vendorId = 0x35C7;
    info.productId = productId;
    info.release = 0x0130;
    info.interfaceNumber = 1;
    info.product = L"Quorel Controller";
    info.manufacturer = L"Quorel";
    info.collections = {{0xFF00, 0x01}};
    return info;
}

SimulatedController::SimulatedController(DeviceState state,
                                         const std::vector<vhid::NodeInfo> &nodes,
                                         size_t configIndex)
    : firmware_(std::move(state))
{
    for (const auto &info : nodes) {
        nodes_.push_back(vhid::Bus::instance().plug(info));
    }
    config_ = nodes_.at(configIndex);
    config_->setFirmware(&firmware_);
}

SimulatedController::~SimulatedController()
{
    unplug();
    // Waits for writes still inside the firmware before it is destroyed.
    config_->setFirmware(nullptr);
}

std::string SimulatedController::path() const
{
    return config_->path();
}

void SimulatedController::sendInput(const InputState &input, Layout layout)
{
    config_->pushInput(layout == Layout::Long ? makeLongReport(input) : makeShortReport(input));
}

bool SimulatedController::startStreaming(const StreamOptions &options, Layout layout)
{
    stream_.stop();
    streamLayout_ = layout;
    return stream_.start(options);
}

void SimulatedController::stopStreaming()
{
    stream_.stop();
}

void SimulatedController::unplug()
{
    stream_.stop();
    for (const auto &node : nodes_) {
        vhid::Bus::instance().unplug(node);
    }
}

bool SimulatedController::plugged() const
{
    return config_->plugged();
}

} // namespace ctrlsim
