#include "virtualhid/globalcall.h"

#include "virtualhid/misusereporter.h"

#include <string>
#include <thread>

namespace vhid {

std::atomic<int> GlobalCall::depth_{0};
std::atomic<const char *> GlobalCall::active_{nullptr};

GlobalCall::GlobalCall(const char *function) : function_(function)
{
    if (depth_.fetch_add(1) != 0) {
        const char *other = active_.load();
        MisuseReporter::instance().report(
            std::string(function) + " ran while " + (other ? other : "another global call") +
            " was running on another thread; hid_init, hid_exit, hid_enumerate, hid_open, "
            "hid_open_path, hid_close and hid_error(NULL) must be serialised");
    } else {
        active_.store(function);
    }
    std::this_thread::yield();
}

GlobalCall::~GlobalCall()
{
    const char *expected = function_;
    active_.compare_exchange_strong(expected, nullptr);
    depth_.fetch_sub(1);
}

} // namespace vhid
