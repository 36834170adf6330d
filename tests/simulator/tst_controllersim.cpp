#include "controller/crc16kermit.h"
#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <hidapi.h>

#include <QtTest>

#include <chrono>
#include <cstdlib>
#include <functional>

using ctrlsim::DeviceState;
using ctrlsim::InputState;
using ctrlsim::SimulatedController;
using Bytes = std::vector<uint8_t>;
using Layout = SimulatedController::Layout;
Q_DECLARE_METATYPE(DeviceState)
Q_DECLARE_METATYPE(InputState)
Q_DECLARE_METATYPE(Layout)

namespace {

constexpr int kActive = 1;          // reads and writes must hit this profile, not profile 0
constexpr int kReplyWaitMs = 10000; // a "did not hang" bound only

uint8_t known(int profile, int offset)
{
    return uint8_t(1 + offset + 80 * profile);
}

DeviceState knownState()
{
    DeviceState s;
    s.productId = 0x1001;
    for (int p = 0; p < 3; ++p) {
        for (int i = 0; i < 90; ++i) {
            s.profiles[size_t(p)][size_t(i)] = known(p, i);
        }
    }
    s.saved = s.profiles;
    s.names = {"Alpha", "Beta", "Gamma"};
    s.version = {1, 3, 0};
    s.version2 = {1, 30, 0};
    s.statusByte = 0x5A;
    s.activeProfile = kActive;
    return s;
}

QByteArray knownRange(int profile, int offset, int n)
{
    QByteArray out;
    for (int i = 0; i < n; ++i) {
        out += char(known(profile, offset + i));
    }
    return out;
}

// A command frame assembled here, independently of the simulator's own frame code.
QByteArray command(int code, const QByteArray &params = {})
{
    QByteArray f = QByteArray::fromHex("E100013C") + char(code) + params.left(57);
    f += QByteArray(62 - f.size(), '\0');
    const uint16_t crc = ctrlsim::crc16Kermit(reinterpret_cast<const uint8_t *>(f.data()) + 4, 58);
    return f + char(crc >> 8) + char(crc & 0xFF);
}

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

QByteArray toArray(const Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
}

// Writes `values` into the active record of `s` from `offset`.
void put(DeviceState &s, int offset, const QByteArray &values)
{
    for (int i = 0; i < values.size(); ++i) {
        s.profiles[kActive][size_t(offset + i)] = uint8_t(values[i]);
    }
}

} // namespace

class TestControllerSim : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimulatedController> ctl;
    hid_device *dev = nullptr;

    int write(const QByteArray &bytes)
    {
        return hid_write(dev, reinterpret_cast<const unsigned char *>(bytes.constData()),
                         size_t(bytes.size()));
    }
    QByteArray read(int timeoutMs = kReplyWaitMs)
    {
        unsigned char buf[128];
        const int n = hid_read_timeout(dev, buf, sizeof buf, timeoutMs);
        return n > 0 ? QByteArray(reinterpret_cast<const char *>(buf), n) : QByteArray();
    }
    QByteArray request(const QByteArray &frame)
    {
        return write(frame) == frame.size() ? read() : QByteArray();
    }
    // Replies arrive in order and at once, so if `frame` answered, B2's reply would not be first.
    bool hadNoReply(const QByteArray &frame)
    {
        write(frame);
        const QByteArray next = request(command(0xB2));
        return next.size() == 64 && uint8_t(next[4]) == 0xB2;
    }

