#pragma once

#include "ticketlock.h"

#include <atomic>
#include <hidapi.h>
#include <mutex>

// One open hidapi handle and the lock that serialises every call on it. hidapi is not
// safe for two threads on one handle, and the handle is read on a worker thread while
// other threads write to it and close it.
class HidSlot
{
public:
    HidSlot() = default;
    HidSlot(const HidSlot &) = delete;
    HidSlot &operator=(const HidSlot &) = delete;
    ~HidSlot();

    // Runs fn(handle) while no other call on this slot's handle can run; the handle
    // passed may be null.
    template <typename Fn> auto use(Fn &&fn)
    {
        std::lock_guard<TicketLock> guard(m_lock);
        return fn(m_handle);
    }

    // Opens the device at path, closing any handle held before. Returns the success.
    bool openPath(const char *path);
    // Opens the first device with this vendor and product id.
    bool openIds(unsigned short vendorId, unsigned short productId);
    void close();
    bool isOpen() const { return m_open.load(); }

private:
    void replace(hid_device *handle);

    TicketLock m_lock;
    hid_device *m_handle = nullptr;
    std::atomic<bool> m_open{false};
};
