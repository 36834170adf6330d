#pragma once

#include "virtualhid/node.h"
#include "virtualhid/nodeinfo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vhid {

// The set of plugged nodes that hid_enumerate and hid_open* see. Thread-safe.
class Bus
{
public:
    static Bus &instance();

    // Plugs a new /dev/hidrawN; N increases with every plug and is never reused.
    std::shared_ptr<Node> plug(NodeInfo info);
    // Open handles stay valid (reads and writes fail) until hid_close.
    void unplug(const std::shared_ptr<Node> &node);
    void reset(); // unplug everything (test cleanup); counters are kept

    // Told of every plug (true) and unplug (false) after it happened, on the thread that
    // did it, as the kernel's hot-plug events would tell.
    using Listener = std::function<void(const std::shared_ptr<Node> &node, bool plugged)>;
    int addListener(Listener listener);
    void removeListener(int id);

    std::vector<std::shared_ptr<Node>> nodes() const;          // plugged nodes, in plug order
    std::shared_ptr<Node> find(const std::string &path) const; // plugged node or null

    int openHandleCount() const; // handles not yet closed, on any node
    int initCount() const;       // hid_init calls
    int exitCount() const;       // hid_exit calls

    // Misuse of the hidapi functions (see HandleCall, GlobalCall) prints and aborts unless a
    // handler is installed; null restores the abort.
    void setMisuseHandler(std::function<void(const std::string &)> handler);
    uint64_t misuseCount() const;

private:
    Bus() = default;

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Node>> nodes_;
    int nextNumber_ = 0;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 0;

    void tell(const std::shared_ptr<Node> &node, bool plugged);
};

} // namespace vhid
