#pragma once

#include <memory>

struct hid_device_;

namespace vhid {

// Looks a handle up and marks it busy for one hidapi call. A handle is not thread-safe in real
// hidapi: a second thread entering while the mark is set, hid_close while another call is
// inside, or any call on a handle that is closed or was never opened is reported as misuse.
// The mark is held across a yield (and a read holds it for its whole wait), so overlaps show.
class HandleCall
{
public:
    enum class Mode
    {
        Use,
        Close, // also removes the handle from the Registry
    };

    HandleCall(const hid_device_ *dev, const char *function, Mode mode = Mode::Use);
    ~HandleCall();
    HandleCall(const HandleCall &) = delete;
    HandleCall &operator=(const HandleCall &) = delete;

    explicit operator bool() const { return device_ != nullptr; }
    hid_device_ *operator->() const { return device_.get(); }

private:
    std::shared_ptr<hid_device_> device_;
    const char *function_;
};

} // namespace vhid
