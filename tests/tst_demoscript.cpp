#include "demoscriptparser.h"
#include "demostatejson.h"
#include "scriptpad.h"

#include "controller/commandcodes.h"
#include "controller/frame.h"
#include "updatemode/updatabledevice.h"
#include "virtualhid/virtualhidbus.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>
#include <hidapi.h>

using Kind = DemoStep::Kind;
Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(QVector<int>)

namespace {

// A neutral 20-byte input report with the given bytes changed: sticks centred (0x8000
// little-endian), triggers, D-pad and buttons released.
QByteArray Report(std::initializer_list<std::pair<int, int>> changes = {})
{
    QByteArray r = QByteArray::fromHex("01"
                                       "0080008000800080"
                                       "00000000"
                                       "00"
                                       "0000"
                                       "00000000");
    for (const auto &[at, value] : changes)
        r[at] = char(value);
    return r;
}

QByteArray Bytes(const ctrlsim::InputState &state)
{
    const std::vector<uint8_t> r = ctrlsim::makeLongReport(state);
    return QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size()));
}

// Every state the pad sends, as the report a device would carry.
struct Sent
{
    QList<QByteArray> reports;
    bool accept = true;
    ScriptPad::Sink Sink()
    {
        return [this](const ctrlsim::InputState &s) {
            reports.append(Bytes(s));
            return accept;
        };
    }
};

} // namespace

