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
    std::lock_guard<std::mutex> lock(mutex_);
    std::shared_ptr<Node> node(new Node(nextNumber_++, std::move(info)));
    nodes_.push_back(node);
    return node;
}

void Bus::unplug(const std::shared_ptr<Node> &node)
{
    if (!node) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        nodes_.erase(std::remove(nodes_.begin(), nodes_.end(), node), nodes_.end());
    }
    node->unplug();
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
