#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace vhid {

// Where detected hidapi misuse goes: by default a message on stderr and std::abort(), so no
// test can pass on usage the real library would punish.
class MisuseReporter
{
public:
    static MisuseReporter &instance();

    void setHandler(std::function<void(const std::string &)> handler);
    void report(const std::string &what);
    uint64_t count() const { return count_.load(); }

private:
    MisuseReporter() = default;

    mutable std::mutex mutex_;
    std::function<void(const std::string &)> handler_;
    std::atomic<uint64_t> count_{0};
};

} // namespace vhid