class TestDemoScript : public QObject
{
    Q_OBJECT

private slots:
    void validLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QVector<int>>("numbers");
        const QStringList none;
        QTest::newRow("wait") << "wait 250" << Kind::Wait << "" << none << QVector<int>{250};
        QTest::newRow("wait zero") << "wait 0" << Kind::Wait << "" << none << QVector<int>{0};
        QTest::newRow("waitfor, default timeout")
            << "waitfor ModuleSelection" << Kind::WaitFor << "ModuleSelection" << none
            << QVector<int>{10000};
        QTest::newRow("waitfor with timeout")
            << "waitfor btnNext 30000" << Kind::WaitFor << "btnNext" << none << QVector<int>{30000};
        QTest::newRow("waitgone") << "waitgone wdgLoading 500" << Kind::WaitGone << "wdgLoading"
                                  << none << QVector<int>{500};
        QTest::newRow("key, default hold")
            << "key a" << Kind::Key << "" << QStringList{"a"} << QVector<int>{50};
        QTest::newRow("key with hold")
            << "key lt 1200" << Kind::Key << "" << QStringList{"lt"} << QVector<int>{1200};
        QTest::newRow("hold several") << "hold up left lb" << Kind::Hold << ""
                                      << QStringList{"up", "left", "lb"} << QVector<int>{};
        QTest::newRow("release") << "release rs view" << Kind::Release << ""
                                 << QStringList{"rs", "view"} << QVector<int>{};
        QTest::newRow("stick, both ends") << "stick 0 65535 32768 1" << Kind::Stick << "" << none
                                          << QVector<int>{0, 65535, 32768, 1};
        QTest::newRow("trigger") << "trigger 1023 0" << Kind::Trigger << "" << none
                                 << QVector<int>{1023, 0};
        QTest::newRow("device wired")
            << "device wired" << Kind::Device << "wired" << none << QVector<int>{};
        QTest::newRow("device dongle")
            << "device dongle" << Kind::Device << "dongle" << none << QVector<int>{};
        QTest::newRow("click") << "click btnMapping" << Kind::Click << "btnMapping" << none
                               << QVector<int>{};
        QTest::newRow("drag, negative") << "drag sliderLeft -40 25" << Kind::Drag << "sliderLeft"
                                        << none << QVector<int>{-40, 25};
        QTest::newRow("type keeps inner blanks")
            << "type  hello   world " << Kind::Type << "hello   world" << none << QVector<int>{};
        QTest::newRow("screenshot")
            << "screenshot out.png" << Kind::Screenshot << "out.png" << none << QVector<int>{};
        QTest::newRow("state") << "state dir/out.json" << Kind::State << "dir/out.json" << none
                               << QVector<int>{};
        QTest::newRow("quit") << "quit" << Kind::Quit << "" << none << QVector<int>{};
        QTest::newRow("tabs, blanks and a comment")
            << "\t key \t b   # the back button" << Kind::Key << "" << QStringList{"b"}
            << QVector<int>{50};
        QTest::newRow("comment inside a text")
            << "type C#" << Kind::Type << "C" << none << QVector<int>{};
    }

    void validLines()
    {
        QFETCH(QString, line);
        QFETCH(Kind, kind);
        QFETCH(QString, argument);
        QFETCH(QStringList, names);
        QFETCH(QVector<int>, numbers);
        const DemoScriptParser::Result result = DemoScriptParser::Parse(line);
        QCOMPARE(result.error, QString());
        QCOMPARE(result.steps.size(), 1);
        const DemoStep &step = result.steps.first();
        QCOMPARE(step.kind, kind);
        QCOMPARE(step.line, 1);
        QCOMPARE(step.text, line.section(QLatin1Char('#'), 0, 0).trimmed());
        QCOMPARE(step.argument, argument);
        QCOMPARE(step.names, names);
        QCOMPARE(step.numbers, numbers);
    }

    void linesAreCountedInTheFile_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QVector<int>>("lines");
        QTest::newRow("empty") << "" << QVector<int>{};
        QTest::newRow("comments and blanks only") << "# a\n\n   \n\t# b\n" << QVector<int>{};
        QTest::newRow("blank and comment lines skipped")
            << "\n# start\nwait 5\n\n  # pause\nkey a\nquit" << QVector<int>{3, 6, 7};
        QTest::newRow("windows line ends") << "wait 5\r\n\r\nquit\r\n" << QVector<int>{1, 3};
    }

    void linesAreCountedInTheFile()
    {
        QFETCH(QString, script);
        QFETCH(QVector<int>, lines);
        const DemoScriptParser::Result result = DemoScriptParser::Parse(script);
        QCOMPARE(result.error, QString());
        QVector<int> parsed;
        for (const DemoStep &step : result.steps)
            parsed.append(step.line);
        QCOMPARE(parsed, lines);
    }

    void malformedLines_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem");
        const auto row = [](const char *name, const QString &text, const char *problem) {
            QTest::newRow(name) << text << 1 << text << QString::fromUtf8(problem);
        };
        row("unknown command", "jump 3", "unknown command \"jump\"");
        row("command in capitals", "WAIT 3", "unknown command \"WAIT\"");
        row("wait without time", "wait", "wrong number of arguments (usage: wait MS)");
        row("wait with two times", "wait 1 2", "wrong number of arguments");
        row("wait not a number", "wait soon", "MS \"soon\" is not a whole number");
        row("wait fraction", "wait 1.5", "MS \"1.5\" is not a whole number");
        row("wait negative", "wait -5", "MS -5 is out of range 0..600000");
        row("wait too long", "wait 600001", "MS 600001 is out of range 0..600000");
        row("wait overflowing", "wait 99999999999999999999", "is not a whole number");
        row("waitfor without name", "waitfor", "wrong number of arguments");
        row("waitfor extra", "waitfor a 1 2", "wrong number of arguments");
        row("waitfor negative", "waitfor a -1", "TIMEOUT_MS -1 is out of range");
        row("key without name", "key", "wrong number of arguments (usage: key NAME [HOLD_MS])");
        row("key extra", "key a 50 60", "wrong number of arguments");
        row("key unknown button", "key start", "unknown button \"start\"");
        row("key button in capitals", "key A", "unknown button \"A\"");
        row("key hold not a number", "key a long", "HOLD_MS \"long\" is not a whole number");
        row("key hold negative", "key a -1", "HOLD_MS -1 is out of range");
        row("hold nothing", "hold", "wrong number of arguments (usage: hold NAME...)");
        row("hold one unknown", "hold a jump", "unknown button \"jump\"");
        row("release nothing", "release", "wrong number of arguments");
        row("release unknown", "release x triangle", "unknown button \"triangle\"");
        row("stick three values", "stick 1 2 3", "wrong number of arguments");
        row("stick five values", "stick 1 2 3 4 5", "wrong number of arguments");
        row("stick above range", "stick 0 0 0 65536", "RY 65536 is out of range 0..65535");
        row("stick below range", "stick -1 0 0 0", "LX -1 is out of range 0..65535");
        row("stick not a number", "stick 0 x 0 0", "LY \"x\" is not a whole number");
        row("trigger one value", "trigger 0", "wrong number of arguments");
        row("trigger left above range", "trigger 1024 0", "L 1024 is out of range 0..1023");
        row("trigger right negative", "trigger 0 -1", "R -1 is out of range 0..1023");
        row("device unknown", "device usb", "unknown device \"usb\"");
        row("device missing", "device", "wrong number of arguments");
        row("click without name", "click", "wrong number of arguments");
        row("click two names", "click a b", "wrong number of arguments");
        row("drag without offset", "drag btnA 10", "wrong number of arguments");
        row("drag offset not a number", "drag btnA 10 x", "DY \"x\" is not a whole number");
        row("drag too far", "drag btnA 10001 0", "DX 10001 is out of range -10000..10000");
        row("type nothing", "type", "wrong number of arguments");
        row("screenshot without file", "screenshot", "wrong number of arguments");
        row("screenshot two files", "screenshot a.png b.png", "wrong number of arguments");
        row("state without file", "state", "wrong number of arguments");
        row("quit with argument", "quit now", "wrong number of arguments");
        QTest::newRow("type with only a comment") << "type   # nothing" << 1 << "type"
                                                  << "wrong number of arguments";
        QTest::newRow("error after valid lines")
            << "wait 5\n\n# note\nkey a\nkey q 10" << 5 << "key q 10"
            << "unknown button \"q\"";
        QTest::newRow("first error reported") << "wait 5\r\nwait x\r\njump\r\n"
                                              << 2 << "wait x"
                                              << "MS \"x\" is not a whole number";
        QTest::newRow("long line cut in the message")
            << "jump " + QString(300, QLatin1Char('z')) << 1
            << "jump " + QString(115, QLatin1Char('z')) + "..."
            << "unknown command \"jump\"";
    }

    void malformedLines()
    {
        QFETCH(QString, script);
        QFETCH(int, line);
        QFETCH(QString, text);
        QFETCH(QString, problem);
        const DemoScriptParser::Result result = DemoScriptParser::Parse(script);
        const QString start = QStringLiteral("line %1 (%2): ").arg(line).arg(text);
        QVERIFY2(result.error.startsWith(start), qPrintable(result.error));
        QVERIFY2(result.error.contains(problem), qPrintable(result.error));
        QVERIFY(result.steps.isEmpty()); // nothing of a broken script runs
    }

    void buttonsReachTheirReportBits_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("a") << QStringList{"a"} << Report({{14, 0x01}});
        QTest::newRow("b") << QStringList{"b"} << Report({{14, 0x02}});
        QTest::newRow("x") << QStringList{"x"} << Report({{14, 0x08}});
        QTest::newRow("y") << QStringList{"y"} << Report({{14, 0x10}});
        QTest::newRow("lb") << QStringList{"lb"} << Report({{14, 0x40}});
        QTest::newRow("rb") << QStringList{"rb"} << Report({{14, 0x80}});
        QTest::newRow("view") << QStringList{"view"} << Report({{15, 0x04}});
        QTest::newRow("menu") << QStringList{"menu"} << Report({{15, 0x08}});
        QTest::newRow("left stick click") << QStringList{"ls"} << Report({{15, 0x20}});
        QTest::newRow("right stick click") << QStringList{"rs"} << Report({{15, 0x40}});
        QTest::newRow("left trigger full") << QStringList{"lt"} << Report({{9, 0xFF}, {10, 0x03}});
        QTest::newRow("right trigger full")
            << QStringList{"rt"} << Report({{11, 0xFF}, {12, 0x03}});
        QTest::newRow("up") << QStringList{"up"} << Report({{13, 1}});
        QTest::newRow("right") << QStringList{"right"} << Report({{13, 3}});
        QTest::newRow("down") << QStringList{"down"} << Report({{13, 5}});
        QTest::newRow("left") << QStringList{"left"} << Report({{13, 7}});
        QTest::newRow("up and right") << QStringList{"up", "right"} << Report({{13, 2}});
        QTest::newRow("down and left") << QStringList{"down", "left"} << Report({{13, 6}});
        QTest::newRow("up and left") << QStringList{"left", "up"} << Report({{13, 8}});
        QTest::newRow("up and down cancel") << QStringList{"up", "down"} << Report();
        QTest::newRow("a, x and menu")
            << QStringList{"a", "x", "menu"} << Report({{14, 0x09}, {15, 0x08}});
    }

    void buttonsReachTheirReportBits()
    {
        QFETCH(QStringList, names);
        QFETCH(QByteArray, report);
        Sent sent;
        ScriptPad pad(sent.Sink());
        QVERIFY(pad.SetButtons(names, true));
        QCOMPARE(sent.reports.size(), 1);
        QCOMPARE(sent.reports.last().toHex(), report.toHex());
        QVERIFY(pad.SetButtons(names, false));
        QCOMPARE(sent.reports.last().toHex(), Report().toHex());
    }

    void sticksTriggersAndHeldButtonsCombine()
    {
        Sent sent;
        ScriptPad pad(sent.Sink());
        QVERIFY(pad.SetSticks(0, 65535, 0x1234, 1));
        QCOMPARE(sent.reports.last().toHex(), Report({{1, 0x00},
                                                      {2, 0x00},
                                                      {3, 0xFF},
                                                      {4, 0xFF},
                                                      {5, 0x34},
                                                      {6, 0x12},
                                                      {7, 0x01},
                                                      {8, 0x00}})
                                                  .toHex());
        pad.Reset();
        QCOMPARE(sent.reports.last().toHex(), Report().toHex());

        // A key pressed on top of a held button leaves the held one down when released.
        pad.SetButtons({"a"}, true);
        pad.SetButtons({"b"}, true);
        pad.SetButtons({"b"}, false);
        QCOMPARE(sent.reports.last().toHex(), Report({{14, 0x01}}).toHex());
        pad.SetButtons({"a"}, false);

        // A fully pulled trigger goes back to the travel the trigger step set.
        pad.SetTriggers(500, 7);
        QCOMPARE(sent.reports.last().toHex(), Report({{9, 0xF4}, {10, 0x01}, {11, 7}}).toHex());
        pad.SetButtons({"lt"}, true);
        QCOMPARE(sent.reports.last().toHex(), Report({{9, 0xFF}, {10, 0x03}, {11, 7}}).toHex());
        pad.SetButtons({"lt"}, false);
        QCOMPARE(sent.reports.last().toHex(), Report({{9, 0xF4}, {10, 0x01}, {11, 7}}).toHex());

        // A device that cannot take the report makes the step fail.
        sent.accept = false;
        QVERIFY(!pad.SetButtons({"x"}, true));
        QVERIFY(!pad.SetTriggers(0, 0));
    }

    void heldStateKeepsBeingReported()
    {
        Sent sent;
        ScriptPad pad(sent.Sink());
        pad.SetButtons({"y"}, true);
        // The bound only keeps a broken repeat from hanging the test.
        QTRY_VERIFY_WITH_TIMEOUT(sent.reports.size() >= 3, 10000);
        for (const QByteArray &report : sent.reports)
            QCOMPARE(report.toHex(), Report({{14, 0x10}}).toHex());
        pad.SetButtons({"y"}, false);
        const int released = sent.reports.size();
        // Nothing is held any more: a repeat still running would send within a few periods.
        QTest::qWait(200);
        QCOMPARE(sent.reports.size(), released);
    }

    void stateFollowsTheDeviceThroughUpdateMode()
    {
        ctrlsim::UpdatableDevice::Options options;
        options.kind = ctrlsim::UpdatableDevice::Kind::Wired;
        options.productId = 0x400E;
        options.state = ctrlsim::DeviceState::sane(0x400E);
        options.state.activeProfile = 1;
        options.stateAfterUpdate = options.state;
        options.enterDelay = std::chrono::milliseconds(20);
        ctrlsim::UpdatableDevice device(options);

        std::string path;
        device.withController([&](ctrlsim::SimulatedController &c) { path = c.path(); });
        hid_device *handle = hid_open_path(path.c_str());
        QVERIFY(handle);
        const QList<std::vector<uint8_t>> written = {
            ctrlsim::frame::make(ctrlsim::cmd::WriteTurbo, {0x5A}),
            ctrlsim::frame::make(ctrlsim::cmd::WriteName, {2, 3, 'P', 'a', 'd'}),
            ctrlsim::frame::make(ctrlsim::cmd::VibrationTest, {0, 0, 7, 9}),
            ctrlsim::frame::make(ctrlsim::cmd::CalibrationStart, {0x22}),
            ctrlsim::frame::make(ctrlsim::cmd::SaveConfig),
            ctrlsim::frame::make(ctrlsim::cmd::WriteTurbo, {0x33}), // not saved
        };
        QStringList hex;
        for (const auto &frame : written) {
            QCOMPARE(hid_write(handle, frame.data(), frame.size()), int(frame.size()));
            hex << QString::fromLatin1(
                QByteArray(reinterpret_cast<const char *>(frame.data()), int(frame.size()))
                    .toHex());
        }

        const QJsonObject normal = DemoStateJson::Device(device);
        QCOMPARE(normal["vid"].toInt(), 0x35C7);
        QCOMPARE(normal["pid"].toInt(), 0x400E);
        QCOMPARE(normal["mode"].toString(), QStringLiteral("normal"));
        QCOMPARE(normal["activeProfile"].toInt(), 1);
        QCOMPARE(normal["names"].toArray(), (QJsonArray{"Profile 1", "Profile 2", "Pad"}));
        QCOMPARE(normal["saveCount"].toInt(), 1);
        QCOMPARE(normal["resetCount"].toInt(), 0);
        QCOMPARE(normal["calibrating"].toBool(), true);
        QCOMPARE(normal["lastVibrationTest"].toArray(), (QJsonArray{7, 9}));
        const QJsonArray profiles = normal["profiles"].toArray();
        const QJsonArray saved = normal["saved"].toArray();
        QCOMPARE(profiles.size(), 3);
        QCOMPARE(saved.size(), 3);
        const ctrlsim::DeviceState sane = ctrlsim::DeviceState::sane(0x400E);
        for (int p = 0; p < 3; ++p) {
            QCOMPARE(profiles[p].toArray().size(), 90);
            for (int i = 0; i < 90; ++i) {
                // The turbo mask (byte 20) of the active profile is what was written to it.
                const int now = p == 1 && i == 20 ? 0x33 : sane.profiles[size_t(p)][size_t(i)];
                const int kept = p == 1 && i == 20 ? 0x5A : sane.profiles[size_t(p)][size_t(i)];
                QCOMPARE(profiles[p].toArray()[i].toInt(), now);
                QCOMPARE(saved[p].toArray()[i].toInt(), kept);
            }
        }
        QCOMPARE(normal["frames"].toArray(), QJsonArray::fromStringList(hex));

        // In update mode the controller is off the bus: its identity and frames remain.
        const auto enter = ctrlsim::frame::make(ctrlsim::cmd::EnterUpdateMode);
        QCOMPARE(hid_write(handle, enter.data(), enter.size()), int(enter.size()));
        hex << QString::fromLatin1(
            QByteArray(reinterpret_cast<const char *>(enter.data()), int(enter.size())).toHex());
        QVERIFY(
            device.waitForMode(ctrlsim::UpdatableDevice::Mode::Update, std::chrono::seconds(10)));
        hid_close(handle);
        const QJsonObject updating = DemoStateJson::Device(device);
        QCOMPARE(updating["vid"].toInt(), 0x35C7);
        QCOMPARE(updating["pid"].toInt(), 0x400E);
        QCOMPARE(updating["mode"].toString(), QStringLiteral("update"));
        QVERIFY(!updating.contains("profiles"));
        QVERIFY(!updating.contains("saveCount"));
        QCOMPARE(updating["frames"].toArray(), QJsonArray::fromStringList(hex));
    }
};

QTEST_GUILESS_MAIN(TestDemoScript)
#include "tst_demoscript.moc"
