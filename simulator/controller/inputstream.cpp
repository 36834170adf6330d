#include "controller/inputstream.h"

#include <algorithm>
#include <random>

namespace ctrlsim {

InputStream::InputStream(Send send) : send_(std::move(send)) {}

InputStream::~InputStream()
{
    stop();
}

bool InputStream::start(const StreamOptions &options)
{
    stop();
    if (options.interval.count() < 1)
        return false;
    sent_ = 0;
    skipped_ = 0;
    running_ = true;
    thread_ = std::thread([this, options] { run(options); });
    return true;
}

void InputStream::stop()
{
    {
        // Under the lock, so that the wake-up cannot fall between the thread's check and its
        // wait.
        std::lock_guard<std::mutex> guard(stopLock_);
        running_ = false;
    }
    stopped_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void InputStream::setInput(const InputState &input)
{
    std::lock_guard<std::mutex> guard(inputLock_);
    input_ = input;
}

InputState InputStream::input() const
{
    std::lock_guard<std::mutex> guard(inputLock_);
    return input_;
}

bool InputStream::waitUntil(Clock::time_point at)
{
    // A condition variable rather than sleep_until: stop (and so unplug and the destructor)
    // must not wait out a long interval.
    std::unique_lock<std::mutex> lock(stopLock_);
    return !stopped_.wait_until(lock, at, [this] { return !running_.load(); });
}

void InputStream::run(StreamOptions options)
{
    std::mt19937 random(options.seed);
    const int64_t jitterUs = std::max<int64_t>(options.jitter.count(), 0);
    std::uniform_int_distribution<int64_t> jitter(-jitterUs, jitterUs);
    std::bernoulli_distribution chanceDrop(std::clamp(options.dropChance, 0.0, 1.0));

    const Clock::time_point start = Clock::now() + options.interval;
    for (int64_t k = 0;; ++k) {
        const auto deadline = start + std::chrono::microseconds(options.interval.count() * k);
        const auto offset = std::chrono::microseconds(jitterUs > 0 ? jitter(random) : 0);
        const bool everyNth = options.dropEvery > 0 && (k + 1) % options.dropEvery == 0;
        const bool byChance = options.dropChance > 0 && chanceDrop(random);
        if (!waitUntil(deadline + offset))
            return;
        if (everyNth || byChance) {
            ++skipped_;
            continue;
        }
        send_(input());
        ++sent_;
    }
}

} // namespace ctrlsim
