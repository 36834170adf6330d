#include "app/portableprofile.h"
#include "app/profilefiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <cstring>
#include <set>

namespace {

// Written by hand from the document layout, not by the code under test.
const QString kGolden = QStringLiteral(ORADESK_SOURCE_DIR "/tests/data/portable/");

using Offsets = std::set<int>;

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray Golden(const QString &name)
{
    return ReadAll(kGolden + name + ".json");
}

QByteArray RecordBytes(const PROFILE_INFO &record)
{
    return QByteArray(reinterpret_cast<const char *>(record.bytes()), PROFILE_INFO::kSize);
}

Offsets Range(int first, int count)
{
    Offsets offsets;
    for (int i = first; i < first + count; ++i)
        offsets.insert(i);
    return offsets;
}

Offsets operator+(Offsets a, const Offsets &b)
{
    a.insert(b.begin(), b.end());
    return a;
}

// Record bytes a document carries but never sends: opaque mapping bytes, status, current
// profile, curve side and the two lock levels.
const Offsets kCarried = Range(0, 14) + Offsets{21, 22, 31, 48, 49};
const Offsets kExtraBackButtons = {18, 19};
const Offsets kExtraLevels = {51, 52, 54, 55, 57, 58, 60, 61};
const Offsets kLighting = Range(66, 24);

Offsets Missing(const ModelFeatures &features)
{
    Offsets missing;
    if (!features.sixBackButtons)
        missing = missing + kExtraBackButtons;
    if (!features.triggerLevels)
        missing = missing + kExtraLevels;
    if (!features.lighting)
        missing = missing + kLighting;
    return missing;
}

Offsets Covered(const ModelFeatures &features)
{
    const Offsets skip = kCarried + Missing(features);
    Offsets covered;
    for (int i = 0; i < PROFILE_INFO::kSize; ++i)
        if (!skip.count(i))
            covered.insert(i);
    return covered;
}

Offsets OffsetsOf(const PortableProfile::Bytes &bits)
{
    Offsets offsets;
    for (int i = 0; i < PROFILE_INFO::kSize; ++i)
        if (bits.test(size_t(i)))
            offsets.insert(i);
    return offsets;
}

template <size_t N> void Put(uint8_t (&field)[N], std::initializer_list<int> values)
{
    size_t i = 0;
    for (int value : values)
        field[i++] = uint8_t(value);
}

void PutLight(PROFILE_INFO &record, int area, std::initializer_list<int> values)
{
    int k = 0;
    for (int value : values)
        record.lightAreas[PROFILE_INFO::kLightZoneBytes * area + k++] = uint8_t(value);
}

PROFILE_INFO VexalonProRecord()
{
    PROFILE_INFO r{};
    Put(r.buttonMap,
        {7, 0, 255, 18, 19, 20, 21, 22, 23, 32, 33, 34, 35, 99, 20, 64, 40, 37, 22, 18});
    r.turboMask = 0x92;
    r.statusByte = 5;
    r.currentProfile = 2;
    r.stickReverseLX = 1;
    r.stickReverseRY = 1;
    r.stickInsideL = 5;
    r.stickOutsideL = 90;
    r.stickInsideR = 12;
    r.stickOutsideR = 95;
    r.stickCurveSide = 3;
    Put(r.stickCurveL, {35, 9, 46, 31, 54, 69, 65, 91});
    Put(r.stickCurveR, {1, 2, 30, 40, 60, 70, 90, 100});
    r.triggerLockL = 1;
    r.triggerLockR = 2;
    Put(r.triggerLStart, {0, 10, 20});
    Put(r.triggerLEnd, {100, 90, 80});
    Put(r.triggerRStart, {5, 15, 25});
    Put(r.triggerREnd, {95, 85, 75});
    r.triggerVibrationL = 30;
    r.triggerVibrationR = 40;
    r.motorVibrationL = 50;
    r.motorVibrationR = 60;
    PutLight(r, 0, {100, 0, 0, 0, 128, 0});
    PutLight(r, 1, {75, 1, 1, 255, 0, 16});
    PutLight(r, 2, {50, 2, 2, 0x12, 0xab, 0xef});
    PutLight(r, 3, {0, 1, 2, 255, 255, 255});
    return r;
}

// What the model lacks holds values no document could name: the writer must not look at them.
PROFILE_INFO VexalonRecord()
{
    PROFILE_INFO r{};
    Put(r.buttonMap, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 39, 38, 32, 35, 99, 250});
    r.turboMask = 0x45;
    r.currentProfile = 1;
    r.stickReverseLY = 1;
    r.stickReverseRX = 1;
    r.stickOutsideL = 100;
    r.stickInsideR = 33;
    r.stickOutsideR = 66;
    r.stickCurveSide = 1;
    Put(r.stickCurveL, {8, 32, 26, 46, 72, 55, 92, 69});
    Put(r.stickCurveR, {0, 0, 25, 50, 75, 50, 100, 100});
    r.triggerLockR = 1;
    Put(r.triggerLStart, {1, 2, 3});
    Put(r.triggerLEnd, {97, 98, 99});
    Put(r.triggerRStart, {10, 20, 30});
    Put(r.triggerREnd, {40, 50, 60});
    r.triggerVibrationR = 99;
    r.motorVibrationL = 25;
    r.motorVibrationR = 75;
    std::memset(r.lightAreas, 200, sizeof r.lightAreas);
    return r;
}

