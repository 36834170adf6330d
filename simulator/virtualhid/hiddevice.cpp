#include "virtualhid/hiddevice.h"

#include "virtualhid/deviceinfo.h"
#include "virtualhid/firmware.h"
#include "virtualhid/node.h"

#include <algorithm>
#include <chrono>

namespace {

// hidraw rejects writes shorter than 2 bytes or longer than HID_MAX_BUFFER_SIZE.
constexpr size_t kMinWrite = 2;
constexpr size_t kMaxWrite = 16384;

const vhid::Collection &firstCollection(const vhid::NodeInfo &info)
{
    static const vhid::Collection none;
    return info.collections.empty() ? none : info.collections.front();
}

} // namespace

hid_device_::hid_device_(std::shared_ptr<vhid::Node> node)
    : node_(std::move(node)),
      info_(vhid::makeDeviceInfo(node_->path(), node_->info(), firstCollection(node_->info()))),
      error_(L"Success")
{
    std::lock_guard<std::mutex> lock(node_->mutex_);
    node_->deliverDue(vhid::Node::Clock::now()); // earlier arrivals are not for this handle
    node_->handles_.push_back(this);
}

hid_device_::~hid_device_()
{
    close();
    vhid::freeDeviceInfo(info_);
}

void hid_device_::close()
{
    std::lock_guard<std::mutex> lock(node_->mutex_);
    auto &handles = node_->handles_;
    handles.erase(std::remove(handles.begin(), handles.end(), this), handles.end());
    closed.store(true);
    node_->changed_.notify_all();
}

int hid_device_::read(unsigned char *data, size_t length, int milliseconds)
{
    using Clock = vhid::Node::Clock;
    vhid::Node &node = *node_;
    ++node.readCalls_;
    setError(L"Success");
    if (!data && length > 0) {
        setError(L"Bad address");
        return -1;
    }
    const bool timed = milliseconds >= 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timed ? milliseconds : 0);

    std::unique_lock<std::mutex> lock(node.mutex_);
    for (;;) {
        if (closed.load()) {
            setError(L"Bad file descriptor");
            return -1;
        }
        if (!node.plugged_) {
            setError(L"Device disconnected");
            return -1;
        }
        const auto now = Clock::now();
        node.deliverDue(now);
        if (!queue_.empty()) {
            const std::vector<uint8_t> report = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            // Like hidraw: one report per read, cut to the caller's buffer.
            const size_t n = std::min(length, report.size());
            std::copy_n(report.begin(), n, data);
            return static_cast<int>(n);
        }
        if (timed && now >= deadline) {
            return 0;
        }
        if (!timed && node.inFlight_.empty()) {
            node.changed_.wait(lock);
        } else {
            auto wakeAt = timed ? deadline : node.inFlight_.front().readyAt;
            if (!node.inFlight_.empty()) {
                wakeAt = std::min(wakeAt, node.inFlight_.front().readyAt);
            }
            node.changed_.wait_until(lock, wakeAt);
        }
    }
}

int hid_device_::write(const unsigned char *data, size_t length)
{
    vhid::Node &node = *node_;
    ++node.writeCalls_;
    setError(L"Success");
    if (length < kMinWrite || length > kMaxWrite) {
        setError(L"Invalid argument");
        return -1;
    }
    if (!data) {
        setError(L"Bad address");
        return -1;
    }
    vhid::Firmware *firmware = nullptr;
    {
        std::lock_guard<std::mutex> lock(node.mutex_);
        if (!node.plugged_) {
            setError(L"No such device");
            return -1;
        }
        if (node.failWrites_ > 0) {
            --node.failWrites_;
            setError(L"Input/output error");
            return -1;
        }
        firmware = node.firmware_;
        if (firmware) {
            ++node.firmwareCalls_;
        }
    }
    if (firmware) {
        // Report ID 0 means "unnumbered": the device never sees that byte.
        const size_t skip = data[0] == 0 ? 1 : 0;
        const std::vector<uint8_t> report(data + skip, data + length);
        struct CallEnd
        {
            vhid::Node &node;
            ~CallEnd()
            {
                std::lock_guard<std::mutex> lock(node.mutex_);
                --node.firmwareCalls_;
                node.changed_.notify_all();
            }
        } end{node};
        firmware->onOutputReport(node, report);
    }
    return static_cast<int>(length);
}

int hid_device_::copyString(const std::wstring &value, wchar_t *string, size_t maxlen)
{
    if (!string || maxlen == 0) {
        setError(L"Zero buffer/length");
        return -1;
    }
    const size_t n = std::min(value.size(), maxlen - 1);
    std::copy_n(value.begin(), n, string);
    string[n] = L'\0';
    setError(L"Success");
    return 0;
}

int hid_device_::unsupported(const wchar_t *message)
{
    setError(message);
    return -1;
}

const wchar_t *hid_device_::error() const
{
    std::lock_guard<std::mutex> lock(errorMutex_);
    return error_.c_str();
}

void hid_device_::setError(const wchar_t *message)
{
    std::lock_guard<std::mutex> lock(errorMutex_);
    error_ = message;
}
