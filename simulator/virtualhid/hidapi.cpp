// The hidapi functions, backed by the virtual Bus. Link this library or the real
// libhidapi-hidraw, never both. Behaviour follows hidapi 0.13 on Linux hidraw.
#include "virtualhid/bus.h"
#include "virtualhid/deviceinfo.h"
#include "virtualhid/globalcall.h"
#include "virtualhid/handlecall.h"
#include "virtualhid/hiddevice.h"
#include "virtualhid/misusereporter.h"
#include "virtualhid/registry.h"

#include <hidapi.h>

#include <cwchar>
#include <mutex>
#include <string>

using vhid::GlobalCall;
using vhid::HandleCall;

namespace {

// hid_error(NULL): the last error of a global call, "Success" when there was none.
std::mutex globalErrorMutex;
std::wstring globalError = L"Success";

void setGlobalError(const wchar_t *message)
{
    std::lock_guard<std::mutex> lock(globalErrorMutex);
    globalError = message;
}

hid_device *openNode(const std::shared_ptr<vhid::Node> &node)
{
    hid_device *dev = vhid::Registry::instance().open(node);
    setGlobalError(dev ? L"Success" : L"No such file or directory");
    return dev;
}

int getString(hid_device *dev, const char *function, wchar_t *hid_device_info::*field,
              wchar_t *string, size_t maxlen)
{
    HandleCall call(dev, function);
    if (!call) {
        return -1;
    }
    const wchar_t *value = call->deviceInfo()->*field;
    return call->copyString(value ? value : L"", string, maxlen);
}

} // namespace

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void)
{
    GlobalCall global("hid_init");
    vhid::Registry::instance().countInit();
    setGlobalError(L"Success");
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_exit(void)
{
    // Open handles stay usable, as with hidraw.
    GlobalCall global("hid_exit");
    vhid::Registry::instance().countExit();
    setGlobalError(L"Success");
    return 0;
}

struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_enumerate(unsigned short vendor_id,
                                                                  unsigned short product_id)
{
    GlobalCall global("hid_enumerate");
    hid_device_info *head = nullptr;
    hid_device_info **tail = &head;
    for (const auto &node : vhid::Bus::instance().nodes()) {
        const vhid::NodeInfo &info = node->info();
        if ((vendor_id && info.vendorId != vendor_id) ||
            (product_id && info.productId != product_id)) {
            continue;
        }
        // hidraw lists one entry per top-level collection of the node.
        std::vector<vhid::Collection> collections = info.collections;
        if (collections.empty()) {
            collections.push_back({});
        }
        for (const auto &collection : collections) {
            *tail = vhid::makeDeviceInfo(node->path(), info, collection);
            tail = &(*tail)->next;
        }
    }
    if (!head) {
        setGlobalError(vendor_id == 0 && product_id == 0
                           ? L"No HID devices found in the system."
                           : L"No HID devices with requested VID/PID found in the system.");
    } else {
        setGlobalError(L"Success");
    }
    return head;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info *devs)
{
    vhid::freeDeviceInfo(devs);
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open(unsigned short vendor_id,
                                                 unsigned short product_id,
                                                 const wchar_t *serial_number)
{
    GlobalCall global("hid_open");
    // hidapi compares the ids exactly here: 0 is not a wildcard.
    for (const auto &node : vhid::Bus::instance().nodes()) {
        const vhid::NodeInfo &info = node->info();
        if (info.vendorId == vendor_id && info.productId == product_id &&
            (!serial_number || info.serial == serial_number)) {
            return openNode(node);
        }
    }
    setGlobalError(L"Device with requested VID/PID/(SerialNumber) not found");
    return nullptr;
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open_path(const char *path)
{
    GlobalCall global("hid_open_path");
    if (!path) {
        vhid::MisuseReporter::instance().report("hid_open_path was given a null path");
        return nullptr;
    }
    return openNode(vhid::Bus::instance().find(path));
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    HandleCall call(dev, "hid_write");
    return call ? call->write(data, length) : -1;
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device *dev, unsigned char *data,
                                                 size_t length, int milliseconds)
{
    HandleCall call(dev, "hid_read_timeout");
    return call ? call->read(data, length, milliseconds) : -1;
}

int HID_API_EXPORT HID_API_CALL hid_read(hid_device *dev, unsigned char *data, size_t length)
{
    HandleCall call(dev, "hid_read");
    return call ? call->read(data, length, call->nonblocking() ? 0 : -1) : -1;
}

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device *dev, int nonblock)
{
    HandleCall call(dev, "hid_set_nonblocking");
    if (!call) {
        return -1;
    }
    call->setNonblocking(nonblock != 0);
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_send_feature_report(hid_device *dev, const unsigned char *data,
                                                        size_t length)
{
    (void)data;
    (void)length;
    HandleCall call(dev, "hid_send_feature_report");
    return call ? call->unsupported(L"Broken pipe") : -1; // the devices have no feature reports
}

int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device *dev, unsigned char *data,
                                                       size_t length)
{
    (void)data;
    (void)length;
    HandleCall call(dev, "hid_get_feature_report");
    return call ? call->unsupported(L"Broken pipe") : -1;
}

int HID_API_EXPORT HID_API_CALL hid_get_input_report(hid_device *dev, unsigned char *data,
                                                     size_t length)
{
    (void)data;
    (void)length;
    HandleCall call(dev, "hid_get_input_report");
    return call ? call->unsupported(L"Broken pipe") : -1;
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device *dev)
{
    if (!dev) {
        return; // hidapi ignores a null handle here
    }
    GlobalCall global("hid_close");
    HandleCall call(dev, "hid_close", HandleCall::Mode::Close);
    if (call) {
        call->close();
    }
}

int HID_API_EXPORT_CALL hid_get_manufacturer_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return getString(dev, "hid_get_manufacturer_string", &hid_device_info::manufacturer_string,
                     string, maxlen);
}

int HID_API_EXPORT_CALL hid_get_product_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return getString(dev, "hid_get_product_string", &hid_device_info::product_string, string,
                     maxlen);
}

int HID_API_EXPORT_CALL hid_get_serial_number_string(hid_device *dev, wchar_t *string,
                                                     size_t maxlen)
{
    return getString(dev, "hid_get_serial_number_string", &hid_device_info::serial_number, string,
                     maxlen);
}

struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_get_device_info(hid_device *dev)
{
    HandleCall call(dev, "hid_get_device_info");
    return call ? call->deviceInfo() : nullptr;
}

int HID_API_EXPORT_CALL hid_get_indexed_string(hid_device *dev, int string_index, wchar_t *string,
                                               size_t maxlen)
{
    (void)string_index;
    (void)string;
    (void)maxlen;
    HandleCall call(dev, "hid_get_indexed_string");
    return call ? call->unsupported(L"hid_get_indexed_string: not supported by hidraw") : -1;
}

HID_API_EXPORT const wchar_t *HID_API_CALL hid_error(hid_device *dev)
{
    if (!dev) {
        GlobalCall global("hid_error(NULL)");
        std::lock_guard<std::mutex> lock(globalErrorMutex);
        return globalError.c_str();
    }
    HandleCall call(dev, "hid_error");
    return call ? call->error() : L"Invalid handle";
}

HID_API_EXPORT const struct hid_api_version *HID_API_CALL hid_version(void)
{
    static const hid_api_version version = {HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR,
                                            HID_API_VERSION_PATCH};
    return &version;
}

HID_API_EXPORT const char *HID_API_CALL hid_version_str(void)
{
    return HID_API_VERSION_STR;
}

} // extern "C"