private slots:
    void init()
    {
        ctl = SimulatedController::plug(0x1001, knownState());
        dev = hid_open_path(ctl->path().c_str());
        QVERIFY(dev);
    }
    void cleanup()
    {
        hid_close(dev);
        ctl.reset();
        QCOMPARE(int(vhid::Bus::instance().nodes().size()), 0);
        QCOMPARE(vhid::Bus::instance().openHandleCount(), 0);
    }

    void plugsOneConfigurationNode()
    {
        const char *check = "123456789";
        QCOMPARE(int(ctrlsim::crc16Kermit(reinterpret_cast<const uint8_t *>(check), 9)), 0x2189);
        hid_device_info *list = hid_enumerate(0x35C7, 0x1001);
        QVERIFY(list && !list->next);
        QCOMPARE(QString::fromLatin1(list->path), QString::fromStdString(ctl->path()));
        QCOMPARE(int(list->usage_page), 0xFF00);
        QCOMPARE(int(list->usage), 0x01);
        QCOMPARE(list->interface_number, 1);
        QCOMPARE(int(list->release_number), 0x0130);
        QCOMPARE(QString::fromWCharArray(list->product_string), QLatin1String("Quorel Controller"));
        hid_free_enumeration(list);
    }

    void readCommands_data()
    {
        QTest::addColumn<QByteArray>("setup"); // sent first, if not empty
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("payload"); // reply bytes from offset 5; null: no reply
        const int p = kActive;
        const QByteArray none;
        const auto row = [](const char *name, const QByteArray &setup, const QByteArray &frame,
                            const QByteArray &payload) {
            QTest::newRow(name) << setup << frame << payload;
        };
        row("A2 button map", none, command(0xA2), knownRange(p, 0, 20));
        row("B9 turbo", none, command(0xB9), knownRange(p, 20, 1));
        row("A8 stick reverse", none, command(0xA8), knownRange(p, 23, 4));
        row("A6 dead zones", none, command(0xA6), knownRange(p, 27, 4));
        row("BB left curve", none, command(0xBB, hex("00")), knownRange(p, 32, 8));
        row("BB right curve", none, command(0xBB, hex("01")), knownRange(p, 40, 8));
        row("B5 triggers L1 R2", none, command(0xB5, hex("0102")),
            hex("010102") + knownRange(p, 51, 1) + knownRange(p, 54, 1) + knownRange(p, 58, 1) +
                knownRange(p, 61, 1));
        row("B7 trigger lock", none, command(0xB7), hex("00") + knownRange(p, 48, 2));
        row("AA vibration", none, command(0xAA), knownRange(p, 62, 4));
        row("AE zone 2 speed", none, command(0xAE, hex("0102")),
            hex("0102") + knownRange(p, 79, 1));
        row("AE zone 3 colour", none, command(0xAE, hex("0303")),
            hex("0303") + knownRange(p, 87, 3));
        row("B2 current profile", none, command(0xB2), QByteArray(1, char(p)));
        row("B3 status", none, command(0xB3), hex("5A"));
        row("C1 name", none, command(0xC1, hex("02")), hex("0205") + "Gamma");
        const QByteArray utf8 = QString::fromUtf8("Ünïcødé 名前 🎮").toUtf8();
        row("C1 after C0 with UTF-8", command(0xC0, hex("02") + char(utf8.size()) + utf8),
            command(0xC1, hex("02")), hex("02") + char(utf8.size()) + utf8);
        row("C1 after C0 with 55 bytes", command(0xC0, hex("0037") + QByteArray(55, 'x')),
            command(0xC1, hex("00")), hex("0037") + QByteArray(55, 'x'));
        row("FA ids and versions", none, command(0xFA),
            QByteArray(9, 0) + hex("C735011000 010300 011E00"));
        row("BB half 2", none, command(0xBB, hex("02")), none);
        row("B5 left level 3", none, command(0xB5, hex("0300")), none);
        row("B5 right level 3", none, command(0xB5, hex("0003")), none);
        row("AE item 4", none, command(0xAE, hex("0400")), none);
        row("AE zone 4", none, command(0xAE, hex("0004")), none);
        row("C1 profile 3", none, command(0xC1, hex("03")), none);
        row("B1 profile 3", none, command(0xB1, hex("03")), none);
    }
    void readCommands()
    {
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, payload);
        if (!setup.isEmpty()) {
            QVERIFY(hadNoReply(setup));
        }
        if (payload.isNull()) {
            QVERIFY(hadNoReply(frame));
            QCOMPARE(ctl->firmware().state().activeProfile, kActive);
            return;
        }
        const QByteArray reply = request(frame);
        QCOMPARE(reply.size(), 64);
        QCOMPARE(reply.left(5), hex("E100013C") + frame[4]);
        QCOMPARE(reply.mid(5, payload.size()), payload);
        QCOMPARE(reply.mid(5 + payload.size(), 57 - payload.size()),
                 QByteArray(57 - payload.size(), '\0'));
        QCOMPARE(reply.right(2), command(frame[4], reply.mid(5, 57)).right(2));
    }

    void commandsChangeState_data()
    {
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<DeviceState>("expected");
        const auto row = [](const char *name, const QList<QByteArray> &frames,
                            const std::function<void(DeviceState &)> &change) {
            DeviceState s = knownState();
            change(s);
            QTest::newRow(name) << frames << s;
        };
        const QByteArray four = hex("09080706"), eight = hex("F1F2F3F4F5F6F7F8");
        QByteArray twenty;
        for (int i = 0; i < 20; ++i) {
            twenty += char(0xC0 + i);
        }
        const auto unchanged = [](DeviceState &) {};
        row("A1 button map", {command(0xA1, twenty)}, [&](DeviceState &s) { put(s, 0, twenty); });
        row("A5 dead zones", {command(0xA5, four)}, [&](DeviceState &s) { put(s, 27, four); });
        row("A7 stick reverse", {command(0xA7, four)}, [&](DeviceState &s) { put(s, 23, four); });
        row("A9 vibration", {command(0xA9, four)}, [&](DeviceState &s) { put(s, 62, four); });
        row("AD zone 3 mode", {command(0xAD, hex("0203EE"))},
            [](DeviceState &s) { put(s, 86, hex("EE")); });
        row("AD zone 1 colour", {command(0xAD, hex("0301102030"))},
            [](DeviceState &s) { put(s, 75, hex("102030")); });
        row("AD item 4 ignored", {command(0xAD, hex("0400EE"))}, unchanged);
        row("AD zone 4 ignored", {command(0xAD, hex("0004EE"))}, unchanged);
        row("B4 triggers L2 R0", {command(0xB4, hex("02000A0B0C0D"))}, [](DeviceState &s) {
            put(s, 52, hex("0A"));
            put(s, 55, hex("0B"));
            put(s, 56, hex("0C"));
            put(s, 59, hex("0D"));
        });
        row("B4 level 3 ignored", {command(0xB4, hex("03000A0B0C0D"))}, unchanged);
        row("B8 turbo", {command(0xB8, hex("0F"))}, [](DeviceState &s) { put(s, 20, hex("0F")); });
        row("BA left curve", {command(0xBA, hex("00") + eight)},
            [&](DeviceState &s) { put(s, 32, eight); });
        row("BA right curve", {command(0xBA, hex("01") + eight)},
            [&](DeviceState &s) { put(s, 40, eight); });
        row("BA half 2 ignored", {command(0xBA, hex("02") + eight)}, unchanged);
        row("C0 name", {command(0xC0, hex("0003") + "New")},
            [](DeviceState &s) { s.names[0] = "New"; });
        row("C0 56 bytes ignored", {command(0xC0, hex("0138") + QByteArray(56, 'y'))}, unchanged);
        row("C0 profile 3 ignored", {command(0xC0, hex("0301") + "z")}, unchanged);
        row("FB commits", {command(0xB8, hex("44")), command(0xFB)}, [](DeviceState &s) {
            put(s, 20, hex("44"));
            s.saved = s.profiles;
            s.saveCount = 1;
        });
        row("F1 restores the initial state",
            {command(0xB8, hex("44")), command(0xC0, hex("0003") + "New"), command(0xB1, hex("02")),
             command(0xF1)},
            [](DeviceState &s) { s.resetCount = 1; });
        const QByteArray start = command(0x20, hex("22"));
        row("calibration start", {start}, [](DeviceState &s) { s.calibrating = true; });
        row("start needs 0x22", {command(0x20, hex("21"))}, unchanged);
        row("start then stop", {start, command(0x30, hex("32"))}, unchanged);
        row("stop needs 0x32", {start, command(0x30, hex("31"))},
            [](DeviceState &s) { s.calibrating = true; });
        row("update mode", {command(0xBC)}, [](DeviceState &s) { s.updateModeRequested = true; });
        row("vibration test", {command(0xBD, hex("00004080"))}, [](DeviceState &s) {
            s.lastVibrationTest = {0x40, 0x80};
        });
        row("unknown code", {command(0x77, hex("01020304"))}, unchanged);
    }
    void commandsChangeState()
    {
        QFETCH(QList<QByteArray>, frames);
        QFETCH(DeviceState, expected);
        int acks = 0;
        for (const QByteArray &f : frames) {
            if (uint8_t(f[4]) == 0xB1) { // the one command here that answers
                QCOMPARE(request(f), command(0xB1));
                ++acks;
            } else {
                QVERIFY(hadNoReply(f));
            }
        }
        const DeviceState s = ctl->firmware().state();
        QCOMPARE(s.profiles, expected.profiles);
        QCOMPARE(s.saved, expected.saved);
        QCOMPARE(s.names, expected.names);
        QCOMPARE(s.activeProfile, expected.activeProfile);
        QCOMPARE(s.saveCount, expected.saveCount);
        QCOMPARE(s.resetCount, expected.resetCount);
        QCOMPARE(s.calibrating, expected.calibrating);
        QCOMPARE(s.updateModeRequested, expected.updateModeRequested);
        QCOMPARE(int(s.lastVibrationTest.left), int(expected.lastVibrationTest.left));
        QCOMPARE(int(s.lastVibrationTest.right), int(expected.lastVibrationTest.right));
        QCOMPARE(int(ctl->firmware().frames().size()), 2 * frames.size() - acks); // + B2s
    }

    void badFramesAreIgnoredButLogged_data()
    {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QByteArray>("deviceSees");
        QTest::addColumn<bool>("accepted");
        const QByteArray good = command(0xB8, hex("77"));
        const auto flip = [&good](int at, int bits) {
            QByteArray f = good;
            f[at] = char(f[at] ^ bits);
            return f;
        };
        QTest::newRow("valid") << good << good << true;
        QTest::newRow("valid behind report id 0") << QByteArray(1, 0) + good << good << true;
        QTest::newRow("CRC high byte wrong") << flip(62, 1) << flip(62, 1) << false;
        QTest::newRow("CRC low byte wrong") << flip(63, 1) << flip(63, 1) << false;
        QTest::newRow("parameter changed after CRC") << flip(5, 1) << flip(5, 1) << false;
        QTest::newRow("header byte 0 wrong") << flip(0, 0x40) << flip(0, 0x40) << false;
        QTest::newRow("header byte 1 wrong") << flip(1, 0x40) << flip(1, 0x40) << false;
        QTest::newRow("header byte 2 wrong") << flip(2, 0x40) << flip(2, 0x40) << false;
        QTest::newRow("header byte 3 wrong") << flip(3, 0x40) << flip(3, 0x40) << false;
        QTest::newRow("63 bytes") << good.left(63) << good.left(63) << false;
        QTest::newRow("65 bytes, first E1") << good + '\0' << good + '\0' << false;
    }
    void badFramesAreIgnoredButLogged()
    {
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, deviceSees);
        QFETCH(bool, accepted);
        QCOMPARE(write(written), written.size());
        const auto raw = ctl->firmware().rawReports();
        QCOMPARE(int(raw.size()), 1);
        QCOMPARE(toArray(raw[0]), deviceSees);
        QCOMPARE(int(ctl->firmware().frames().size()), accepted ? 1 : 0);
        QCOMPARE(int(ctl->firmware().state().profiles[kActive][20]),
                 accepted ? 0x77 : known(kActive, 20));
    }

    void setCurrentProfileSwitchesRecords_data()
    {
        QTest::addColumn<int>("profile");
        QTest::newRow("0") << 0;
        QTest::newRow("2") << 2;
    }
    void setCurrentProfileSwitchesRecords()
    {
        QFETCH(int, profile);
        QCOMPARE(request(command(0xB1, QByteArray(1, char(profile)))), command(0xB1));
        QCOMPARE(request(command(0xB2)).mid(5, 1), QByteArray(1, char(profile)));
        QCOMPARE(request(command(0xA2)).mid(5, 20), knownRange(profile, 0, 20));
        QVERIFY(hadNoReply(command(0xB8, hex("44"))));
        const DeviceState s = ctl->firmware().state();
        for (int p = 0; p < 3; ++p) {
            QCOMPARE(int(s.profiles[size_t(p)][20]), p == profile ? 0x44 : known(p, 20));
        }
    }

    void faults()
    {
        ctl->firmware().dropNextReplies(1);
        write(command(0xB3));
        QCOMPARE(uint8_t(request(command(0xB2))[4]), uint8_t(0xB2)); // B3's reply was dropped

        ctl->node().failNextWrites(1);
        ctl->firmware().clearLog();
        QCOMPARE(write(command(0xB2)), -1);
        QVERIFY(ctl->firmware().rawReports().empty());

        ctl->firmware().setReplyDelay(std::chrono::milliseconds(1000));
        write(command(0xB3));
        QCOMPARE(read(0), QByteArray()); // not yet
        QCOMPARE(uint8_t(read()[4]), uint8_t(0xB3));

        ctl->unplug();
        QVERIFY(!ctl->plugged());
        QCOMPARE(write(command(0xB2)), -1);
        unsigned char buf[64];
        QCOMPARE(hid_read_timeout(dev, buf, sizeof buf, 0), -1);
        QVERIFY(!hid_enumerate(0x35C7, 0x1001));
    }

    void inputReports_data()
    {
        QTest::addColumn<InputState>("input");
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QByteArray>("expected");
        InputState neutral, faces, centre, axes, dpad;
        faces.a = faces.b = faces.x = faces.y = faces.lb = faces.rb = true;
        centre.y = centre.view = centre.menu = centre.lstick = true;
        axes.lx = 0x1234, axes.ly = 0xABCD, axes.rx = 0x0001, axes.ry = 0xFFFF;
        axes.lt = 1023, axes.rt = 512, axes.dpad = 8, axes.reportMode = 0x30;
        dpad.dpad = 6, dpad.rstick = true;
        QTest::newRow("long neutral")
            << neutral << Layout::Long << hex("01 0080 0080 0080 0080 0000 0000 00 00 00 00000000");
        QTest::newRow("long face and shoulder")
            << faces << Layout::Long << hex("01 0080 0080 0080 0080 0000 0000 00 DB 00 00000000");
        QTest::newRow("long Y View Menu left click")
            << centre << Layout::Long << hex("01 0080 0080 0080 0080 0000 0000 00 10 2C 00000000");
        QTest::newRow("long axes dpad")
            << axes << Layout::Long << hex("01 3412 CDAB 0100 FFFF FF03 0002 08 00 00 00000000");
        QTest::newRow("short neutral")
            << neutral << Layout::Short << hex("0080 0080 0080 0080 00 00 00 00 0000");
        QTest::newRow("short face and shoulder")
            << faces << Layout::Short << hex("0080 0080 0080 0080 00 00 3F 00 0000");
        QTest::newRow("short Y View Menu left click")
            << centre << Layout::Short << hex("0080 0080 0080 0080 00 00 C8 01 0000");
        QTest::newRow("short down-left, right click")
            << dpad << Layout::Short << hex("0080 0080 0080 0080 00 00 00 1A 0000");
        QTest::newRow("short axes, mode")
            << axes << Layout::Short << hex("3412 CDAB 0100 FFFF 00 30 00 20 0000");
    }
    void inputReports()
    {
        QFETCH(InputState, input);
        QFETCH(Layout, layout);
        QFETCH(QByteArray, expected);
        const Bytes built = layout == Layout::Long ? ctrlsim::makeLongReport(input)
                                                   : ctrlsim::makeShortReport(input);
        QCOMPARE(toArray(built), expected);
        ctl->sendInput(input, layout);
        QCOMPARE(read(), expected);
    }

    void longReportLengthIsClamped()
    {
        InputState in;
        in.menu = true;
        const std::pair<int, int> cases[] = {{10, 17}, {17, 17}, {64, 64}, {100, 64}};
        for (const auto &[length, expected] : cases) {
            const Bytes r = ctrlsim::makeLongReport(in, length);
            QCOMPARE(int(r.size()), expected);
            QCOMPARE(int(r[15]), 0x08);
        }
    }

    void shortReportNeverLooksLikeAReply()
    {
        InputState in;
        in.lx = 0x00E1;
        in.ly = 0x3C00;
        const Bytes r = ctrlsim::makeShortReport(in);
        QVERIFY(!(r[0] == 0xE1 && r[1] == 0x00 && r[3] == 0x3C));
        QCOMPARE(toArray(r).mid(2, 2), hex("003C"));
        QVERIFY(std::abs(int(r[0] | r[1] << 8) - 0xE1) <= 1);
    }
};

QTEST_GUILESS_MAIN(TestControllerSim)
#include "tst_controllersim.moc"
