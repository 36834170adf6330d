#include "updatemode/updatabledevice.h"

#include "virtualhid/node.h"

namespace ctrlsim {

using Clock = std::chrono::steady_clock;

UpdatableDevice::UpdatableDevice(Options options, Mode start) : options_(std::move(options))
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (start == Mode::Update)
            plugUpdate();
        else
            plugNormal(options_.state, options_.release);
    }
    thread_ = std::thread([this] { run(); });
}

UpdatableDevice::~UpdatableDevice()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }
    thread_.join();
    controller_.reset();
    update_.reset();
}

UpdatableDevice::Mode UpdatableDevice::mode() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return mode_;
}

bool UpdatableDevice::waitForMode(Mode mode, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return mode_ == mode; });
}

int UpdatableDevice::updateModeEntries() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
}

UpdateModeDevice::Transfer UpdatableDevice::lastTransfer() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (update_)
        return update_->transfer();
    return lastTransfer_ ? *lastTransfer_ : UpdateModeDevice::Transfer{};
}

bool UpdatableDevice::withController(const std::function<void(SimulatedController &)> &fn)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!controller_)
        return false;
    fn(*controller_);
    return true;
}

std::vector<ControllerFirmware::Report> UpdatableDevice::frames() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ControllerFirmware::Report> all = earlierFrames_;
    if (controller_) {
        const auto current = controller_->firmware().frames();
        all.insert(all.end(), current.begin(), current.end());
    }
    return all;
}

void UpdatableDevice::pull()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (controller_)
        controller_->unplug();
    if (update_)
        update_->unplug();
}

void UpdatableDevice::plugNormal(const DeviceState &state, uint16_t release)
{
    controller_ = options_.kind == Kind::Dongle
                      ? SimulatedController::plugDongle(options_.productId, state, release)
                      : SimulatedController::plugWired(options_.productId, state, release);
    controller_->firmware().setOnEnterUpdateMode([this] {
        schedule({}, [this] { leave(); });
        schedule(options_.enterDelay, [this] {
            std::lock_guard<std::mutex> lock(mutex_);
            plugUpdate();
        });
    });
    mode_ = Mode::Normal;
    changed_.notify_all();
}

void UpdatableDevice::plugUpdate()
{
    update_ = std::make_unique<UpdateModeDevice>(options_.expectedApplication);
    update_->setReplyDelay(options_.replyDelay);
    for (const auto &fault : options_.faults)
        update_->injectFault(fault);
    update_->setOnEnd([this](bool complete) {
        if (!complete)
            return; // a device whose flash failed keeps waiting in update mode
        schedule({}, [this] { leave(); });
        schedule(options_.leaveDelay, [this] {
            std::lock_guard<std::mutex> lock(mutex_);
            plugNormal(options_.stateAfterUpdate, options_.releaseAfterUpdate);
        });
    });
    ++entries_;
    mode_ = Mode::Update;
    changed_.notify_all();
}

// Runs on the transition thread. The devices are destroyed there without the lock held,
// since their destructors wait for writes still inside them, and such a write may be
// scheduling the next transition.
void UpdatableDevice::leave()
{
    std::unique_ptr<SimulatedController> controller;
    std::unique_ptr<UpdateModeDevice> update;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (update_)
            lastTransfer_ = std::make_unique<UpdateModeDevice::Transfer>(update_->transfer());
        controller = std::move(controller_);
        update = std::move(update_);
    }
    if (controller) {
        // Off the bus and with no write left inside its firmware, its log is complete.
        controller->unplug();
        controller->node().setFirmware(nullptr);
        const auto frames = controller->firmware().frames();
        std::lock_guard<std::mutex> lock(mutex_);
        earlierFrames_.insert(earlierFrames_.end(), frames.begin(), frames.end());
    }
    controller.reset();
    update.reset();
    std::lock_guard<std::mutex> lock(mutex_);
    mode_ = Mode::Leaving;
    changed_.notify_all();
}

void UpdatableDevice::schedule(std::chrono::milliseconds delay, std::function<void()> task)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.emplace_back(Clock::now() + delay, std::move(task));
    changed_.notify_all();
}

void UpdatableDevice::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        auto next = tasks_.end();
        for (auto it = tasks_.begin(); it != tasks_.end(); ++it)
            if (next == tasks_.end() || it->first < next->first)
                next = it;
        if (next == tasks_.end()) {
            changed_.wait(lock);
            continue;
        }
        if (next->first > Clock::now()) {
            changed_.wait_until(lock, next->first);
            continue;
        }
        auto task = std::move(next->second);
        tasks_.erase(next);
        lock.unlock();
        task();
        lock.lock();
    }
}

} // namespace ctrlsim
