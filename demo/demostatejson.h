#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <vector>

namespace ctrlsim {
class UpdatableDevice;
}

// The simulated devices' state as a script's `state` step writes it.
class DemoStateJson
{
public:
    // vid, pid, mode ("normal", "leaving" or "update") and frames (each frame's 64 bytes as
    // lower-case hex, since the device was created); in normal mode also activeProfile,
    // profiles and saved (three arrays of the record bytes), names, saveCount, resetCount,
    // calibrating and lastVibrationTest ([left, right]).
    static QJsonObject Device(ctrlsim::UpdatableDevice &device);
    // A list of Device() in the given order, indented.
    static QByteArray Devices(const std::vector<ctrlsim::UpdatableDevice *> &devices);
};
