#pragma once

#include "controller/recordlayout.h"

#include <array>
#include <cstdint>
#include <string>

namespace ctrlsim {

struct VibrationTest
{
    uint8_t left = 0;
    uint8_t right = 0;
};

// Everything the controller remembers, plus counters and flags for tests to check.
struct DeviceState
{
    static constexpr int kProfiles = 3;
    static constexpr size_t kMaxNameBytes = 55;
    using Record = std::array<uint8_t, rec::kSize>;

    std::array<Record, kProfiles> profiles{}; // working records
    std::array<Record, kProfiles> saved{};    // copy at the last SaveConfig
    int activeProfile = 0;
    std::array<std::string, kProfiles> names; // UTF-8
    uint16_t vendorId = 0x35C7;
    uint16_t productId = 0;
    std::array<uint8_t, 3> version{};
    std::array<uint8_t, 3> version2{};
    uint8_t statusByte = 0;

    int saveCount = 0;
    int resetCount = 0;
    bool calibrating = false;
    bool updateModeRequested = false;
    VibrationTest lastVibrationTest;

    // The record of the active profile (an out-of-range activeProfile is clamped).
    Record &active();
    const Record &active() const;

    // Every profile byte distinct and non-zero (different across profiles at each offset),
    // names "Profile 1".."Profile 3", version 1.3.0 / 1.30.0, profile 0 active, all saved.
    static DeviceState sane(uint16_t productId);
};

} // namespace ctrlsim
