#include "virtualhid/deviceinfo.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

namespace vhid {

namespace {

char *copyString(const std::string &s)
{
    auto *out = static_cast<char *>(std::malloc(s.size() + 1));
    if (!out) {
        throw std::bad_alloc();
    }
    std::memcpy(out, s.c_str(), s.size() + 1);
    return out;
}

wchar_t *copyWide(const std::wstring &s)
{
    auto *out = static_cast<wchar_t *>(std::malloc((s.size() + 1) * sizeof(wchar_t)));
    if (!out) {
        throw std::bad_alloc();
    }
    std::wmemcpy(out, s.c_str(), s.size() + 1);
    return out;
}

} // namespace

hid_device_info *makeDeviceInfo(const std::string &path, const NodeInfo &info,
                                const Collection &collection)
{
    auto *entry = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
    if (!entry) {
        throw std::bad_alloc();
    }
    entry->path = copyString(path);
    entry->vendor_id = info.vendorId;
    entry->product_id = info.productId;
    entry->serial_number = copyWide(info.serial);
    entry->release_number = info.release;
    entry->manufacturer_string = copyWide(info.manufacturer);
    entry->product_string = copyWide(info.product);
    entry->usage_page = collection.usagePage;
    entry->usage = collection.usage;
    entry->interface_number = info.interfaceNumber;
    entry->next = nullptr;
    entry->bus_type = HID_API_BUS_USB;
    return entry;
}

void freeDeviceInfo(hid_device_info *list)
{
    while (list) {
        hid_device_info *next = list->next;
        std::free(list->path);
        std::free(list->serial_number);
        std::free(list->manufacturer_string);
        std::free(list->product_string);
        std::free(list);
        list = next;
    }
}

} // namespace vhid
