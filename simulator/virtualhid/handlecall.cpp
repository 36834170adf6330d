#include "virtualhid/handlecall.h"

#include "virtualhid/hiddevice.h"
#include "virtualhid/misusereporter.h"
#include "virtualhid/registry.h"

#include <string>
#include <thread>

namespace vhid {

HandleCall::HandleCall(const hid_device_ *dev, const char *function, Mode mode)
    : function_(function)
{
    auto &registry = Registry::instance();
    device_ = mode == Mode::Close ? registry.take(dev) : registry.find(dev);
    auto &reporter = MisuseReporter::instance();
    if (!device_) {
        reporter.report(std::string(function) +
                        " was given a handle that is not open (never opened, or already closed)");
        return;
    }
    if (device_->callDepth.fetch_add(1) != 0) {
        const char *other = device_->activeCall.load();
        const std::string others = other ? other : "another call";
        reporter.report(mode == Mode::Close
                            ? "hid_close ran while another thread was inside " + others +
                                  " on the same handle"
                            : std::string(function) + " and " + others +
                                  " ran at once on the same handle from two threads; a "
                                  "hid_device must be used by one thread at a time");
    } else {
        device_->activeCall.store(function);
        if (mode == Mode::Use && device_->closed.load()) {
            reporter.report(std::string(function) + " ran on a handle that hid_close has closed");
        }
    }
    std::this_thread::yield();
}

HandleCall::~HandleCall()
{
    if (!device_) {
        return;
    }
    const char *expected = function_;
    device_->activeCall.compare_exchange_strong(expected, nullptr);
    device_->callDepth.fetch_sub(1);
}

} // namespace vhid
