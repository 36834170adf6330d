#pragma once

#include <hidapi.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vhid {
class Node;
}

// One open handle on a virtual node: what hid_open* returns.
struct hid_device_
{
public:
    explicit hid_device_(std::shared_ptr<vhid::Node> node);
    ~hid_device_();
    hid_device_(const hid_device_ &) = delete;
    hid_device_ &operator=(const hid_device_ &) = delete;

    int read(unsigned char *data, size_t length, int milliseconds);
    int write(const unsigned char *data, size_t length);
    int copyString(const std::wstring &value, wchar_t *string, size_t maxlen);
    int unsupported(const wchar_t *message);
    void close(); // detach from the node and wake a read that is still waiting

    void setNonblocking(bool on) { nonblocking_.store(on); }
    bool nonblocking() const { return nonblocking_.load(); }
    const wchar_t *error() const;
    void setError(const wchar_t *message);
    hid_device_info *deviceInfo() const { return info_; }
    const vhid::Node &node() const { return *node_; }

    // In-call mark maintained by HandleCall.
    std::atomic<int> callDepth{0};
    std::atomic<const char *> activeCall{nullptr};
    std::atomic<bool> closed{false};

private:
    friend class vhid::Node;

    const std::shared_ptr<vhid::Node> node_;
    hid_device_info *const info_;
    std::deque<std::vector<uint8_t>> queue_; // guarded by node_->mutex_
    std::atomic<bool> nonblocking_{false};
    mutable std::mutex errorMutex_;
    std::wstring error_;
};
