#pragma once

#include "virtualhid/nodeinfo.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

struct hid_device_;

namespace vhid {

class Firmware;

// One /dev/hidrawN. Created by Bus::plug; stays alive while a handle still refers to it.
class Node
{
public:
    // hidraw keeps a ring of 64 slots per open file, so at most 63 unread reports; further
    // reports are dropped for that handle until it reads.
    static constexpr size_t kQueueCapacity = 63;

    Node(const Node &) = delete;
    Node &operator=(const Node &) = delete;

    std::string path() const { return path_; }
    const NodeInfo &info() const { return info_; }

    // Non-owning; null makes a silent device. Waits until no write is inside the old firmware,
    // so the old one may be destroyed once this returns.
    void setFirmware(Firmware *firmware);

    // Queues an input report on every open handle once the delay has passed. Reports that
    // arrive before a handle is opened are not seen by it. Empty reports are ignored.
    void pushInput(std::vector<uint8_t> report, std::chrono::milliseconds delay = {});

    // The next n hid_write calls on this node's handles fail with -1.
    void failNextWrites(int n);

    bool plugged() const;
    int openHandles() const;
    uint64_t readCalls() const { return readCalls_.load(); }
    uint64_t writeCalls() const { return writeCalls_.load(); }
    uint64_t droppedInputs() const { return droppedInputs_.load(); } // lost to full queues

private:
    friend class Bus;
    friend struct ::hid_device_;
    using Clock = std::chrono::steady_clock;

    struct Pending
    {
        Clock::time_point readyAt;
        std::vector<uint8_t> report;
    };

    Node(int number, NodeInfo info);
    void unplug();
    void deliverDue(Clock::time_point now); // needs mutex_

    const std::string path_;
    const NodeInfo info_;

    mutable std::mutex mutex_;
    std::condition_variable changed_; // input arrived, unplugged, closed, firmware call ended
    bool plugged_ = true;
    int failWrites_ = 0;
    Firmware *firmware_ = nullptr;
    int firmwareCalls_ = 0;
    std::deque<Pending> inFlight_; // sorted by readyAt
    std::vector<hid_device_ *> handles_;

    std::atomic<uint64_t> readCalls_{0};
    std::atomic<uint64_t> writeCalls_{0};
    std::atomic<uint64_t> droppedInputs_{0};
};

} // namespace vhid
