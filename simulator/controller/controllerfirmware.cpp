#include "controller/controllerfirmware.h"

#include "controller/commandcodes.h"
#include "controller/frame.h"
#include "controller/readcommands.h"
#include "controller/writecommands.h"
#include "virtualhid/node.h"

#include <algorithm>
#include <optional>

namespace ctrlsim {

ControllerFirmware::ControllerFirmware(DeviceState factory)
    : factory_(factory), state_(std::move(factory))
{
}

void ControllerFirmware::onOutputReport(vhid::Node &node, const Report &report)
{
    std::optional<Report> reply;
    std::chrono::milliseconds delay{0};
    std::function<void()> onEnterUpdateMode;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        raw_.push_back(report);
        if (!frame::isValid(report)) {
            return;
        }
        frames_.push_back(report);
        const std::optional<Report> applied = withFaults(report);
        if (!applied) {
            return;
        }
        const bool wasRequested = state_.updateModeRequested;
        if (applyWriteCommand(state_, factory_, *applied)) {
            if (!wasRequested && state_.updateModeRequested) {
                onEnterUpdateMode = onEnterUpdateMode_;
            }
        } else if ((reply = answerReadCommand(state_, report)) && dropReplies_ > 0) {
            --dropReplies_;
            reply.reset();
        }
        delay = replyDelay_;
    }
    if (onEnterUpdateMode) {
        onEnterUpdateMode();
    }
    if (reply) {
        node.pushInput(std::move(*reply), delay);
    }
}

std::optional<ControllerFirmware::Report> ControllerFirmware::withFaults(const Report &report)
{
    const uint8_t code = report[frame::kCode];
    if (code == cmd::SaveConfig && dropCommit_) {
        dropCommit_ = false;
        state_.profiles = state_.saved;
        return std::nullopt;
    }
    const auto fault = std::find_if(writeFaults_.begin(), writeFaults_.end(),
                                    [code](const WriteFault &f) { return f.code == code; });
    if (fault == writeFaults_.end()) {
        return report;
    }
    const int index = fault->index;
    writeFaults_.erase(fault);
    if (index < 0) {
        return std::nullopt;
    }
    Report changed = report;
    if (size_t(index) < changed.size()) {
        ++changed[size_t(index)];
    }
    return changed;
}

void ControllerFirmware::dropNextWrite(uint8_t code)
{
    std::lock_guard<std::mutex> lock(mutex_);
    writeFaults_.push_back({code, -1});
}

void ControllerFirmware::corruptNextWrite(uint8_t code, int index)
{
    std::lock_guard<std::mutex> lock(mutex_);
    writeFaults_.push_back({code, std::max(index, 0)});
}

void ControllerFirmware::dropNextCommit()
{
    std::lock_guard<std::mutex> lock(mutex_);
    dropCommit_ = true;
}

void ControllerFirmware::clearFaults()
{
    std::lock_guard<std::mutex> lock(mutex_);
    writeFaults_.clear();
    dropCommit_ = false;
    replyDelay_ = std::chrono::milliseconds(0);
}

DeviceState ControllerFirmware::state() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

void ControllerFirmware::setState(const DeviceState &state)
{
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = state;
}

std::vector<ControllerFirmware::Report> ControllerFirmware::frames() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
}

std::vector<ControllerFirmware::Report> ControllerFirmware::rawReports() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return raw_;
}

void ControllerFirmware::clearLog()
{
    std::lock_guard<std::mutex> lock(mutex_);
    frames_.clear();
    raw_.clear();
}

void ControllerFirmware::setOnEnterUpdateMode(std::function<void()> handler)
{
    std::lock_guard<std::mutex> lock(mutex_);
    onEnterUpdateMode_ = std::move(handler);
}

void ControllerFirmware::dropNextReplies(int n)
{
    std::lock_guard<std::mutex> lock(mutex_);
    dropReplies_ = std::max(n, 0);
}

void ControllerFirmware::setReplyDelay(std::chrono::milliseconds delay)
{
    std::lock_guard<std::mutex> lock(mutex_);
    replyDelay_ = std::max(delay, std::chrono::milliseconds(0));
}

} // namespace ctrlsim
