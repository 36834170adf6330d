#include "virtualhid/registry.h"

#include "virtualhid/hiddevice.h"
#include "virtualhid/node.h"

namespace vhid {

Registry &Registry::instance()
{
    static Registry *registry = new Registry; // never destroyed, like Bus
    return *registry;
}

hid_device_ *Registry::open(const std::shared_ptr<Node> &node)
{
    if (!node || !node->plugged()) {
        return nullptr;
    }
    auto device = std::make_shared<hid_device_>(node);
    std::lock_guard<std::mutex> lock(mutex_);
    handles_.emplace(device.get(), device);
    return device.get();
}

std::shared_ptr<hid_device_> Registry::find(const hid_device_ *dev) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = handles_.find(dev);
    return it == handles_.end() ? nullptr : it->second;
}

std::shared_ptr<hid_device_> Registry::take(const hid_device_ *dev)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = handles_.find(dev);
    if (it == handles_.end()) {
        return nullptr;
    }
    auto device = std::move(it->second);
    handles_.erase(it);
    return device;
}

int Registry::openCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(handles_.size());
}

} // namespace vhid
