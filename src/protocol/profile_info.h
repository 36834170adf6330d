#pragma once

#include <QMetaType>
#include <cstddef>
#include <cstdint>

// One profile's configuration as the controller stores it: 90 bytes, fields back to back.
// The same layout is used in memory, in profile files and, field by field, in the commands.
#pragma pack(push, 1)
struct PROFILE_INFO
{
    uint8_t buttonMap[20];
    uint8_t turboMask;
    uint8_t statusByte;
    uint8_t currentProfile;
    uint8_t stickReverseLX;
    uint8_t stickReverseLY;
    uint8_t stickReverseRX;
    uint8_t stickReverseRY;
    uint8_t stickInsideL;
    uint8_t stickOutsideL;
    uint8_t stickInsideR;
    uint8_t stickOutsideR;
    uint8_t stickCurveSide;
    uint8_t stickCurveL[8];
    uint8_t stickCurveR[8];
    uint8_t triggerLockL;
    uint8_t triggerLockR;
    uint8_t triggerLStart[3];
    uint8_t triggerLEnd[3];
    uint8_t triggerRStart[3];
    uint8_t triggerREnd[3];
    uint8_t triggerVibrationL;
    uint8_t triggerVibrationR;
    uint8_t motorVibrationL;
    uint8_t motorVibrationR;
    uint8_t lightAreas[24];

    static constexpr int kSize = 90;
    static constexpr int kLightZones = 4;
    static constexpr int kLightZoneBytes = 6;
    static constexpr int kTriggerLevels = 3;

    const uint8_t *bytes() const { return reinterpret_cast<const uint8_t *>(this); }
    uint8_t *bytes() { return reinterpret_cast<uint8_t *>(this); }
};
#pragma pack(pop)

static_assert(sizeof(PROFILE_INFO) == PROFILE_INFO::kSize, "profile record must be 90 bytes");
static_assert(offsetof(PROFILE_INFO, turboMask) == 20);
static_assert(offsetof(PROFILE_INFO, statusByte) == 21);
static_assert(offsetof(PROFILE_INFO, currentProfile) == 22);
static_assert(offsetof(PROFILE_INFO, stickReverseLX) == 23);
static_assert(offsetof(PROFILE_INFO, stickReverseRY) == 26);
static_assert(offsetof(PROFILE_INFO, stickInsideL) == 27);
static_assert(offsetof(PROFILE_INFO, stickOutsideR) == 30);
static_assert(offsetof(PROFILE_INFO, stickCurveSide) == 31);
static_assert(offsetof(PROFILE_INFO, stickCurveL) == 32);
static_assert(offsetof(PROFILE_INFO, stickCurveR) == 40);
static_assert(offsetof(PROFILE_INFO, triggerLockL) == 48);
static_assert(offsetof(PROFILE_INFO, triggerLockR) == 49);
static_assert(offsetof(PROFILE_INFO, triggerLStart) == 50);
static_assert(offsetof(PROFILE_INFO, triggerLEnd) == 53);
static_assert(offsetof(PROFILE_INFO, triggerRStart) == 56);
static_assert(offsetof(PROFILE_INFO, triggerREnd) == 59);
static_assert(offsetof(PROFILE_INFO, triggerVibrationL) == 62);
static_assert(offsetof(PROFILE_INFO, motorVibrationR) == 65);
static_assert(offsetof(PROFILE_INFO, lightAreas) == 66);

Q_DECLARE_METATYPE(PROFILE_INFO)