PROFILE_INFO FendrixRecord()
{
    PROFILE_INFO r{};
    Put(r.buttonMap, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 18, 19, 33, 34, 21, 23});
    r.turboMask = 0xFF;
    r.statusByte = 255;
    r.stickReverseLX = r.stickReverseLY = r.stickReverseRX = r.stickReverseRY = 1;
    r.stickInsideL = 10;
    r.stickOutsideL = 80;
    r.stickInsideR = 20;
    r.stickOutsideR = 70;
    Put(r.stickCurveL, {8, 32, 26, 46, 72, 55, 92, 69});
    Put(r.stickCurveR, {35, 9, 46, 31, 54, 69, 65, 91});
    Put(r.triggerLStart, {15, 200, 201});
    Put(r.triggerLEnd, {85, 202, 203});
    Put(r.triggerRStart, {0, 204, 205});
    Put(r.triggerREnd, {50, 206, 207});
    r.triggerVibrationL = 10;
    r.triggerVibrationR = 20;
    r.motorVibrationL = 30;
    r.motorVibrationR = 40;
    PutLight(r, 0, {1, 2, 1, 0x0a, 0x0b, 0x0c});
    PutLight(r, 1, {99, 1, 0, 0xff, 0xa5, 0x00});
    PutLight(r, 2, {60, 0, 2, 0, 0, 0});
    PutLight(r, 3, {100, 2, 2, 0xab, 0xcd, 0xef});
    return r;
}

PROFILE_INFO QpfRecord()
{
    PROFILE_INFO r{};
    Put(r.buttonMap, {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 36, 41, 64, 20, 64, 40});
    r.turboMask = 0x30;
    r.statusByte = 1;
    r.currentProfile = 2;
    r.stickReverseRX = r.stickReverseRY = 1;
    r.stickInsideL = 3;
    r.stickOutsideL = 97;
    r.stickInsideR = 4;
    r.stickOutsideR = 96;
    r.stickCurveSide = 2;
    Put(r.stickCurveL, {10, 20, 30, 40, 50, 60, 70, 80});
    Put(r.stickCurveR, {35, 9, 46, 31, 54, 69, 65, 91});
    r.triggerLockL = 2;
    Put(r.triggerLStart, {4, 5, 6});
    Put(r.triggerLEnd, {94, 95, 96});
    Put(r.triggerRStart, {7, 8, 9});
    Put(r.triggerREnd, {91, 92, 93});
    r.triggerVibrationL = 11;
    r.triggerVibrationR = 22;
    r.motorVibrationL = 33;
    r.motorVibrationR = 44;
    PutLight(r, 0, {100, 0, 0, 255, 0, 0});
    PutLight(r, 1, {80, 1, 1, 0, 255, 0});
    PutLight(r, 2, {60, 2, 2, 0, 0, 255});
    PutLight(r, 3, {40, 0, 2, 128, 128, 128});
    return r;
}

PortableProfile Profile(const PROFILE_INFO &record, uint16_t productId, const QString &model,
                        const QString &firmware, const QString &name)
{
    PortableProfile profile = PortableProfileJson::FromRecord(record, name);
    profile.vendorId = productId ? 0x35C7 : 0;
    profile.productId = productId;
    profile.modelName = model;
    profile.firmware = firmware;
    return profile;
}

