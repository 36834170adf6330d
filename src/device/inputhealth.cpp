#include "inputhealth.h"

#include <algorithm>

namespace {

double Milliseconds(InputHealth::Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Nearest rank: the smallest kept interval that at least percent % of them do not exceed.
double PercentileMs(std::vector<InputHealth::Clock::duration> &intervals, size_t percent)
{
    const size_t rank = (percent * intervals.size() + 99) / 100;
    const auto at = intervals.begin() + std::ptrdiff_t(std::max<size_t>(rank, 1) - 1);
    std::nth_element(intervals.begin(), at, intervals.end());
    return Milliseconds(*at);
}

} // namespace

void InputHealth::Series::Add(Clock::duration interval)
{
    if (intervals.size() < size_t(kKeptIntervals)) {
        intervals.push_back(interval);
    } else {
        total -= intervals[next];
        intervals[next] = interval;
        next = (next + 1) % intervals.size();
    }
    total += interval;
}

void InputHealth::Series::Clear()
{
    intervals.clear();
    next = 0;
    total = Clock::duration::zero();
    last.reset();
}

InputHealth::InputHealth(int slots) : m_series(size_t(std::max(slots, 0))) {}

void InputHealth::Stamp(int slot, Clock::time_point at)
{
    if (!Valid(slot))
        return;
    Series &series = m_series[size_t(slot)];
    std::lock_guard<std::mutex> guard(series.lock);
    const bool continues = series.last && at >= *series.last && at - *series.last <= kQuiet;
    if (continues)
        series.Add(at - *series.last);
    else
        series.Clear();
    series.last = at;
}

void InputHealth::Reset(int slot)
{
    if (!Valid(slot))
        return;
    Series &series = m_series[size_t(slot)];
    std::lock_guard<std::mutex> guard(series.lock);
    series.Clear();
}

std::optional<InputHealth::Figures> InputHealth::Summary(int slot, Clock::time_point now) const
{
    if (!Valid(slot))
        return std::nullopt;
    std::vector<Clock::duration> intervals;
    Clock::duration total{};
    {
        const Series &series = m_series[size_t(slot)];
        std::lock_guard<std::mutex> guard(series.lock);
        if (!series.last || now - *series.last > kQuiet || series.total <= Clock::duration::zero())
            return std::nullopt;
        intervals = series.intervals;
        total = series.total;
    }
    // Count over the time spanned rather than one over the median: a stream sent at fixed
    // deadlines then shows its exact rate whatever the jitter of single reads, and lost
    // reports lower it.
    const auto spanNs = std::chrono::duration_cast<std::chrono::nanoseconds>(total).count();
    Figures figures;
    figures.reportsPerSecond = double(intervals.size()) * 1e9 / double(spanNs);
    figures.p50Ms = PercentileMs(intervals, 50);
    figures.p99Ms = PercentileMs(intervals, 99);
    return figures;
}

QString InputHealthText(const std::optional<InputHealth::Figures> &figures, InputLink link)
{
    if (!figures)
        return QString();
    // QString::number ignores the locale: the line always reads "1.9", never "1,9".
    return QStringLiteral("%1 Hz \u00B7 p50 %2 ms \u00B7 p99 %3 ms \u00B7 %4")
        .arg(QString::number(qRound(figures->reportsPerSecond)),
             QString::number(figures->p50Ms, 'f', 1), QString::number(figures->p99Ms, 'f', 1),
             link == InputLink::Dongle ? QStringLiteral("2.4G") : QStringLiteral("USB"));
}
