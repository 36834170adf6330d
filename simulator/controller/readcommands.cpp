#include "controller/readcommands.h"

#include "controller/commandcodes.h"
#include "controller/frame.h"

#include <algorithm>

namespace ctrlsim {

namespace {

constexpr size_t kMaxLevel = 2;
constexpr size_t kMaxZone = 3;
constexpr size_t kColourItem = 3;

// Reply payload bytes for 0xFA are placed from report offset 14.
std::vector<uint8_t> idsPayload(const DeviceState &s)
{
    std::vector<uint8_t> out(25 - frame::kParams, 0);
    const auto at = [&out](size_t reportOffset) -> uint8_t & {
        return out[reportOffset - frame::kParams];
    };
    at(14) = static_cast<uint8_t>(s.vendorId & 0xFF);
    at(15) = static_cast<uint8_t>(s.vendorId >> 8);
    at(16) = static_cast<uint8_t>(s.productId & 0xFF);
    at(17) = static_cast<uint8_t>(s.productId >> 8);
    std::copy(s.version.begin(), s.version.end(), &at(19));
    std::copy(s.version2.begin(), s.version2.end(), &at(22));
    return out;
}

std::vector<uint8_t> namePayload(const DeviceState &s, uint8_t profile)
{
    const std::string &name = s.names[profile];
    const size_t n = std::min(name.size(), DeviceState::kMaxNameBytes);
    std::vector<uint8_t> out(2 + n);
    out[0] = profile;
    out[1] = static_cast<uint8_t>(n);
    std::copy_n(name.begin(), n, out.begin() + 2);
    return out;
}

} // namespace

std::optional<std::vector<uint8_t>> answerReadCommand(DeviceState &state,
                                                      const std::vector<uint8_t> &f)
{
    const DeviceState::Record &r = state.active();
    const uint8_t code = f[frame::kCode];
    const auto p = [&f](size_t i) -> uint8_t { return f[frame::kParams + i]; };
    const auto bytes = [&r](size_t offset, size_t n) {
        return std::vector<uint8_t>(r.begin() + static_cast<long>(offset),
                                    r.begin() + static_cast<long>(offset + n));
    };

    switch (code) {
    case cmd::ReadButtons:
        return frame::make(code, bytes(rec::ButtonMap, rec::ButtonMapSize));
    case cmd::ReadTurbo:
        return frame::make(code, {r[rec::TurboMask]});
    case cmd::ReadStickReverse:
        return frame::make(code, bytes(rec::StickReverse, 4));
    case cmd::ReadDeadZones:
        return frame::make(code, bytes(rec::DeadZones, 4));
    case cmd::ReadCurve:
        if (p(0) > 1) {
            return std::nullopt;
        }
        return frame::make(code, bytes(rec::Curves + rec::CurveHalfSize * p(0), 8));
    case cmd::ReadTriggers: {
        const uint8_t a = p(0), b = p(1);
        if (a > kMaxLevel || b > kMaxLevel) {
            return std::nullopt;
        }
        return frame::make(code, {a, a, b, r[rec::TriggerLStart + a], r[rec::TriggerLEnd + a],
                                  r[rec::TriggerRStart + b], r[rec::TriggerREnd + b]});
    }
    case cmd::ReadTriggerLock:
        return frame::make(code, {0, r[rec::TriggerLock], r[rec::TriggerLock + 1]});
    case cmd::ReadVibration:
        return frame::make(code, bytes(rec::Vibration, 4));
    case cmd::ReadLighting: {
        const uint8_t item = p(0), zone = p(1);
        if (item > kColourItem || zone > kMaxZone) {
            return std::nullopt;
        }
        const size_t base = rec::Lighting + rec::LightingZoneSize * zone;
        std::vector<uint8_t> out{item, zone};
        const auto values =
            item == kColourItem ? bytes(base + rec::LightingColour, 3) : bytes(base + item, 1);
        out.insert(out.end(), values.begin(), values.end());
        return frame::make(code, out);
    }
    case cmd::SetCurrentProfile:
        if (p(0) >= DeviceState::kProfiles) {
            return std::nullopt;
        }
        state.activeProfile = p(0);
        return frame::make(code);
    case cmd::ReadCurrentProfile:
        return frame::make(code, {static_cast<uint8_t>(state.activeProfile)});
    case cmd::ReadStatus:
        return frame::make(code, {state.statusByte});
    case cmd::ReadName:
        if (p(0) >= DeviceState::kProfiles) {
            return std::nullopt;
        }
        return frame::make(code, namePayload(state, p(0)));
    case cmd::ReadIds:
        return frame::make(code, idsPayload(state));
    default:
        return std::nullopt;
    }
}

} // namespace ctrlsim
