// Writing a profile document: the named "settings" object of a record, the "unmapped" bytes
// and the whole document.
#include "app/portableprofile.h"
#include "app/portableprofile_p.h"

#include "protocol/profilesettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <utility>

namespace PS = ProfileSettings;
using namespace PortableProfileDetail;

namespace {

bool CheckProfileTexts(const PortableProfile &profile, QString &error)
{
    return CheckText(profile.name, QStringLiteral("name"), PortableProfile::kMaxNameBytes, 0,
                     error) &&
           CheckText(profile.firmware, QStringLiteral("firmware"), 0,
                     PortableProfile::kMaxFirmwareLength, error) &&
           CheckText(profile.modelName, QStringLiteral("model.name"), 0,
                     PortableProfile::kMaxModelNameLength, error);
}

// Builds the "settings" object from the covered bytes of a record.
class SettingsWriter
{
public:
    SettingsWriter(const PortableProfile &profile, const ModelFeatures &features)
        : m_record(profile.record), m_covered(profile.covered & ~MissingBytes(features)),
          m_carried(profile.carried), m_turbo(profile.turboCovered)
    {
    }

    bool Build(QJsonObject &settings)
    {
        settings = QJsonObject();
        QJsonObject section;
        if (!BackButtons(section))
            return false;
        Put(settings, "backButtons", section);
        QJsonArray lighting;
        if (!Lighting(lighting))
            return false;
        if (!lighting.isEmpty())
            settings.insert(QStringLiteral("lighting"), lighting);
        section = {};
        for (int side = 0; side < 2; ++side) {
            QJsonObject stick;
            if (!Stick(side, stick))
                return false;
            Put(section, kSides[side], stick);
        }
        Put(settings, "sticks", section);
        section = {};
        for (int side = 0; side < 2; ++side) {
            QJsonObject trigger;
            if (!Trigger(side, trigger))
                return false;
            Put(section, kSides[side], trigger);
        }
        Put(settings, "triggers", section);
        section = {};
        if (m_covered.test(kTurbo)) {
            for (const PS::TurboButton &button : PS::kTurbo)
                if (m_turbo & button.bit)
                    section.insert(Latin(button.name), (m_bytes[kTurbo] & button.bit) != 0);
        }
        Put(settings, "turbo", section);
        section = {};
        for (const Motor &motor : kMotors)
            if (!Percent(section, motor.key, motor.offset,
                         QStringLiteral("settings.vibration.%1").arg(Latin(motor.key))))
                return false;
        Put(settings, "vibration", section);
        return true;
    }

    QString error;

private:
    static void Put(QJsonObject &object, const char *key, const QJsonObject &section)
    {
        if (!section.isEmpty())
            object.insert(Latin(key), section);
    }

    bool Fail(const QString &sentence)
    {
        error = sentence;
        return false;
    }

    bool Range(int value, int high, const QString &path)
    {
        if (value <= high)
            return true;
        return Fail(QStringLiteral("%1 is %2; it must be 0 to %3.").arg(path).arg(value).arg(high));
    }

    bool Percent(QJsonObject &object, const char *key, int offset, const QString &path)
    {
        if (!m_covered.test(size_t(offset)))
            return true;
        if (!Range(m_bytes[offset], PS::kMaxPercent, path))
            return false;
        object.insert(Latin(key), int(m_bytes[offset]));
        return true;
    }

    bool Named(QJsonObject &object, const char *key, int offset, const QStringList &names,
               const QString &path)
    {
        if (!m_covered.test(size_t(offset)))
            return true;
        const int value = m_bytes[offset];
        if (value >= names.size())
            return Fail(QStringLiteral("%1 is %2; it must be 0 to %3 (%4).")
                            .arg(path)
                            .arg(value)
                            .arg(names.size() - 1)
                            .arg(names.join(QStringLiteral(", "))));
        object.insert(Latin(key), names.at(value));
        return true;
    }

    bool BackButtons(QJsonObject &section)
    {
        for (int i = 0; i < PS::kBackButtons; ++i) {
            const int offset = PS::kFirstBackButton + i;
            if (!m_covered.test(size_t(offset)))
                continue;
            const char *name = PS::ButtonName(m_bytes[offset]);
            if (!name)
                return Fail(QStringLiteral("Back button %1 holds code %2, which has no name.")
                                .arg(Latin(PS::kBackButtonNames[i]))
                                .arg(m_bytes[offset]));
            section.insert(Latin(PS::kBackButtonNames[i]), Latin(name));
        }
        return true;
    }

    bool Lighting(QJsonArray &lighting)
    {
        for (int area = 0; area < kAreas; ++area) {
            const int base = PS::LightAreaOffset(area);
            const QString path = QStringLiteral("settings.lighting[%1].").arg(lighting.size());
            QJsonObject light;
            if (!Percent(light, "brightness", base + PS::kLightBrightness, path + "brightness") ||
                !Named(light, "mode", base + PS::kLightMode, NameList(PS::kLightModeNames),
                       path + "mode") ||
                !Named(light, "speed", base + PS::kLightSpeed, NameList(PS::kLightSpeedNames),
                       path + "speed"))
                return false;
            if (All(m_covered, base + PS::kLightRed, 3))
                light.insert(QStringLiteral("colour"),
                             QStringLiteral("#%1%2%3")
                                 .arg(m_bytes[base + PS::kLightRed], 2, 16, QLatin1Char('0'))
                                 .arg(m_bytes[base + PS::kLightGreen], 2, 16, QLatin1Char('0'))
                                 .arg(m_bytes[base + PS::kLightBlue], 2, 16, QLatin1Char('0')));
            if (light.isEmpty())
                continue;
            light.insert(QStringLiteral("area"), area + 1);
            lighting.append(light);
        }
        return true;
    }

