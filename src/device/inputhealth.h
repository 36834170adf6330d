#pragma once

#include <QString>
#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

// How regularly each device slot delivers input reports: the read loop stamps every input
// report as it is read, and a summary gives the report rate and the spread of the intervals.
// Stamp, Reset and Summary may be called from different threads.
class InputHealth
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kKeptIntervals = 512;
    // A longer silence ends a series: the next stamp starts a fresh one, and until then the
    // slot has no figure.
    static constexpr auto kQuiet = std::chrono::seconds(1);

    struct Figures
    {
        double reportsPerSecond = 0;
        double p50Ms = 0;
        double p99Ms = 0;
    };

    explicit InputHealth(int slots);

    // An input report of slot read at `at`. Slots outside 0..slots-1 are ignored.
    void Stamp(int slot, Clock::time_point at);
    // Forgets the slot's series, e.g. when another device takes the slot.
    void Reset(int slot);
    // The slot's figures at `now`; none when no input report came in the last second or
    // fewer than two came since the series started.
    std::optional<Figures> Summary(int slot, Clock::time_point now) const;

private:
    struct Series
    {
        mutable std::mutex lock;
        std::vector<Clock::duration> intervals; // a ring once full
        size_t next = 0;                        // the oldest interval once the ring is full
        Clock::duration total{};                // the time the kept intervals span
        std::optional<Clock::time_point> last;

        void Add(Clock::duration interval);
        void Clear();
    };

    bool Valid(int slot) const { return slot >= 0 && slot < int(m_series.size()); }

    std::vector<Series> m_series;
};

enum class InputLink
{
    Usb,
    Dongle
};

// "1000 Hz · p50 1.0 ms · p99 1.9 ms · USB"; empty without figures.
QString InputHealthText(const std::optional<InputHealth::Figures> &figures, InputLink link);
