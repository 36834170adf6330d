// Internal helpers shared by the profile document writer, reader and converters: record
// offsets, byte sets and text checks.
#pragma once

#include "app/portableprofile.h"
#include "device/devicecatalogue.h"

#include <QString>
#include <QStringList>

#include <cstddef>

namespace PortableProfileDetail {

using Bytes = PortableProfile::Bytes;

constexpr int kButtonMapOpaque = 14; // record bytes 0..13 are kept as read
constexpr int kTurbo = offsetof(PROFILE_INFO, turboMask);
constexpr int kStatus = offsetof(PROFILE_INFO, statusByte);
constexpr int kCurrentProfile = offsetof(PROFILE_INFO, currentProfile);
constexpr int kCurveSide = offsetof(PROFILE_INFO, stickCurveSide);

// The single record bytes "unmapped" carries, by key.
struct UnmappedByte
{
    const char *key;
    int offset;
};
inline constexpr UnmappedByte kUnmappedBytes[] = {
    {"currentProfile", kCurrentProfile}, {"curveSide", kCurveSide}, {"status", kStatus}};
constexpr int kLevels = PROFILE_INFO::kTriggerLevels;
constexpr int kAreas = PROFILE_INFO::kLightZones;

inline const char *const kSides[2] = {"left", "right"};

// Record offsets of one side's stick and trigger settings (0 left, 1 right).
inline int InvertX(int side)
{
    return offsetof(PROFILE_INFO, stickReverseLX) + 2 * side;
}
inline int InvertY(int side)
{
    return InvertX(side) + 1;
}
inline int InnerDeadZone(int side)
{
    return offsetof(PROFILE_INFO, stickInsideL) + 2 * side;
}
inline int OuterDeadZone(int side)
{
    return InnerDeadZone(side) + 1;
}
inline int CurveOf(int side)
{
    return offsetof(PROFILE_INFO, stickCurveL) + 8 * side;
}
inline int LockLevel(int side)
{
    return offsetof(PROFILE_INFO, triggerLockL) + side;
}
inline int LevelStart(int side, int level)
{
    return (side ? offsetof(PROFILE_INFO, triggerRStart) : offsetof(PROFILE_INFO, triggerLStart)) +
           level;
}
inline int LevelEnd(int side, int level)
{
    return (side ? offsetof(PROFILE_INFO, triggerREnd) : offsetof(PROFILE_INFO, triggerLEnd)) +
           level;
}

struct Motor
{
    const char *key;
    int offset;
};
inline constexpr Motor kMotors[] = {
    {"leftMotor", offsetof(PROFILE_INFO, motorVibrationL)},
    {"leftTrigger", offsetof(PROFILE_INFO, triggerVibrationL)},
    {"rightMotor", offsetof(PROFILE_INFO, motorVibrationR)},
    {"rightTrigger", offsetof(PROFILE_INFO, triggerVibrationR)},
};

inline void Set(Bytes &bits, int offset, int count = 1)
{
    for (int i = 0; i < count; ++i)
        bits.set(size_t(offset + i));
}

inline bool All(const Bytes &bits, int offset, int count = 1)
{
    for (int i = 0; i < count; ++i)
        if (!bits.test(size_t(offset + i)))
            return false;
    return true;
}

// Bytes of the features a model may lack.
Bytes ExtraBackButtonBytes();
Bytes ExtraLevelBytes();
Bytes LightingBytes();

// Bytes a model lacks.
Bytes MissingBytes(const ModelFeatures &features);

inline QString Latin(const char *text)
{
    return QString::fromLatin1(text);
}

template <size_t N> inline QStringList NameList(const char *const (&names)[N])
{
    QStringList list;
    for (const char *name : names)
        list << Latin(name);
    return list;
}

inline QString Hex4(uint16_t id)
{
    return DeviceCatalogue::PidText(id);
}

// Text kept in a document: no control characters, no broken UTF-16.
bool IsPlainText(const QString &text);

// The checks shared by the writer and the reader for the free texts.
bool CheckText(const QString &text, const QString &path, int maxBytes, int maxLength,
               QString &error);

} // namespace PortableProfileDetail
