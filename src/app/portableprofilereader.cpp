// Reading a profile document: every key and value is checked, and the first fault becomes one
// plain sentence.
#include "app/portableprofile.h"
#include "app/portableprofile_p.h"

#include "protocol/profilesettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>

#include <cctype>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <utility>

namespace PS = ProfileSettings;
using namespace PortableProfileDetail;

namespace {

QString Join(std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *name : names)
        list << Latin(name);
    return list.join(QStringLiteral(", "));
}

// A value from the file, shortened and made printable so that the sentence stays one line.
QString Quote(const QString &text)
{
    constexpr int kShown = 40;
    QString shown;
    for (int i = 0; i < text.size() && i < kShown; ++i) {
        const QChar c = text.at(i);
        shown += c.unicode() < 0x20 || c.unicode() == 0x7F || c.isSurrogate() ? QChar(u'?') : c;
    }
    if (text.size() > kShown)
        shown += QStringLiteral("...");
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString TypeName(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("true or false");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("a list");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    default:
        return QStringLiteral("nothing");
    }
}

// Reads a document into a profile, checking every value; the first fault ends the read.
class DocumentReader
{
public:
    explicit DocumentReader(PortableProfile &profile) : m_profile(profile) {}

    bool Root(const QJsonObject &root)
    {
        if (!Keys(root, QString(),
                  {"firmware", "format", "model", "name", "settings", "unmapped", "version"}))
            return false;
        const QJsonValue name = root.value(QLatin1String("name"));
        if (!name.isUndefined() && (!Text(name, QStringLiteral("name"), m_profile.name) ||
                                    !CheckText(m_profile.name, QStringLiteral("name"),
                                               PortableProfile::kMaxNameBytes, 0, error)))
            return false;
        const QJsonValue firmware = root.value(QLatin1String("firmware"));
        if (!firmware.isUndefined() && !firmware.isNull() &&
            (!Text(firmware, QStringLiteral("firmware"), m_profile.firmware) ||
             !CheckText(m_profile.firmware, QStringLiteral("firmware"), 0,
                        PortableProfile::kMaxFirmwareLength, error)))
            return false;
        const QJsonValue model = root.value(QLatin1String("model"));
        if (!model.isUndefined() && !model.isNull() && !Model(model))
            return false;
        const QJsonValue settings = root.value(QLatin1String("settings"));
        if (!settings.isUndefined() && !Settings(settings))
            return false;
        const QJsonValue unmapped = root.value(QLatin1String("unmapped"));
        return unmapped.isUndefined() || Unmapped(unmapped);
    }

    QString error;

private:
    bool Fail(const QString &sentence)
    {
        error = sentence;
        return false;
    }

