#pragma once

#include <cstddef>

// Byte offsets inside one 90-byte profile record.
namespace ctrlsim::rec {

constexpr size_t kSize = 90;
constexpr size_t ButtonMap = 0; // 20 bytes
constexpr size_t ButtonMapSize = 20;
constexpr size_t TurboMask = 20;
constexpr size_t Status = 21;
constexpr size_t CurrentProfile = 22;
constexpr size_t StickReverse = 23; // LX, LY, RX, RY
constexpr size_t DeadZones = 27;    // inside L, outside L, inside R, outside R
constexpr size_t CurveSide = 31;
constexpr size_t Curves = 32; // left 32..39, right 40..47
constexpr size_t CurveHalfSize = 8;
constexpr size_t TriggerLock = 48;   // L, R
constexpr size_t TriggerLStart = 50; // one byte per level 0..2
constexpr size_t TriggerLEnd = 53;
constexpr size_t TriggerRStart = 56;
constexpr size_t TriggerREnd = 59;
constexpr size_t Vibration = 62;       // trigger L, trigger R, motor L, motor R
constexpr size_t Lighting = 66;        // 4 zones
constexpr size_t LightingZoneSize = 6; // brightness, speed, mode, red, green, blue
constexpr size_t LightingColour = 3;   // red, green, blue within a zone

} // namespace ctrlsim::rec
