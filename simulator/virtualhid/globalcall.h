#pragma once

#include <atomic>

namespace vhid {

// Marks a call that touches hidapi's global state (hid_init, hid_exit, hid_enumerate,
// hid_open, hid_open_path, hid_close, hid_error(NULL)). Real hidapi does not lock that state,
// so two such calls may never overlap; an overlap is reported as misuse. The mark is held
// across a yield so that overlaps show up even when the work itself is quick.
class GlobalCall
{
public:
    explicit GlobalCall(const char *function);
    ~GlobalCall();
    GlobalCall(const GlobalCall &) = delete;
    GlobalCall &operator=(const GlobalCall &) = delete;

private:
    static std::atomic<int> depth_;
    static std::atomic<const char *> active_;
    const char *function_;
};

} // namespace vhid
