#pragma once

#include "controller/devicestate.h"
#include "virtualhid/firmware.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace ctrlsim {

// What the controller does with each output report: validates the frame, applies or answers
// the command, and pushes the reply onto the node it came from. Thread-safe.
class ControllerFirmware : public vhid::Firmware
{
public:
    using Report = std::vector<uint8_t>;

    explicit ControllerFirmware(DeviceState factory); // also the state factory reset restores

    void onOutputReport(vhid::Node &node, const Report &report) override;

    DeviceState state() const;
    void setState(const DeviceState &state);

    std::vector<Report> frames() const;     // every accepted command frame, in order, exact bytes
    std::vector<Report> rawReports() const; // every report received, accepted or not
    void clearLog();

    void dropNextReplies(int n); // the next n replies are computed but never sent
    void setReplyDelay(std::chrono::milliseconds delay);
    // Called on the writing thread when EnterUpdateMode is first received.
    void setOnEnterUpdateMode(std::function<void()> handler);

private:
    const DeviceState factory_;
    mutable std::mutex mutex_;
    DeviceState state_;
    std::vector<Report> frames_;
    std::vector<Report> raw_;
    int dropReplies_ = 0;
    std::chrono::milliseconds replyDelay_{0};
    std::function<void()> onEnterUpdateMode_;
};

} // namespace ctrlsim
