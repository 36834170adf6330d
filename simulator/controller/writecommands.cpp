#include "controller/writecommands.h"

#include "controller/commandcodes.h"
#include "controller/frame.h"

#include <algorithm>

namespace ctrlsim {

namespace {

constexpr size_t kMaxLevel = 2;
constexpr size_t kMaxZone = 3;
constexpr size_t kColourItem = 3;

void factoryReset(DeviceState &state, const DeviceState &factory)
{
    // Configuration goes back; counters and flags stay so tests can see what happened.
    state.profiles = factory.profiles;
    state.saved = factory.saved;
    state.activeProfile = factory.activeProfile;
    state.names = factory.names;
    state.statusByte = factory.statusByte;
    ++state.resetCount;
}

} // namespace

bool applyWriteCommand(DeviceState &state, const DeviceState &factory,
                       const std::vector<uint8_t> &f)
{
    DeviceState::Record &r = state.active();
    const auto p = [&f](size_t i) -> uint8_t { return f[frame::kParams + i]; };
    const auto copy = [&](size_t param, size_t offset, size_t n) {
        std::copy_n(f.begin() + static_cast<long>(frame::kParams + param), n,
                    r.begin() + static_cast<long>(offset));
    };

    switch (f[frame::kCode]) {
    case cmd::WriteButtons:
        copy(0, rec::ButtonMap, rec::ButtonMapSize);
        return true;
    case cmd::WriteDeadZones:
        copy(0, rec::DeadZones, 4);
        return true;
    case cmd::WriteStickReverse:
        copy(0, rec::StickReverse, 4);
        return true;
    case cmd::WriteVibration:
        copy(0, rec::Vibration, 4);
        return true;
    case cmd::WriteLighting: {
        const size_t item = p(0), zone = p(1);
        if (item > kColourItem || zone > kMaxZone) {
            return true;
        }
        const size_t base = rec::Lighting + rec::LightingZoneSize * zone;
        if (item == kColourItem) {
            copy(2, base + rec::LightingColour, 3);
        } else {
            r[base + item] = p(2);
        }
        return true;
    }
    case cmd::WriteTriggers: {
        const size_t a = p(0), b = p(1);
        if (a <= kMaxLevel && b <= kMaxLevel) {
            r[rec::TriggerLStart + a] = p(2);
            r[rec::TriggerLEnd + a] = p(3);
            r[rec::TriggerRStart + b] = p(4);
            r[rec::TriggerREnd + b] = p(5);
        }
        return true;
    }
    case cmd::WriteTurbo:
        r[rec::TurboMask] = p(0);
        return true;
    case cmd::WriteCurve:
        if (p(0) <= 1) {
            copy(1, rec::Curves + rec::CurveHalfSize * p(0), rec::CurveHalfSize);
        }
        return true;
    case cmd::VibrationTest:
        state.lastVibrationTest = {p(2), p(3)};
        return true;
    case cmd::WriteName: {
        const size_t profile = p(0), n = p(1);
        if (profile < state.names.size() && n <= DeviceState::kMaxNameBytes) {
            const auto begin = f.begin() + static_cast<long>(frame::kParams + 2);
            state.names[profile].assign(begin, begin + static_cast<long>(n));
        }
        return true;
    }
    case cmd::FactoryReset:
        factoryReset(state, factory);
        return true;
    case cmd::SaveConfig:
        state.saved = state.profiles;
        ++state.saveCount;
        return true;
    case cmd::CalibrationStart:
        if (p(0) == 0x22) {
            state.calibrating = true;
        }
        return true;
    case cmd::CalibrationStop:
        if (p(0) == 0x32) {
            state.calibrating = false;
        }
        return true;
    case cmd::EnterUpdateMode:
        state.updateModeRequested = true;
        return true;
    default:
        return false;
    }
}

} // namespace ctrlsim