// A record with every byte 0xEE: what a controller holds before an import.
PROFILE_INFO ControllerRecord()
{
    PROFILE_INFO record;
    std::memset(record.bytes(), 0xEE, PROFILE_INFO::kSize);
    return record;
}

PortableProfile ReadOrFail(const QByteArray &json)
{
    PortableProfile profile;
    QString error;
    if (!PortableProfileJson::Read(json, profile, error))
        qWarning() << "read failed:" << error;
    return profile;
}

} // namespace

Q_DECLARE_METATYPE(Offsets)
Q_DECLARE_METATYPE(ModelFeatures)
Q_DECLARE_METATYPE(PortableProfile)

class TestPortableProfile : public QObject
{
    Q_OBJECT

private:
    void goldenTable()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<PortableProfile>("profile");
        QTest::addColumn<ModelFeatures>("features");
        QTest::newRow("six buttons, lighting")
            << "vexalon-pro"
            << Profile(VexalonProRecord(), 0x400E, "Vexalon Pro", "1.30.0", "My Set")
            << ModelFeatures::Of(0x400E);
        QTest::newRow("four buttons, no lighting")
            << "vexalon" << Profile(VexalonRecord(), 0x400C, "Vexalon", "2.04", "Couch")
            << ModelFeatures::Of(0x400C);
        QTest::newRow("one trigger level") << "fendrix-v3-pro"
                                           << Profile(FendrixRecord(), 0x4032, "Fendrix v3 Pro",
                                                      QString(), QString::fromUtf8("Séance ✓"))
                                           << ModelFeatures::Of(0x4032);
        QTest::newRow("unknown model from a profile file")
            << "from-qpf"
            << PortableProfileJson::FromQpf(ProfileFiles::Encode(QpfRecord()), "Custom 7")
            << ModelFeatures::All();
    }

