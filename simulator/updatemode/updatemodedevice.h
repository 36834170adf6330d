#pragma once

#include "virtualhid/firmware.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vhid {
class Node;
}

namespace ctrlsim {

// A device waiting in its firmware-update mode (0x2E2C:0x5826). It acknowledges every
// report with the report's 16-bit sum and the sequence it expects next plus one, and checks
// what it is sent: report kinds and order, sequence numbers, the header's size, and that
// the bytes it reassembles are the application it expects. Thread-safe.
class UpdateModeDevice : public vhid::Firmware
{
public:
    static constexpr uint16_t kVendorId = 0x2E2C;
    static constexpr uint16_t kProductId = 0x5826;

    enum class Fault
    {
        WrongChecksum,  // the reply's low 16 bits are off by one
        ChecksumHigh,   // the right sum in the low half, a non-zero upper half
        RepeatSequence, // the reply carries the previous reply's sequence again
        NoReply,
        Unplug,    // unplugs instead of answering
        FailWrite, // the host's write of this report fails
    };
    struct FaultAt
    {
        Fault fault;
        int report; // 0 = Start, 1 = Header, 2 = first Data, ...
    };

    struct Transfer
    {
        std::vector<uint8_t> received; // header and data bytes, in order
        uint32_t announcedSize = 0;
        int reports = 0;
        bool ended = false;    // End arrived after all announced bytes
        bool complete = false; // ended, and the bytes are the expected application
        std::vector<std::string> violations;
    };

    // Plugs the node. `expected` is the application the device should receive; when it
    // is empty any application is accepted.
    explicit UpdateModeDevice(std::vector<uint8_t> expected = {}, uint16_t productId = kProductId);
    ~UpdateModeDevice() override; // unplugs
    UpdateModeDevice(const UpdateModeDevice &) = delete;
    UpdateModeDevice &operator=(const UpdateModeDevice &) = delete;

    void onOutputReport(vhid::Node &node, const std::vector<uint8_t> &report) override;

    void injectFault(FaultAt fault);
    void setReplyDelay(std::chrono::milliseconds delay);
    // Called on the writing thread once End has been accepted (complete or not).
    void setOnEnd(std::function<void(bool complete)> onEnd);

    Transfer transfer() const;
    std::string path() const;
    void unplug();
    vhid::Node &node() { return *node_; }

private:
    bool check(bool condition, const std::string &what); // records a violation; needs mutex_
    void accept(const std::vector<uint8_t> &report);     // needs mutex_

    const std::vector<uint8_t> expected_;
    std::shared_ptr<vhid::Node> node_;
    mutable std::mutex mutex_;
    Transfer transfer_;
    uint32_t lastSequence_ = 0;
    uint32_t lastReply_ = 0;
    bool started_ = false;
    bool headerSeen_ = false;
    std::vector<FaultAt> faults_;
    std::chrono::milliseconds replyDelay_{0};
    std::function<void(bool)> onEnd_;
};

} // namespace ctrlsim
