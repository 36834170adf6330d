#pragma once

#include <cstdint>

// Command codes (byte 4 of a frame).
namespace ctrlsim::cmd {

// Writes: no reply.
constexpr uint8_t WriteButtons = 0xA1;
constexpr uint8_t WriteDeadZones = 0xA5;
constexpr uint8_t WriteStickReverse = 0xA7;
constexpr uint8_t WriteVibration = 0xA9;
constexpr uint8_t WriteLighting = 0xAD;
constexpr uint8_t WriteTriggers = 0xB4;
constexpr uint8_t WriteTurbo = 0xB8;
constexpr uint8_t WriteCurve = 0xBA;
constexpr uint8_t EnterUpdateMode = 0xBC;
constexpr uint8_t VibrationTest = 0xBD;
constexpr uint8_t WriteName = 0xC0;
constexpr uint8_t FactoryReset = 0xF1;
constexpr uint8_t SaveConfig = 0xFB;
constexpr uint8_t CalibrationStart = 0x20; // with byte 5 = 0x22
constexpr uint8_t CalibrationStop = 0x30;  // with byte 5 = 0x32

// Reads: one reply with the same code.
constexpr uint8_t ReadButtons = 0xA2;
constexpr uint8_t ReadDeadZones = 0xA6;
constexpr uint8_t ReadStickReverse = 0xA8;
constexpr uint8_t ReadVibration = 0xAA;
constexpr uint8_t ReadLighting = 0xAE;
constexpr uint8_t SetCurrentProfile = 0xB1;
constexpr uint8_t ReadCurrentProfile = 0xB2;
constexpr uint8_t ReadStatus = 0xB3;
constexpr uint8_t ReadTriggers = 0xB5;
constexpr uint8_t ReadTriggerLock = 0xB7;
constexpr uint8_t ReadTurbo = 0xB9;
constexpr uint8_t ReadCurve = 0xBB;
constexpr uint8_t ReadName = 0xC1;
constexpr uint8_t ReadIds = 0xFA;

} // namespace ctrlsim::cmd
