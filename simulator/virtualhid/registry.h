#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>

struct hid_device_;

namespace vhid {

class Node;

// The handles hid_open* has handed out and hid_close has not yet taken back. Looking a
// pointer up here, instead of dereferencing it, is what makes a closed or foreign handle
// detectable without touching freed memory.
class Registry
{
public:
    static Registry &instance();

    hid_device_ *open(const std::shared_ptr<Node> &node); // null when the node is unplugged
    std::shared_ptr<hid_device_> find(const hid_device_ *dev) const;
    std::shared_ptr<hid_device_> take(const hid_device_ *dev); // removes it
    int openCount() const;

    void countInit() { ++inits_; }
    void countExit() { ++exits_; }
    int inits() const { return inits_.load(); }
    int exits() const { return exits_.load(); }

private:
    Registry() = default;

    mutable std::mutex mutex_;
    std::unordered_map<const hid_device_ *, std::shared_ptr<hid_device_>> handles_;
    std::atomic<int> inits_{0};
    std::atomic<int> exits_{0};
};

} // namespace vhid
