#pragma once

#include <cstdint>

// Byte 4 of a command frame; a reply echoes the code of the command it answers.
namespace CommandCode {
enum Code : uint8_t
{
    kStartCalibration = 0x20,
    kEndCalibration = 0x30,
    kSetButtonMapping = 0xA1,
    kGetButtonMapping = 0xA2,
    kSetStickDeadZone = 0xA5,
    kGetStickDeadZone = 0xA6,
    kSetStickAxis = 0xA7,
    kGetStickAxis = 0xA8,
    kSetVibrationStrength = 0xA9,
    kGetVibrationStrength = 0xAA,
    kSetLight = 0xAD,
    kGetLight = 0xAE,
    kSetCurrentProfile = 0xB1,
    kGetCurrentProfile = 0xB2,
    kGetStatusByte = 0xB3,
    kSetTriggerDeadZone = 0xB4,
    kGetTriggerDeadZone = 0xB5,
    kGetTriggerLock = 0xB7,
    kSetTurbo = 0xB8,
    kGetTurbo = 0xB9,
    kSetStickCurve = 0xBA,
    kGetStickCurve = 0xBB,
    kEnterUpdateMode = 0xBC,
    kSetVibrationTest = 0xBD,
    kSetProfileName = 0xC0,
    kGetProfileName = 0xC1,
    kResetToDefault = 0xF1,
    kGetDeviceInfo = 0xFA,
    kSaveConfig = 0xFB,
};
} // namespace CommandCode
