#pragma once

#include <QMetaType>
#include <algorithm>
#include <cstdint>

// One configuration reply as the device sent it. Passed by value, so that it reaches the
// GUI thread as a copy of its own rather than memory shared with the read thread.
struct ConfigReply
{
    static constexpr int kMaxSize = 64;
    uint8_t bytes[kMaxSize] = {};
    int length = 0;

    ConfigReply() = default;
    ConfigReply(const uint8_t *report, int size) : length(std::clamp(size, 0, kMaxSize))
    {
        std::copy(report, report + length, bytes);
    }
    int size() const { return length; }
    uint8_t operator[](int i) const { return bytes[i]; }
};

Q_DECLARE_METATYPE(ConfigReply)
