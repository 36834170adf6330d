#pragma once

#include "controller/devicestate.h"
#include "virtualhid/firmware.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
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

    // Faults of a lossy link or a refusing firmware, each taking effect once. The frames
    // are logged as received either way.
    void dropNextWrite(uint8_t code); // the next write with this code is not applied
    // The next write with this code is applied with byte `index` of the report raised by 1.
    void corruptNextWrite(uint8_t code, int index);
    // The next SaveConfig is lost, and the working records fall back to the saved ones,
    // as when the controller loses power between the writes and the commit.
    void dropNextCommit();
    // Forgets pending faults and the reply delay.
    void clearFaults();
    // Called on the writing thread when EnterUpdateMode is first received.
    void setOnEnterUpdateMode(std::function<void()> handler);

private:
    // The report as a pending fault leaves it; nothing when it is not to be applied.
    std::optional<Report> withFaults(const Report &report);

    const DeviceState factory_;
    mutable std::mutex mutex_;
    DeviceState state_;
    std::vector<Report> frames_;
    std::vector<Report> raw_;
    int dropReplies_ = 0;
    struct WriteFault
    {
        uint8_t code;
        int index; // -1: dropped
    };
    std::vector<WriteFault> writeFaults_;
    bool dropCommit_ = false;
    std::chrono::milliseconds replyDelay_{0};
    std::function<void()> onEnterUpdateMode_;
};

} // namespace ctrlsim
