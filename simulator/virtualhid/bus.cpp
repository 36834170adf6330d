#include "virtualhid/bus.h"

#include "virtualhid/misusereporter.h"
#include "virtualhid/registry.h"

#include <algorithm>

namespace vhid {

Bus &Bus::instance()
{
    // Never destroyed: app threads may still call hid_close during static destruction.
    static Bus *bus = new Bus;
    return *bus;
}

std::shared_ptr<Node> Bus::plug(NodeInfo info)
{
    std::shared_ptr<Node> node;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        node.reset(new Node(nextNumber_++, std::move(info)));
        nodes_.push_back(node);
    }
    tell(node, true);
    return node;
}

int Bus::addListener(Listener listener)
{
    std::lock_guard<std::mutex> lock(mutex_);
    listeners_.emplace_back(nextListener_, std::move(listener));
    return nextListener_++;
}

void Bus::removeListener(int id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                    [id](const auto &entry) { return entry.first == id; }),
                     listeners_.end());
}

void Bus::tell(const std::shared_ptr<Node> &node, bool plugged)
{
    std::vector<std::pair<int, Listener>> listeners;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        listeners = listeners_;
    }
    for (const auto &entry : listeners)
        entry.second(node, plugged);
}

void Bus::unplug(const std::shared_ptr<Node> &node)
{
    if (!node) {
        return;
    }
    bool wasPlugged = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto end = std::remove(nodes_.begin(), nodes_.end(), node);
        wasPlugged = end != nodes_.end();
        nodes_.erase(end, nodes_.end());
    }
    node->unplug();
    if (wasPlugged)
        tell(node, false);
}

void Bus::reset()
{
    std::vector<std::shared_ptr<Node>> gone;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        gone.swap(nodes_);
    }
    for (const auto &node : gone) {
        node->unplug();
        tell(node, false);
    }
}

std::vector<std::shared_ptr<Node>> Bus::nodes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return nodes_;
}

std::shared_ptr<Node> Bus::find(const std::string &path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto &node : nodes_) {
        if (node->path() == path) {
            return node;
        }
    }
    return nullptr;
}

int Bus::openHandleCount() const
{
    return Registry::instance().openCount();
}

int Bus::initCount() const
{
    return Registry::instance().inits();
}

int Bus::exitCount() const
{
    return Registry::instance().exits();
}

void Bus::setMisuseHandler(std::function<void(const std::string &)> handler)
{
    MisuseReporter::instance().setHandler(std::move(handler));
}

uint64_t Bus::misuseCount() const
{
    return MisuseReporter::instance().count();
}

} // namespace vhid
