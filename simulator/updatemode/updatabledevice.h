#pragma once

#include "controller/devicestate.h"
#include "controller/simulatedcontroller.h"
#include "updatemode/updatemodedevice.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace ctrlsim {

// One physical controller or dongle that can be switched into its firmware-update mode
// and back, as the real hardware re-enumerates: EnterUpdateMode makes it leave the bus and
// come back as the update-mode device after a delay; a complete transfer makes it leave
// again and come back in normal mode with the state it was given for after the update. A
// failed transfer leaves it waiting in update mode. Transitions run on a thread of its own.
class UpdatableDevice
{
public:
    enum class Kind
    {
        Wired,
        Dongle,
    };
    enum class Mode
    {
        Normal,
        Leaving, // off the bus, between the two modes
        Update,
    };
    struct Options
    {
        Kind kind = Kind::Wired;
        uint16_t productId = 0;
        DeviceState state;
        uint16_t release = 0x0130;
        std::chrono::milliseconds enterDelay{200}; // EnterUpdateMode until it re-enumerates
        std::chrono::milliseconds leaveDelay{200}; // End until it is back in normal mode
        DeviceState stateAfterUpdate;              // what it runs after a complete transfer
        uint16_t releaseAfterUpdate = 0x0130;
        std::vector<uint8_t> expectedApplication; // empty: any application is accepted
        std::chrono::milliseconds replyDelay{0};  // update-mode acknowledgement latency
        std::vector<UpdateModeDevice::FaultAt> faults;
    };

    // Plugged in normal mode, or already waiting in update mode.
    explicit UpdatableDevice(Options options, Mode start = Mode::Normal);
    ~UpdatableDevice();
    UpdatableDevice(const UpdatableDevice &) = delete;
    UpdatableDevice &operator=(const UpdatableDevice &) = delete;

    Mode mode() const;
    bool waitForMode(Mode mode, std::chrono::milliseconds timeout) const;
    int updateModeEntries() const;
    // The last transfer the update-mode device saw (kept after it left the bus).
    UpdateModeDevice::Transfer lastTransfer() const;
    // Runs fn on the controller while it is in normal mode; false when it is not.
    bool withController(const std::function<void(SimulatedController &)> &fn);
    const Options &options() const { return options_; }
    // Every command frame its normal-mode controllers accepted since it was created, in
    // order, across the re-plugs of an update. A controller's frames join once it has
    // left the bus completely.
    std::vector<ControllerFirmware::Report> frames() const;
    // Unplugs whatever is on the bus now, as a pulled cable does.
    void pull();

private:
    void schedule(std::chrono::milliseconds delay, std::function<void()> task);
    void run();
    void plugNormal(const DeviceState &state, uint16_t release); // need mutex_
    void plugUpdate();                                           // need mutex_
    void leave();

    const Options options_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Mode mode_ = Mode::Normal;
    int entries_ = 0;
    bool stopping_ = false;
    std::unique_ptr<SimulatedController> controller_;
    std::unique_ptr<UpdateModeDevice> update_;
    std::unique_ptr<UpdateModeDevice::Transfer> lastTransfer_;
    std::vector<ControllerFirmware::Report> earlierFrames_; // of controllers that left
    std::deque<std::pair<std::chrono::steady_clock::time_point, std::function<void()>>> tasks_;
    std::thread thread_;
};

} // namespace ctrlsim