    bool Keys(const QJsonObject &object, const QString &path,
              std::initializer_list<const char *> known)
    {
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            bool found = false;
            for (const char *key : known)
                found = found || it.key() == QLatin1String(key);
            if (!found)
                return Fail(QStringLiteral("%1 has an unknown key %2; the known keys are %3.")
                                .arg(path.isEmpty() ? QStringLiteral("The profile") : path,
                                     Quote(it.key()), Join(known)));
        }
        return true;
    }

    bool Object(const QJsonValue &value, const QString &path, QJsonObject &object)
    {
        if (!value.isObject())
            return Fail(QStringLiteral("%1 must be an object, not %2.").arg(path, TypeName(value)));
        object = value.toObject();
        return true;
    }

    bool Text(const QJsonValue &value, const QString &path, QString &text)
    {
        if (!value.isString())
            return Fail(QStringLiteral("%1 must be a string, not %2.").arg(path, TypeName(value)));
        text = value.toString();
        return true;
    }

    bool Integer(const QJsonValue &value, const QString &path, int low, int high, int &result)
    {
        if (!value.isDouble())
            return Fail(QStringLiteral("%1 must be a whole number from %2 to %3, not %4.")
                            .arg(path)
                            .arg(low)
                            .arg(high)
                            .arg(TypeName(value)));
        const double number = value.toDouble();
        if (!std::isfinite(number) || number != std::floor(number))
            return Fail(QStringLiteral("%1 is %2; it must be a whole number.")
                            .arg(path, QString::number(number)));
        if (number < low || number > high)
            return Fail(QStringLiteral("%1 is %2; it must be %3 to %4.")
                            .arg(path, QString::number(number))
                            .arg(low)
                            .arg(high));
        result = int(number);
        return true;
    }

    // A value of 0..N-1 given by its name.
    bool Name(const QJsonValue &value, const QString &path, const QStringList &names, int &index)
    {
        QString text;
        if (!Text(value, path, text))
            return false;
        index = names.indexOf(text);
        if (index < 0)
            return Fail(QStringLiteral("%1 is %2; it must be one of %3.")
                            .arg(path, Quote(text), names.join(QStringLiteral(", "))));
        return true;
    }

    bool Flag(const QJsonValue &value, const QString &path, bool &flag)
    {
        if (!value.isBool())
            return Fail(
                QStringLiteral("%1 must be true or false, not %2.").arg(path, TypeName(value)));
        flag = value.toBool();
        return true;
    }

    void Store(int offset, int value)
    {
        m_profile.record.bytes()[offset] = uint8_t(value);
        m_profile.covered.set(size_t(offset));
    }

    void Carry(int offset, int value)
    {
        m_profile.record.bytes()[offset] = uint8_t(value);
        m_profile.carried.set(size_t(offset));
    }

    // An optional percent field of object stored at offset.
    bool Percent(const QJsonObject &object, const char *key, const QString &path, int offset)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return true;
        int number = 0;
        if (!Integer(value, path + QLatin1String(key), 0, PS::kMaxPercent, number))
            return false;
        Store(offset, number);
        return true;
    }

    bool Hex4(const QJsonValue &value, const QString &path, uint16_t &id)
    {
        QString text;
        if (!Text(value, path, text))
            return false;
        bool ok = text.size() == 4;
        for (QChar c : text)
            ok = ok && c.unicode() < 0x80 && std::isxdigit(c.unicode());
        if (!ok)
            return Fail(QStringLiteral("%1 is %2; it must be four hex digits such as \"35C7\".")
                            .arg(path, Quote(text)));
        id = uint16_t(text.toUInt(nullptr, 16));
        return true;
    }

    bool Model(const QJsonValue &value)
    {
        QJsonObject model;
        if (!Object(value, QStringLiteral("model"), model) ||
            !Keys(model, QStringLiteral("model"), {"name", "productId", "vendorId"}))
            return false;
        for (const char *key : {"name", "productId", "vendorId"})
            if (!model.contains(QLatin1String(key)))
                return Fail(QStringLiteral("model has no %1.").arg(Latin(key)));
        return Text(model.value(QLatin1String("name")), QStringLiteral("model.name"),
                    m_profile.modelName) &&
               CheckText(m_profile.modelName, QStringLiteral("model.name"), 0,
                         PortableProfile::kMaxModelNameLength, error) &&
               Hex4(model.value(QLatin1String("productId")), QStringLiteral("model.productId"),
                    m_profile.productId) &&
               Hex4(model.value(QLatin1String("vendorId")), QStringLiteral("model.vendorId"),
                    m_profile.vendorId);
    }

    bool Settings(const QJsonValue &value)
    {
        QJsonObject settings;
        if (!Object(value, QStringLiteral("settings"), settings) ||
            !Keys(settings, QStringLiteral("settings"),
                  {"backButtons", "lighting", "sticks", "triggers", "turbo", "vibration"}))
            return false;
        QJsonObject section;
        const auto optional = [&settings](const char *key) {
            return settings.value(QLatin1String(key));
        };
        if (!optional("backButtons").isUndefined() && !BackButtons(optional("backButtons")))
            return false;
        if (!optional("lighting").isUndefined() && !Lighting(optional("lighting")))
            return false;
        for (const char *key : {"sticks", "triggers"}) {
            if (optional(key).isUndefined())
                continue;
            const QString path = QStringLiteral("settings.") + Latin(key);
            if (!Object(optional(key), path, section) || !Keys(section, path, {"left", "right"}))
                return false;
            for (int side = 0; side < 2; ++side) {
                const QJsonValue sideValue = section.value(QLatin1String(kSides[side]));
                if (sideValue.isUndefined())
                    continue;
                const QString sidePath = path + QLatin1Char('.') + Latin(kSides[side]);
                if (!(key == std::string_view("sticks") ? Stick(sideValue, sidePath, side)
                                                        : Trigger(sideValue, sidePath, side)))
                    return false;
            }
        }
        if (!optional("turbo").isUndefined() && !Turbo(optional("turbo")))
            return false;
        return optional("vibration").isUndefined() || Vibration(optional("vibration"));
    }

    bool BackButtons(const QJsonValue &value)
    {
        const QString path = QStringLiteral("settings.backButtons");
        QJsonObject buttons;
        if (!Object(value, path, buttons) ||
            !Keys(buttons, path, {"AGL1", "AGR1", "AGL2", "AGR2", "AGL3", "AGR3"}))
            return false;
        QStringList names;
        for (const PS::ButtonCode &code : PS::kButtonCodes)
            names << Latin(code.name);
        names << Latin(PS::kNoButtonName);
        for (int i = 0; i < PS::kBackButtons; ++i) {
            const QJsonValue name = buttons.value(QLatin1String(PS::kBackButtonNames[i]));
            if (name.isUndefined())
                continue;
            int index = 0;
            if (!Name(name, path + QLatin1Char('.') + Latin(PS::kBackButtonNames[i]), names, index))
                return false;
            // The names list the codes in table order, then "None".
            Store(PS::kFirstBackButton + i, index < int(std::size(PS::kButtonCodes))
                                                ? PS::kButtonCodes[index].code
                                                : PS::kNoButton);
        }
        return true;
    }

    bool Colour(const QJsonValue &value, const QString &path, int base)
    {
        QString text;
        if (!Text(value, path, text))
            return false;
        bool ok = text.size() == 7 && text.at(0) == QLatin1Char('#');
        for (int i = 1; ok && i < 7; ++i)
            ok = text.at(i).unicode() < 0x80 && std::isxdigit(text.at(i).unicode());
        if (!ok)
            return Fail(QStringLiteral("%1 is %2; it must be #rrggbb in hex, such as \"#ff8000\".")
                            .arg(path, Quote(text)));
        for (int k = 0; k < 3; ++k)
            Store(base + PS::kLightRed + k, text.midRef(1 + 2 * k, 2).toInt(nullptr, 16));
        return true;
    }

    bool Lighting(const QJsonValue &value)
    {
        if (!value.isArray())
            return Fail(
                QStringLiteral("settings.lighting must be a list, not %1.").arg(TypeName(value)));
        const QJsonArray areas = value.toArray();
        if (areas.size() > kAreas)
            return Fail(QStringLiteral("settings.lighting has %1 areas; a controller has %2.")
                            .arg(areas.size())
                            .arg(kAreas));
        bool seen[kAreas] = {};
        for (int i = 0; i < areas.size(); ++i) {
            const QString path = QStringLiteral("settings.lighting[%1]").arg(i);
            QJsonObject light;
            if (!Object(areas.at(i), path, light) ||
                !Keys(light, path, {"area", "brightness", "colour", "mode", "speed"}))
                return false;
            if (!light.contains(QLatin1String("area")))
                return Fail(QStringLiteral("%1 has no area.").arg(path));
            int area = 0;
            if (!Integer(light.value(QLatin1String("area")), path + QStringLiteral(".area"), 1,
                         kAreas, area))
                return false;
            if (seen[area - 1])
                return Fail(QStringLiteral("%1 repeats area %2.").arg(path).arg(area));
            seen[area - 1] = true;
            const int base = PS::LightAreaOffset(area - 1);
            if (!Percent(light, "brightness", path + QLatin1Char('.'), base + PS::kLightBrightness))
                return false;
            int index = 0;
            const QJsonValue mode = light.value(QLatin1String("mode"));
            if (!mode.isUndefined()) {
                if (!Name(mode, path + QStringLiteral(".mode"), NameList(PS::kLightModeNames),
                          index))
                    return false;
                Store(base + PS::kLightMode, index);
            }
            const QJsonValue speed = light.value(QLatin1String("speed"));
            if (!speed.isUndefined()) {
                if (!Name(speed, path + QStringLiteral(".speed"), NameList(PS::kLightSpeedNames),
                          index))
                    return false;
                Store(base + PS::kLightSpeed, index);
            }
            const QJsonValue colour = light.value(QLatin1String("colour"));
            if (!colour.isUndefined() && !Colour(colour, path + QStringLiteral(".colour"), base))
                return false;
        }
        return true;
    }

    bool Curve(const QJsonValue &value, const QString &path, int offset)
    {
        if (value.isString()) {
            int index = 0;
            if (!Name(value, path, NameList(PS::kCurvePresetNames), index))
                return false;
            const PS::Curve points = PS::PresetCurve(index + 1);
            for (int k = 0; k < 8; ++k)
                Store(offset + k, points[size_t(k)]);
            return true;
        }
        const QString shape =
            QStringLiteral("%1 must be linear, smooth, radical or a list of four [x, y] points")
                .arg(path);
        if (!value.isArray() || value.toArray().size() != 4)
            return Fail(shape + QLatin1Char('.'));
        const QJsonArray points = value.toArray();
        for (int p = 0; p < 4; ++p) {
            const QJsonArray point = points.at(p).toArray();
            if (!points.at(p).isArray() || point.size() != 2)
                return Fail(shape + QStringLiteral("; point %1 is not [x, y].").arg(p));
            for (int k = 0; k < 2; ++k) {
                int number = 0;
                if (!Integer(point.at(k), QStringLiteral("%1[%2][%3]").arg(path).arg(p).arg(k), 0,
                             PS::kMaxPercent, number))
                    return false;
                Store(offset + 2 * p + k, number);
            }
        }
        return true;
    }

    bool Stick(const QJsonValue &value, const QString &path, int side)
    {
        QJsonObject stick;
        if (!Object(value, path, stick) ||
            !Keys(stick, path, {"curve", "innerDeadZone", "invertX", "invertY", "outerDeadZone"}))
            return false;
        const QString prefix = path + QLatin1Char('.');
        for (const auto &[key, offset] :
             {std::pair<const char *, int>{"invertX", InvertX(side)}, {"invertY", InvertY(side)}}) {
            const QJsonValue flag = stick.value(QLatin1String(key));
            if (flag.isUndefined())
                continue;
            bool on = false;
            if (!Flag(flag, prefix + Latin(key), on))
                return false;
            Store(offset, on ? 1 : 0);
        }
        if (!Percent(stick, "innerDeadZone", prefix, InnerDeadZone(side)) ||
            !Percent(stick, "outerDeadZone", prefix, OuterDeadZone(side)))
            return false;
        const QJsonValue curve = stick.value(QLatin1String("curve"));
        return curve.isUndefined() || Curve(curve, prefix + QStringLiteral("curve"), CurveOf(side));
    }

    bool Trigger(const QJsonValue &value, const QString &path, int side)
    {
        QJsonObject trigger;
        if (!Object(value, path, trigger) || !Keys(trigger, path, {"levels", "lockLevel"}))
            return false;
        const QStringList levelNames = NameList(PS::kTriggerLevelNames);
        const QJsonValue lock = trigger.value(QLatin1String("lockLevel"));
        if (!lock.isUndefined()) {
            int level = 0;
            if (!Name(lock, path + QStringLiteral(".lockLevel"), levelNames, level))
                return false;
            Carry(LockLevel(side), level);
        }
        const QJsonValue levelsValue = trigger.value(QLatin1String("levels"));
        if (levelsValue.isUndefined())
            return true;
        const QString levelsPath = path + QStringLiteral(".levels");
        QJsonObject levels;
        if (!Object(levelsValue, levelsPath, levels) ||
            !Keys(levels, levelsPath, {"T1", "T2", "T3"}))
            return false;
        for (int level = 0; level < kLevels; ++level) {
            const QJsonValue boundsValue = levels.value(levelNames.at(level));
            if (boundsValue.isUndefined())
                continue;
            const QString levelPath = levelsPath + QLatin1Char('.') + levelNames.at(level);
            QJsonObject bounds;
            if (!Object(boundsValue, levelPath, bounds) ||
                !Keys(bounds, levelPath, {"end", "start"}) ||
                !Percent(bounds, "start", levelPath + QLatin1Char('.'), LevelStart(side, level)) ||
                !Percent(bounds, "end", levelPath + QLatin1Char('.'), LevelEnd(side, level)))
                return false;
        }
        return true;
    }

    bool Turbo(const QJsonValue &value)
    {
        const QString path = QStringLiteral("settings.turbo");
        QJsonObject turbo;
        if (!Object(value, path, turbo) ||
            !Keys(turbo, path, {"A", "B", "X", "Y", "RB", "LB", "LT", "RT"}))
            return false;
        uint8_t named = 0;
        uint8_t on = 0;
        for (const PS::TurboButton &button : PS::kTurbo) {
            const QJsonValue flag = turbo.value(QLatin1String(button.name));
            if (flag.isUndefined())
                continue;
            bool set = false;
            if (!Flag(flag, path + QLatin1Char('.') + Latin(button.name), set))
                return false;
            named |= button.bit;
            on |= set ? button.bit : 0;
        }
        // An empty turbo object sets nothing.
        if (named) {
            Store(kTurbo, on);
            m_profile.turboCovered = named;
        }
        return true;
    }

    bool Vibration(const QJsonValue &value)
    {
        const QString path = QStringLiteral("settings.vibration");
        QJsonObject vibration;
        if (!Object(value, path, vibration) ||
            !Keys(vibration, path, {"leftMotor", "leftTrigger", "rightMotor", "rightTrigger"}))
            return false;
        for (const Motor &motor : kMotors)
            if (!Percent(vibration, motor.key, path + QLatin1Char('.'), motor.offset))
                return false;
        return true;
    }

    bool Unmapped(const QJsonValue &value)
    {
        const QString path = QStringLiteral("unmapped");
        QJsonObject unmapped;
        if (!Object(value, path, unmapped) ||
            !Keys(unmapped, path, {"buttonMap", "currentProfile", "curveSide", "status"}))
            return false;
        const QJsonValue map = unmapped.value(QLatin1String("buttonMap"));
        if (!map.isUndefined()) {
            if (!map.isArray() || map.toArray().size() != kButtonMapOpaque)
                return Fail(QStringLiteral("unmapped.buttonMap must be a list of %1 numbers.")
                                .arg(kButtonMapOpaque));
            const QJsonArray bytes = map.toArray();
            for (int i = 0; i < kButtonMapOpaque; ++i) {
                int byte = 0;
                if (!Integer(bytes.at(i), QStringLiteral("unmapped.buttonMap[%1]").arg(i), 0, 255,
                             byte))
                    return false;
                Carry(i, byte);
            }
        }
        for (const auto &[key, offset] : kUnmappedBytes) {
            const QJsonValue byteValue = unmapped.value(QLatin1String(key));
            if (byteValue.isUndefined())
                continue;
            int byte = 0;
            if (!Integer(byteValue, path + QLatin1Char('.') + Latin(key), 0, 255, byte))
                return false;
            Carry(offset, byte);
        }
        return true;
    }

    PortableProfile &m_profile;
};

} // namespace

