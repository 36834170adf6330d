#pragma once

#include "controller/inputreport.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace ctrlsim {

struct StreamOptions
{
    std::chrono::microseconds interval{1000};
    // Each report goes out up to this much before or after its deadline, uniformly.
    std::chrono::microseconds jitter{0};
    int dropEvery = 0;       // every Nth report is skipped; 0 for none
    double dropChance = 0.0; // each report is skipped with this probability
    uint32_t seed = 1;       // of the jitter and the chance drops
};

// Sends the current input state from a thread of its own at fixed deadlines, start + k ×
// interval, so that a late report does not shift the ones after it and the mean rate stays
// exact. start and stop belong to the owner's thread; setInput may come from any thread.
class InputStream
{
public:
    using Send = std::function<void(const InputState &)>;

    explicit InputStream(Send send);
    ~InputStream(); // stops
    InputStream(const InputStream &) = delete;
    InputStream &operator=(const InputStream &) = delete;

    // Replaces a running stream. False, and nothing sent, for an interval below 1 µs.
    bool start(const StreamOptions &options);
    void stop(); // returns once the thread has ended; idempotent
    bool running() const { return running_.load(); }

    void setInput(const InputState &input);
    // Reports sent and skipped since the last start.
    uint64_t sent() const { return sent_.load(); }
    uint64_t skipped() const { return skipped_.load(); }

private:
    using Clock = std::chrono::steady_clock;

    void run(StreamOptions options);
    // Sleeps until `at`; false when stopped meanwhile.
    bool waitUntil(Clock::time_point at);
    InputState input() const;

    const Send send_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::mutex stopLock_;
    std::condition_variable stopped_;
    mutable std::mutex inputLock_;
    InputState input_;
    std::atomic<uint64_t> sent_{0};
    std::atomic<uint64_t> skipped_{0};
};

} // namespace ctrlsim