private slots:
    void modelFeaturesComeFromTheCatalogue_data()
    {
        QTest::addColumn<int>("productId");
        QTest::addColumn<bool>("six");
        QTest::addColumn<bool>("levels");
        QTest::addColumn<bool>("lighting");
        QTest::newRow("Vexalon Pro") << 0x400E << true << true << true;
        QTest::newRow("Vexalon") << 0x400C << false << true << false;
        QTest::newRow("Fendrix v3 Pro, one level") << 0x4032 << true << false << true;
        QTest::newRow("Fendrix v3 Pro, levels") << 0x4031 << true << true << true;
        QTest::newRow("unknown id") << 0x1234 << false << true << false;
    }

    void modelFeaturesComeFromTheCatalogue()
    {
        QFETCH(int, productId);
        QFETCH(bool, six);
        QFETCH(bool, levels);
        QFETCH(bool, lighting);
        const ModelFeatures features = ModelFeatures::Of(uint16_t(productId));
        QCOMPARE(features.sixBackButtons, six);
        QCOMPARE(features.triggerLevels, levels);
        QCOMPARE(features.lighting, lighting);
    }

    void writeGivesTheGoldenFile_data() { goldenTable(); }

    void writeGivesTheGoldenFile()
    {
        QFETCH(QString, file);
        QFETCH(PortableProfile, profile);
        QFETCH(ModelFeatures, features);
        QByteArray json;
        QString error;
        QVERIFY2(PortableProfileJson::Write(profile, features, json, error), qPrintable(error));
        QCOMPARE(QString::fromUtf8(json), QString::fromUtf8(Golden(file)));
    }

    // Reading gives back the record where the document speaks, zeros elsewhere, and writing
    // what was read gives the file again.
    void readGivesTheRecordBack_data() { goldenTable(); }

    void readGivesTheRecordBack()
    {
        QFETCH(QString, file);
        QFETCH(PortableProfile, profile);
        QFETCH(ModelFeatures, features);
        PortableProfile read;
        QString error;
        QVERIFY2(PortableProfileJson::Read(Golden(file), read, error), qPrintable(error));
        QCOMPARE(OffsetsOf(read.covered), Covered(features));
        QCOMPARE(OffsetsOf(read.carried), kCarried);
        PROFILE_INFO expected{};
        for (int i : Covered(features) + kCarried)
            expected.bytes()[i] = profile.record.bytes()[i];
        QCOMPARE(RecordBytes(read.record), RecordBytes(expected));
        QCOMPARE(read.vendorId, profile.vendorId);
        QCOMPARE(read.productId, profile.productId);
        QCOMPARE(read.modelName, profile.modelName);
        QCOMPARE(read.firmware, profile.firmware);
        QCOMPARE(read.name, profile.name);

        QByteArray again;
        QVERIFY2(PortableProfileJson::Write(read, features, again, error), qPrintable(error));
        QCOMPARE(QString::fromUtf8(again), QString::fromUtf8(Golden(file)));
    }

    void profileFilesSurviveTheRoundTrip_data()
    {
        QTest::addColumn<PROFILE_INFO>("record");
        for (const QString &name : ProfileFiles::ReservedNames())
            QTest::newRow(qPrintable(name)) << ProfileFiles::ReservedRecord(name);
        QTest::newRow("new profile") << ProfileFiles::NewProfileRecord();
        PROFILE_INFO opaque = ProfileFiles::NewProfileRecord();
        for (int i = 0; i < 14; ++i)
            opaque.buttonMap[i] = uint8_t(0xF1 + i);
        opaque.statusByte = 0xA5;
        opaque.currentProfile = 0x7F;
        opaque.stickCurveSide = 0xFF;
        opaque.triggerLockL = 2;
        opaque.triggerLockR = 1;
        QTest::newRow("arbitrary opaque bytes") << opaque;
        QTest::newRow("every field set") << VexalonProRecord();
        QTest::newRow("unknown-model record") << QpfRecord();
    }

    void profileFilesSurviveTheRoundTrip()
    {
        QFETCH(PROFILE_INFO, record);
        const QByteArray qpf = ProfileFiles::Encode(record);
        QByteArray json;
        QString error;
        QVERIFY2(PortableProfileJson::Write(PortableProfileJson::FromQpf(qpf, "Round"),
                                            ModelFeatures::All(), json, error),
                 qPrintable(error));
        PortableProfile read;
        QVERIFY2(PortableProfileJson::Read(json, read, error), qPrintable(error));
        QCOMPARE(PortableProfileJson::ToQpf(read).toHex(' '), qpf.toHex(' '));
        QByteArray again;
        QVERIFY2(PortableProfileJson::Write(read, ModelFeatures::All(), again, error),
                 qPrintable(error));
        QCOMPARE(QString::fromUtf8(again), QString::fromUtf8(json));
    }

    // Whatever a document leaves out is not covered, and writing it back keeps it left out.
    void partialDocumentsCoverWhatTheyName_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<Offsets>("covered");
        QTest::addColumn<Offsets>("carried");
        QTest::newRow("nothing") << QByteArray("{}") << Offsets{} << Offsets{};
        QTest::newRow("vibration only")
            << QByteArray("{\"vibration\": {\"leftMotor\": 1, \"leftTrigger\": 2, \"rightMotor\": "
                          "3, \"rightTrigger\": 4}}")
            << Offsets{62, 63, 64, 65} << Offsets{};
        QTest::newRow("one back button")
            << QByteArray("{\"backButtons\": {\"AGR3\": \"RT\"}}") << Offsets{19} << Offsets{};
        QTest::newRow("one light colour")
            << QByteArray("{\"lighting\": [{\"area\": 3, \"colour\": \"#ABCDEF\"}]}")
            << Offsets{81, 82, 83} << Offsets{};
        QTest::newRow("a lock level is carried, a level covered")
            << QByteArray("{\"triggers\": {\"right\": {\"lockLevel\": \"T2\", \"levels\": {\"T3\": "
                          "{\"end\": 7}}}}}")
            << Offsets{61} << Offsets{49};
        QTest::newRow("a curve preset")
            << QByteArray("{\"sticks\": {\"left\": {\"curve\": \"radical\"}}}") << Range(32, 8)
            << Offsets{};
    }

    void partialDocumentsCoverWhatTheyName()
    {
        QFETCH(QByteArray, settings);
        QFETCH(Offsets, covered);
        QFETCH(Offsets, carried);
        const QByteArray json =
            "{\"format\": \"quorel-oradesk-profile\", \"version\": 1, \"settings\": " + settings +
            "}";
        PortableProfile read;
        QString error;
        QVERIFY2(PortableProfileJson::Read(json, read, error), qPrintable(error));
        QCOMPARE(OffsetsOf(read.covered), covered);
        QCOMPARE(OffsetsOf(read.carried), carried);

        QByteArray written;
        QVERIFY2(PortableProfileJson::Write(read, ModelFeatures::All(), written, error),
                 qPrintable(error));
        const PortableProfile again = ReadOrFail(written);
        QCOMPARE(OffsetsOf(again.covered), covered);
        QCOMPARE(OffsetsOf(again.carried), carried);
        QCOMPARE(RecordBytes(again.record), RecordBytes(read.record));
    }

    void partialValuesLandWhereTheyBelong()
    {
        const PortableProfile read = ReadOrFail(
            "{\"format\": \"quorel-oradesk-profile\", \"version\": 1, \"settings\": { "
            "\"lighting\": [{\"area\": 3, \"colour\": \"#ABCDEF\", \"mode\": \"breathing\"}], "
            "\"backButtons\": {\"AGR3\": \"RT\"}, \"turbo\": {\"LB\": true, \"RB\": false}}}");
        QCOMPARE(read.record.lightAreas[12 + 2], uint8_t(1));
        QCOMPARE(read.record.lightAreas[12 + 3], uint8_t(0xAB));
        QCOMPARE(read.record.lightAreas[12 + 5], uint8_t(0xEF));
        QCOMPARE(read.record.buttonMap[19], uint8_t(41));
        QCOMPARE(read.record.turboMask, uint8_t(0x10));
        QCOMPARE(read.turboCovered, uint8_t(0x30));
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("sentence"); // the whole sentence, or a part of it after "~"
        const QByteArray good = Golden("vexalon-pro");
        auto with = [&good](const char *from, const char *to) {
            QByteArray json = good;
            return json.replace(from, to);
        };
        QTest::newRow("newer version")
            << with("\"version\": 1", "\"version\": 2")
            << "The profile is format version 2; this program reads up to version 1.";
        QTest::newRow("version 0") << with("\"version\": 1", "\"version\": 0") << "~start at 1";
        QTest::newRow("version as text")
            << with("\"version\": 1", "\"version\": \"1\"") << "~whole number";
        QTest::newRow("no version") << with(",\n    \"version\": 1", "") << "~whole number";
        QTest::newRow("truncated") << good.left(good.size() / 2) << "~not valid JSON";
        QTest::newRow("over 1 MiB")
            << good + QByteArray(1024 * 1024, ' ') << "~larger than 1048576 bytes";
        QTest::newRow("not an object") << QByteArray("[1, 2]") << "~JSON object";
        QTest::newRow("wrong format")
            << with("quorel-oradesk-profile", "other-profile") << "~format must be";
        QTest::newRow("unknown button name")
            << with("\"AGL1\": \"A\"", "\"AGL1\": \"Start\"")
            << "settings.backButtons.AGL1 is \"Start\"; it must be one of Menu, View, A, B, X, Y, "
               "Up, Down, Left, Right, LB, RB, LSB, RSB, LT, RT, None.";
        QTest::newRow("out of range")
            << with("\"innerDeadZone\": 5", "\"innerDeadZone\": 150")
            << "settings.sticks.left.innerDeadZone is 150; it must be 0 to 100.";
        QTest::newRow("negative") << with("\"leftMotor\": 50", "\"leftMotor\": -1")
                                  << "settings.vibration.leftMotor is -1; it must be 0 to 100.";
        QTest::newRow("not whole") << with("\"brightness\": 75", "\"brightness\": 7.5")
                                   << "settings.lighting[1].brightness is 7.5; it must be a whole "
                                      "number.";
        QTest::newRow("huge number")
            << with("\"leftMotor\": 50", "\"leftMotor\": 1e300") << "~it must be 0 to 100.";
        QTest::newRow("wrong type")
            << with("\"invertX\": true", "\"invertX\": 1")
            << "settings.sticks.left.invertX must be true or false, not a number.";
        QTest::newRow("object where a number belongs")
            << with("\"leftMotor\": 50", "\"leftMotor\": {}")
            << "settings.vibration.leftMotor must be a whole number from 0 to 100, not an object.";
        QTest::newRow("unknown key")
            << with("\"innerDeadZone\": 5", "\"innerDeadzone\": 5")
            << "~settings.sticks.left has an unknown key \"innerDeadzone\"";
        QTest::newRow("unknown key at the root")
            << with("\"version\": 1", "\"version\": 1, \"extra\": 0") << "~unknown key \"extra\"";
        QTest::newRow("bad colour")
            << with("#12abef", "#12abeg") << "~settings.lighting[2].colour is \"#12abeg\"";
        QTest::newRow("short colour") << with("#12abef", "#fff") << "~#rrggbb";
        QTest::newRow("repeated area")
            << with("\"area\": 2", "\"area\": 1") << "settings.lighting[1] repeats area 1.";
        QTest::newRow("area 5") << with("\"area\": 4", "\"area\": 5") << "~it must be 1 to 4.";
        QTest::newRow("unknown light mode")
            << with("\"breathing\"", "\"pulse\"") << "~colour-cycle, breathing, static";
        QTest::newRow("unknown lock level") << with("\"T3\"\n", "\"T4\"\n") << "~T1, T2, T3";
        QTest::newRow("curve of three points")
            << with("\"curve\": \"smooth\"", "\"curve\": [[1, 2], [3, 4], [5, 6]]")
            << "~four [x, y] points";
        QTest::newRow("curve preset unknown")
            << with("\"smooth\"", "\"wavy\"") << "~linear, smooth, radical";
        QTest::newRow("name too long")
            << with("\"My Set\"", "\"" + QByteArray(56, 'n') + "\"") << "~at most 55";
        QTest::newRow("name of 19 three-byte characters")
            << with("\"My Set\"", QString(19, QChar(0x2713)).prepend('"').append('"').toUtf8())
            << "~57 bytes";
        QTest::newRow("malformed product id")
            << with("\"400E\"", "\"40E\"") << "~model.productId is \"40E\"";
        QTest::newRow("model without name")
            << with("\"name\": \"Vexalon Pro\",", "") << "model has no name.";
        QTest::newRow("opaque byte over 255")
            << with("            99\n", "            256\n") << "~unmapped.buttonMap[13] is 256";
        QTest::newRow("control character in a name")
            << with("My Set", "My\\nSet") << "~name holds a control character";
    }

    void refusals()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, sentence);
        QVERIFY(json != Golden("vexalon-pro")); // the row really changed the document
        PortableProfile profile;
        QString error;
        QVERIFY(!PortableProfileJson::Read(json, profile, error));
        QVERIFY2(!error.contains(QLatin1Char('\n')), qPrintable(error));
        QVERIFY2(error.endsWith(QLatin1Char('.')), qPrintable(error));
        if (sentence.startsWith(QLatin1Char('~')))
            QVERIFY2(error.contains(sentence.mid(1)), qPrintable(error));
        else
            QCOMPARE(error, sentence);
    }

    void writeRefusesValuesWithoutAName_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("back button code")
            << 14 << 65 << "Back button AGL1 holds code 65, which has no name.";
        QTest::newRow("dead zone") << 29 << 101
                                   << "settings.sticks.right.innerDeadZone is 101; it must be 0 "
                                      "to 100.";
        QTest::newRow("inversion flag")
            << 24 << 2 << "settings.sticks.left.invertY is 2; it must be 0 or 1.";
        QTest::newRow("curve point") << 47 << 101
                                     << "settings.sticks.right.curve[3][1] is 101; it must be 0 "
                                        "to 100.";
        QTest::newRow("lock level")
            << 48 << 3 << "settings.triggers.left.lockLevel is 3; it must be 0 to 2.";
        QTest::newRow("trigger end") << 61 << 200
                                     << "settings.triggers.right.levels.T3.end is 200; it must be "
                                        "0 to 100.";
        QTest::newRow("light mode") << 66 + 6 + 2 << 3
                                    << "settings.lighting[1].mode is 3; it must be 0 to 2 "
                                       "(colour-cycle, breathing, static).";
        QTest::newRow("light speed") << 66 + 1 << 9 << "~settings.lighting[0].speed is 9";
        QTest::newRow("vibration")
            << 65 << 150 << "settings.vibration.rightMotor is 150; it must be 0 to 100.";
    }

    void writeRefusesValuesWithoutAName()
    {
        QFETCH(int, offset);
        QFETCH(int, value);
        QFETCH(QString, sentence);
        PROFILE_INFO record = ProfileFiles::NewProfileRecord();
        record.bytes()[offset] = uint8_t(value);
        QByteArray json;
        QString error;
        QVERIFY(!PortableProfileJson::Write(PortableProfileJson::FromRecord(record, "x"),
                                            ModelFeatures::All(), json, error));
        if (sentence.startsWith(QLatin1Char('~')))
            QVERIFY2(error.contains(sentence.mid(1)), qPrintable(error));
        else
            QCOMPARE(error, sentence);
        QJsonObject settings;
        QVERIFY(!PortableProfileJson::Settings(record, ModelFeatures::All(), settings, error));
    }

    void fitToController_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("leftOut");
        QTest::addColumn<Offsets>("kept"); // covered bytes that must stay the controller's
        QTest::newRow("same model, another product id")
            << "vexalon-pro" << 0x4019 << false << true << QStringList() << Offsets{};
        QTest::newRow("another model")
            << "vexalon-pro" << 0x400C << false << false << QStringList() << Offsets{};
        QTest::newRow("another model, forced")
            << "vexalon-pro" << 0x400C << true << true
            << QStringList{"back buttons AGL3 and AGR3", "lighting"}
            << kExtraBackButtons + kLighting;
        QTest::newRow("one-level model, forced")
            << "vexalon-pro" << 0x4032 << true << true << QStringList{"trigger levels T2 and T3"}
            << kExtraLevels;
        QTest::newRow("unknown model needs no force")
            << "from-qpf" << 0x400C << false << true
            << QStringList{"back buttons AGL3 and AGR3", "lighting"}
            << kExtraBackButtons + kLighting;
        QTest::newRow("fewer features than the target")
            << "vexalon" << 0x4021 << false << true << QStringList() << Offsets{};
    }

    void fitToController()
    {
        QFETCH(QString, file);
        QFETCH(int, target);
        QFETCH(bool, force);
        QFETCH(bool, accepted);
        QFETCH(QStringList, leftOut);
        QFETCH(Offsets, kept);
        const PortableProfile profile = ReadOrFail(Golden(file));
        const PROFILE_INFO controller = ControllerRecord();
        PROFILE_INFO result = ControllerRecord();
        QStringList missing;
        QString error;
        QCOMPARE(PortableProfileJson::FitToController(profile, controller, uint16_t(target), force,
                                                      result, missing, error),
                 accepted);
        if (!accepted) {
            QVERIFY2(error.endsWith(QLatin1Char('.')), qPrintable(error));
            QVERIFY2(error.contains(profile.modelName), qPrintable(error));
            return;
        }
        QCOMPARE(missing, leftOut);
        for (int i = 0; i < PROFILE_INFO::kSize; ++i) {
            const bool sent = profile.covered.test(size_t(i)) && !kept.count(i);
            QVERIFY2(!sent || !kCarried.count(i), qPrintable(QString::number(i)));
            QCOMPARE(result.bytes()[i], sent ? profile.record.bytes()[i] : uint8_t(0xEE));
        }
    }

    void fitRefusesAnotherVendor()
    {
        PortableProfile profile = ReadOrFail(Golden("vexalon-pro"));
        profile.vendorId = 0x1234;
        PROFILE_INFO result{};
        QStringList leftOut;
        QString error;
        QVERIFY(!PortableProfileJson::FitToController(profile, ControllerRecord(), 0x400E, false,
                                                      result, leftOut, error));
        QVERIFY(error.contains(QStringLiteral("1234:400E")));
    }

    // Only the turbo bits a document names change; the others stay the controller's.
    void fitMergesTurboBits()
    {
        const PortableProfile profile =
            ReadOrFail("{\"format\": \"quorel-oradesk-profile\", \"version\": 1, \"settings\": "
                       "{\"turbo\": {\"A\": true, \"B\": false, \"RT\": false}}}");
        PROFILE_INFO controller = ControllerRecord();
        controller.turboMask = 0xF2;
        PROFILE_INFO result{};
        QStringList leftOut;
        QString error;
        QVERIFY(PortableProfileJson::FitToController(profile, controller, 0x400E, false, result,
                                                     leftOut, error));
        QCOMPARE(result.turboMask, uint8_t(0x71));
        QCOMPARE(RecordBytes(result).remove(20, 1), RecordBytes(controller).remove(20, 1));
        // In a profile file, the unnamed bits are a new profile's (all off).
        QCOMPARE(ProfileFiles::Decode(PortableProfileJson::ToQpf(profile)).turboMask,
                 uint8_t(0x01));
    }
};

QTEST_GUILESS_MAIN(TestPortableProfile)
#include "tst_portableprofile.moc"
