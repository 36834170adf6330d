#include "profilesettings.h"

#include <algorithm>
#include <cstring>

namespace ProfileSettings {

const char *ButtonName(uint8_t code)
{
    if (code == kNoButton)
        return kNoButtonName;
    for (const ButtonCode &c : kButtonCodes)
        if (c.code == code)
            return c.name;
    return nullptr;
}

int ButtonCodeOf(const char *name)
{
    if (std::strcmp(name, kNoButtonName) == 0)
        return kNoButton;
    for (const ButtonCode &c : kButtonCodes)
        if (std::strcmp(c.name, name) == 0)
            return c.code;
    return -1;
}

Curve PresetCurve(int preset)
{
    switch (preset) {
    case Linear:
        return {20, 20, 40, 40, 60, 60, 80, 80};
    case Smooth:
        return {35, 9, 46, 31, 54, 69, 65, 91};
    case Radical:
        return {8, 32, 26, 46, 72, 55, 92, 69};
    default:
        return {};
    }
}

int CurvePresetOf(const uint8_t *bytes)
{
    for (int preset : {Linear, Smooth, Radical}) {
        const Curve points = PresetCurve(preset);
        if (std::equal(points.begin(), points.end(), bytes))
            return preset;
    }
    return NoPreset;
}

} // namespace ProfileSettings
