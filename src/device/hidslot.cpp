#include "hidslot.h"

#include "hidglobal.h"

HidSlot::~HidSlot()
{
    close();
}

bool HidSlot::openPath(const char *path)
{
    hid_device *handle = nullptr;
    {
        auto global = lockHidGlobal();
        handle = hid_open_path(path);
    }
    replace(handle);
    return handle != nullptr;
}

bool HidSlot::openIds(unsigned short vendorId, unsigned short productId)
{
    hid_device *handle = nullptr;
    {
        auto global = lockHidGlobal();
        handle = hid_open(vendorId, productId, nullptr);
    }
    replace(handle);
    return handle != nullptr;
}

void HidSlot::close()
{
    replace(nullptr);
}

void HidSlot::replace(hid_device *handle)
{
    std::lock_guard<TicketLock> guard(m_lock);
    if (m_handle) {
        auto global = lockHidGlobal();
        hid_close(m_handle);
    }
    m_handle = handle;
    m_open.store(handle != nullptr);
}
