#pragma once

#include "protocol/profile_info.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The named settings of a profile record: button codes, back buttons, turbo bits, curve
// presets and the names of the lighting and trigger values. The pages and the profile
// documents read these tables, so a name is spelt in one place only.
namespace ProfileSettings {

constexpr int kMaxPercent = 100;

// Codes of the mapping table (record offsets 0..19) and the controller button each stands for.
struct ButtonCode
{
    uint8_t code;
    const char *name;
    int reportIndex;  // in the pressed-buttons report
    int reportIndex2; // a second index of the same button, or -1
};

inline constexpr ButtonCode kButtonCodes[] = {
    {18, "Menu", 5, -1},  {19, "View", 4, -1},   {20, "A", 0, -1},   {21, "B", 1, -1},
    {22, "X", 2, -1},     {23, "Y", 3, -1},      {32, "Up", 12, -1}, {33, "Down", 14, -1},
    {34, "Left", 15, -1}, {35, "Right", 13, -1}, {36, "LB", 6, -1},  {37, "RB", 7, -1},
    {38, "LSB", 10, -1},  {39, "RSB", 11, -1},   {40, "LT", 8, 16},  {41, "RT", 9, 17},
};

// A back button with no assignment.
constexpr uint8_t kNoButton = 64;
constexpr const char *kNoButtonName = "None";

// The name of a code ("None" for kNoButton); null for a code with no name.
const char *ButtonName(uint8_t code);
// The code of a name as ButtonName gives it; -1 for an unknown name.
int ButtonCodeOf(const char *name);

// Back buttons at record offsets 14..19; the last two only on six-button models.
constexpr int kFirstBackButton = offsetof(PROFILE_INFO, buttonMap) + 14;
constexpr int kBackButtons = 6;
constexpr int kFourBackButtons = 4;
inline constexpr const char *kBackButtonNames[kBackButtons] = {"AGL1", "AGR1", "AGL2",
                                                               "AGR2", "AGL3", "AGR3"};

// Turbo bits of the turbo byte, in the turbo page's row order.
struct TurboButton
{
    const char *name;
    uint8_t bit;
};
constexpr int kTurboButtons = 8;
inline constexpr TurboButton kTurbo[kTurboButtons] = {
    {"A", 0x01},  {"B", 0x02},  {"X", 0x04},  {"Y", 0x08},
    {"RB", 0x20}, {"LB", 0x10}, {"LT", 0x40}, {"RT", 0x80},
};

// Stick curves: four (input, output) points in percent, as the device stores them.
using Curve = std::array<uint8_t, 8>;
enum CurvePreset
{
    NoPreset = 0,
    Linear = 1,
    Smooth = 2,
    Radical = 3,
};
constexpr int kCurvePresets = 3;
// Document names of Linear, Smooth and Radical.
inline constexpr const char *kCurvePresetNames[kCurvePresets] = {"linear", "smooth", "radical"};
// The points of a preset; all zeros for any other number.
Curve PresetCurve(int preset);
// Linear, Smooth or Radical when all eight bytes match one, else NoPreset.
int CurvePresetOf(const uint8_t *bytes);

// One light area's bytes, from the area's first byte.
enum LightByte
{
    kLightBrightness = 0,
    kLightSpeed = 1,
    kLightMode = 2,
    kLightRed = 3,
    kLightGreen = 4,
    kLightBlue = 5,
};
constexpr int LightAreaOffset(int area)
{
    return int(offsetof(PROFILE_INFO, lightAreas)) + PROFILE_INFO::kLightZoneBytes * area;
}
// Values 0..2 of the mode and speed bytes.
inline constexpr const char *kLightModeNames[3] = {"colour-cycle", "breathing", "static"};
inline constexpr const char *kLightSpeedNames[3] = {"slow", "medium", "fast"};

// Trigger lock levels 0..2 (the switch position and the index of the dead-zone arrays).
inline constexpr const char *kTriggerLevelNames[PROFILE_INFO::kTriggerLevels] = {"T1", "T2", "T3"};

} // namespace ProfileSettings