namespace PortableProfileJson {

bool Read(const QByteArray &bytes, PortableProfile &profile, QString &error)
{
    profile = PortableProfile();
    profile.turboCovered = 0;
    if (bytes.size() > PortableProfile::kMaxFileBytes) {
        error = QStringLiteral("The profile is larger than %1 bytes, the most a profile may be.")
                    .arg(PortableProfile::kMaxFileBytes);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("The profile is not valid JSON: %1 at byte %2.")
                    .arg(parseError.errorString())
                    .arg(parseError.offset);
        return false;
    }
    if (!document.isObject()) {
        error = QStringLiteral("The profile must be a JSON object, not a list.");
        return false;
    }
    const QJsonObject root = document.object();
    const QJsonValue format = root.value(QLatin1String("format"));
    if (format.toString() != Latin(PortableProfile::kFormat)) {
        error = QStringLiteral("This is not a Quorel Oradesk profile: format must be \"%1\".")
                    .arg(Latin(PortableProfile::kFormat));
        return false;
    }
    const QJsonValue version = root.value(QLatin1String("version"));
    const double number = version.toDouble();
    if (!version.isDouble() || !std::isfinite(number) || number != std::floor(number)) {
        error = QStringLiteral("The profile's version must be a whole number.");
        return false;
    }
    if (number < 1) {
        error = QStringLiteral("The profile's version is %1; versions start at 1.")
                    .arg(QString::number(number));
        return false;
    }
    if (number > PortableProfile::kVersion) {
        error =
            QStringLiteral("The profile is format version %1; this program reads up to version %2.")
                .arg(QString::number(number))
                .arg(PortableProfile::kVersion);
        return false;
    }
    DocumentReader reader(profile);
    if (!reader.Root(root)) {
        error = reader.error;
        return false;
    }
    if (!profile.covered.test(kTurbo))
        profile.turboCovered = 0xFF;
    return true;
}

} // namespace PortableProfileJson
