#include "virtualhid/node.h"

#include "virtualhid/hiddevice.h"

#include <algorithm>

namespace vhid {

namespace {
constexpr size_t kMaxReport = 16384; // HID_MAX_BUFFER_SIZE
}

Node::Node(int number, NodeInfo info)
    : path_("/dev/hidraw" + std::to_string(number)), info_(std::move(info))
{
}

void Node::setFirmware(Firmware *firmware)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return firmwareCalls_ == 0; });
    firmware_ = firmware;
}

void Node::pushInput(std::vector<uint8_t> report, std::chrono::milliseconds delay)
{
    if (report.empty()) {
        return;
    }
    if (report.size() > kMaxReport) {
        report.resize(kMaxReport);
    }
    const auto now = Clock::now();
    std::lock_guard<std::mutex> lock(mutex_);
    if (!plugged_) {
        return;
    }
    Pending pending{now + std::max(delay, std::chrono::milliseconds(0)), std::move(report)};
    const auto at =
        std::upper_bound(inFlight_.begin(), inFlight_.end(), pending.readyAt,
                         [](Clock::time_point t, const Pending &p) { return t < p.readyAt; });
    inFlight_.insert(at, std::move(pending));
    deliverDue(now);
    changed_.notify_all();
}

void Node::deliverDue(Clock::time_point now)
{
    while (!inFlight_.empty() && inFlight_.front().readyAt <= now) {
        for (hid_device_ *handle : handles_) {
            if (handle->queue_.size() < kQueueCapacity) {
                handle->queue_.push_back(inFlight_.front().report);
            } else {
                ++droppedInputs_;
            }
        }
        inFlight_.pop_front();
    }
}

void Node::failNextWrites(int n)
{
    std::lock_guard<std::mutex> lock(mutex_);
    failWrites_ = std::max(n, 0);
}

bool Node::plugged() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return plugged_;
}

int Node::openHandles() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(handles_.size());
}

void Node::unplug()
{
    std::lock_guard<std::mutex> lock(mutex_);
    plugged_ = false;
    inFlight_.clear();
    for (hid_device_ *handle : handles_) {
        handle->queue_.clear();
    }
    changed_.notify_all();
}

} // namespace vhid