    bool Flag(QJsonObject &object, const char *key, int offset, const QString &path)
    {
        if (!m_covered.test(size_t(offset)))
            return true;
        if (m_bytes[offset] > 1)
            return Fail(
                QStringLiteral("%1 is %2; it must be 0 or 1.").arg(path).arg(m_bytes[offset]));
        object.insert(Latin(key), m_bytes[offset] == 1);
        return true;
    }

    bool Stick(int side, QJsonObject &stick)
    {
        const QString path = QStringLiteral("settings.sticks.%1.").arg(Latin(kSides[side]));
        if (!Flag(stick, "invertX", InvertX(side), path + "invertX") ||
            !Flag(stick, "invertY", InvertY(side), path + "invertY") ||
            !Percent(stick, "innerDeadZone", InnerDeadZone(side), path + "innerDeadZone") ||
            !Percent(stick, "outerDeadZone", OuterDeadZone(side), path + "outerDeadZone"))
            return false;
        const int curve = CurveOf(side);
        if (!All(m_covered, curve, 8))
            return true;
        const int preset = PS::CurvePresetOf(m_bytes + curve);
        if (preset != PS::NoPreset) {
            stick.insert(QStringLiteral("curve"), Latin(PS::kCurvePresetNames[preset - 1]));
            return true;
        }
        QJsonArray points;
        for (int p = 0; p < 4; ++p) {
            QJsonArray point;
            for (int k = 0; k < 2; ++k) {
                const int value = m_bytes[curve + 2 * p + k];
                if (!Range(value, PS::kMaxPercent,
                           QStringLiteral("%1curve[%2][%3]").arg(path).arg(p).arg(k)))
                    return false;
                point.append(value);
            }
            points.append(point);
        }
        stick.insert(QStringLiteral("curve"), points);
        return true;
    }

    bool Trigger(int side, QJsonObject &trigger)
    {
        const QString path = QStringLiteral("settings.triggers.%1.").arg(Latin(kSides[side]));
        if (m_carried.test(size_t(LockLevel(side)))) {
            const int lock = m_bytes[LockLevel(side)];
            if (!Range(lock, kLevels - 1, path + "lockLevel"))
                return false;
            trigger.insert(QStringLiteral("lockLevel"), Latin(PS::kTriggerLevelNames[lock]));
        }
        QJsonObject levels;
        for (int level = 0; level < kLevels; ++level) {
            const QString levelPath =
                QStringLiteral("%1levels.%2.").arg(path, Latin(PS::kTriggerLevelNames[level]));
            QJsonObject bounds;
            if (!Percent(bounds, "start", LevelStart(side, level), levelPath + "start") ||
                !Percent(bounds, "end", LevelEnd(side, level), levelPath + "end"))
                return false;
            Put(levels, PS::kTriggerLevelNames[level], bounds);
        }
        Put(trigger, "levels", levels);
        return true;
    }

    // A copy: the writer may be given a temporary profile.
    const PROFILE_INFO m_record;
    const uint8_t *const m_bytes = m_record.bytes();
    Bytes m_covered;
    Bytes m_carried;
    uint8_t m_turbo;
};

QJsonObject Unmapped(const PortableProfile &profile)
{
    const uint8_t *bytes = profile.record.bytes();
    QJsonObject unmapped;
    if (All(profile.carried, 0, kButtonMapOpaque)) {
        QJsonArray map;
        for (int i = 0; i < kButtonMapOpaque; ++i)
            map.append(int(bytes[i]));
        unmapped.insert(QStringLiteral("buttonMap"), map);
    }
    for (const auto &[key, offset] : kUnmappedBytes)
        if (profile.carried.test(size_t(offset)))
            unmapped.insert(Latin(key), int(bytes[offset]));
    return unmapped;
}

} // namespace

namespace PortableProfileJson {

PortableProfile FromRecord(const PROFILE_INFO &record, const QString &name)
{
    PortableProfile profile;
    profile.record = record;
    profile.name = name;
    profile.covered = SettingsBytes();
    profile.carried = CarriedBytes();
    return profile;
}

bool Settings(const PROFILE_INFO &record, const ModelFeatures &features, QJsonObject &settings,
              QString &error)
{
    SettingsWriter writer(FromRecord(record, QString()), features);
    if (writer.Build(settings))
        return true;
    error = writer.error;
    return false;
}

bool Write(const PortableProfile &profile, const ModelFeatures &features, QByteArray &json,
           QString &error)
{
    if (!CheckProfileTexts(profile, error))
        return false;
    SettingsWriter writer(profile, features);
    QJsonObject settings;
    if (!writer.Build(settings)) {
        error = writer.error;
        return false;
    }
    QJsonObject root;
    root.insert(QStringLiteral("format"), Latin(PortableProfile::kFormat));
    root.insert(QStringLiteral("version"), PortableProfile::kVersion);
    root.insert(QStringLiteral("name"), profile.name);
    root.insert(QStringLiteral("firmware"),
                profile.firmware.isEmpty() ? QJsonValue() : QJsonValue(profile.firmware));
    if (profile.vendorId == 0 && profile.productId == 0) {
        root.insert(QStringLiteral("model"), QJsonValue());
    } else {
        root.insert(QStringLiteral("model"),
                    QJsonObject{{QStringLiteral("name"), profile.modelName},
                                {QStringLiteral("productId"), Hex4(profile.productId)},
                                {QStringLiteral("vendorId"), Hex4(profile.vendorId)}});
    }
    root.insert(QStringLiteral("settings"), settings);
    const QJsonObject unmapped = Unmapped(profile);
    if (!unmapped.isEmpty())
        root.insert(QStringLiteral("unmapped"), unmapped);
    json = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return true;
}

} // namespace PortableProfileJson
