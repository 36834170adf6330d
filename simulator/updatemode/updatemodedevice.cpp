#include "updatemode/updatemodedevice.h"

#include "virtualhid/bus.h"
#include "virtualhid/node.h"

#include <algorithm>

namespace ctrlsim {

namespace {

constexpr size_t kPayload = 64;
constexpr uint8_t kStart = 0xAE;
constexpr uint8_t kHeader = 0xA0;
constexpr uint8_t kData = 0x00;
constexpr uint8_t kEnd = 0xAB;
constexpr size_t kHeaderBytes = 48;
constexpr size_t kDataBytes = 56;

uint32_t u32(const std::vector<uint8_t> &bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

void putU32(std::vector<uint8_t> &bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = uint8_t(value >> (8 * i));
}

} // namespace

UpdateModeDevice::UpdateModeDevice(std::vector<uint8_t> expected, uint16_t productId)
    : expected_(std::move(expected))
{
    vhid::NodeInfo info;
    info.vendorId = kVendorId;
    info.productId = productId;
    info.release = 0x0100;
    info.product = L"Firmware Update";
    info.manufacturer = L"Quorel";
    info.collections = {{0xFF00, 0x01}};
    node_ = vhid::Bus::instance().plug(info);
    node_->setFirmware(this);
}

UpdateModeDevice::~UpdateModeDevice()
{
    unplug();
    node_->setFirmware(nullptr); // waits for a write still inside onOutputReport
}

void UpdateModeDevice::unplug()
{
    vhid::Bus::instance().unplug(node_);
}

std::string UpdateModeDevice::path() const
{
    return node_->path();
}

void UpdateModeDevice::injectFault(FaultAt fault)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (fault.fault == Fault::FailWrite && fault.report == transfer_.reports)
        node_->failNextWrites(1);
    else
        faults_.push_back(fault);
}

void UpdateModeDevice::setReplyDelay(std::chrono::milliseconds delay)
{
    std::lock_guard<std::mutex> lock(mutex_);
    replyDelay_ = delay;
}

void UpdateModeDevice::setOnEnd(std::function<void(bool)> onEnd)
{
    std::lock_guard<std::mutex> lock(mutex_);
    onEnd_ = std::move(onEnd);
}

UpdateModeDevice::Transfer UpdateModeDevice::transfer() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return transfer_;
}

bool UpdateModeDevice::check(bool condition, const std::string &what)
{
    if (!condition)
        transfer_.violations.push_back("report " + std::to_string(transfer_.reports) + ": " + what);
    return condition;
}

void UpdateModeDevice::onOutputReport(vhid::Node &node, const std::vector<uint8_t> &report)
{
    std::vector<uint8_t> reply(kPayload, 0);
    std::chrono::milliseconds delay;
    std::function<void(bool)> onEnd;
    bool complete = false;
    bool unplugNow = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const int index = transfer_.reports;
        if (!check(report.size() == kPayload, "size " + std::to_string(report.size())))
            return;
        accept(report);
        ++transfer_.reports;

        uint16_t sum = 0;
        for (uint8_t byte : report)
            sum = uint16_t(sum + byte);
        putU32(reply, 0, sum);
        // The reply names the sequence the device expects next, plus one: Start (1) is
        // answered by 2, the Header (1 again) by 4, Data 3 by 6, and so on.
        const uint32_t sequence = u32(report, 4);
        putU32(reply, 4, (report[0] == kStart ? sequence : sequence + 2) + 1);
        bool send = true;
        for (const FaultAt &f : faults_) {
            if (f.report == index + 1 && f.fault == Fault::FailWrite)
                node.failNextWrites(1);
            if (f.report != index)
                continue;
            switch (f.fault) {
            case Fault::WrongChecksum:
                putU32(reply, 0, uint16_t(sum + 1));
                break;
            case Fault::ChecksumHigh:
                putU32(reply, 0, 0x00010000u | sum);
                break;
            case Fault::RepeatSequence:
                putU32(reply, 4, lastReply_ ? lastReply_ : sequence);
                break;
            case Fault::NoReply:
                send = false;
                break;
            case Fault::Unplug:
                send = false;
                unplugNow = true;
                break;
            case Fault::FailWrite:
                break;
            }
        }
        lastReply_ = u32(reply, 4);
        delay = replyDelay_;
        if (report[0] == kEnd && transfer_.ended) {
            complete = transfer_.complete;
            onEnd = onEnd_;
        }
        if (!send)
            reply.clear();
    }
    if (unplugNow)
        unplug();
    else if (!reply.empty())
        node.pushInput(std::move(reply), delay);
    if (onEnd)
        onEnd(complete);
}

void UpdateModeDevice::accept(const std::vector<uint8_t> &report)
{
    const uint8_t kind = report[0];
    const uint32_t sequence = u32(report, 4);
    Transfer &t = transfer_;
    switch (kind) {
    case kStart:
        check(sequence == 1, "Start with sequence " + std::to_string(sequence));
        t = Transfer{{}, 0, t.reports, false, false, t.violations};
        started_ = true;
        headerSeen_ = false;
        break;
    case kHeader:
        if (!check(started_ && !headerSeen_, "Header out of order") ||
            !check(sequence == 1, "Header with sequence " + std::to_string(sequence)))
            break;
        headerSeen_ = true;
        t.announcedSize = u32(report, 12);
        check(u32(report, 8) == 0, "Header start offset not 0");
        check(t.announcedSize >= kHeaderBytes, "Header size below 48");
        check(expected_.empty() || t.announcedSize == expected_.size(),
              "Header size " + std::to_string(t.announcedSize));
        t.received.assign(report.begin() + 16, report.begin() + 16 + kHeaderBytes);
        break;
    case kData: {
        if (!check(headerSeen_ && !t.ended, "Data before Header or after End") ||
            !check(sequence == lastSequence_ + 2, "Data sequence " + std::to_string(sequence)))
            break;
        const size_t left =
            t.announcedSize > t.received.size() ? t.announcedSize - t.received.size() : 0;
        if (!check(left > 0, "Data past the announced size"))
            break;
        const size_t n = std::min(left, kDataBytes);
        const size_t at = t.received.size();
        t.received.resize(at + n);
        std::copy_n(report.begin() + 8, n, t.received.begin() + long(at));
        check(std::all_of(report.begin() + 8 + long(n), report.end(),
                          [](uint8_t b) { return b == 0; }),
              "Data padding not zero");
        break;
    }
    case kEnd:
        if (!check(headerSeen_ && !t.ended, "End before Header") ||
            !check(sequence == lastSequence_ + 2, "End sequence " + std::to_string(sequence)) ||
            !check(t.received.size() == t.announcedSize, "End before all bytes"))
            break;
        t.ended = true;
        t.complete = t.violations.empty() && (expected_.empty() || t.received == expected_);
        break;
    default:
        check(false, "unknown report kind " + std::to_string(kind));
        return;
    }
    lastSequence_ = sequence;
}

} // namespace ctrlsim
