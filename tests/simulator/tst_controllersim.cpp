#include "controller/crc16kermit.h"
#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <hidapi.h>

#include <QtTest>

#include <chrono>

using ctrlsim::DeviceState;
using ctrlsim::InputState;
using ctrlsim::SimulatedController;
using Bytes = std::vector<uint8_t>;
using Layout = SimulatedController::Layout;
Q_DECLARE_METATYPE(InputState)
Q_DECLARE_METATYPE(Layout)

class TestControllerSim : public QObject
{
    Q_OBJECT

    static constexpr int kActive = 1; // reads and writes must hit this profile, not profile 0
    std::unique_ptr<SimulatedController> ctl;
    hid_device *dev = nullptr;

    static uint8_t known(int profile, int offset) { return uint8_t(1 + offset + 80 * profile); }
    static QByteArray hex(const char *h) { return QByteArray::fromHex(h); }
    static QByteArray toArray(const Bytes &b)
    {
        return QByteArray((const char *)b.data(), b.size());
    }
    static DeviceState knownState()
    {
        DeviceState s;
        s.productId = 0x1001;
        for (size_t p = 0; p < 3; ++p) {
            for (size_t i = 0; i < 90; ++i) {
                s.profiles[p][i] = known(int(p), int(i));
            }
        }
        s.saved = s.profiles;
        s.names = {"Alpha", "Beta", "Gamma"};
        s.activeProfile = kActive;
        return s;
    }
    // A command frame assembled here, independently of the simulator's own frame code.
    static QByteArray command(int code, const QByteArray &params = {})
    {
        QByteArray f = hex("E100013C") + char(code) + params.left(57);
        f += QByteArray(62 - f.size(), '\0');
        const uint16_t crc = ctrlsim::crc16Kermit((const uint8_t *)f.data() + 4, 58);
        return f + char(crc >> 8) + char(crc & 0xFF);
    }
    int write(const QByteArray &d) { return hid_write(dev, (const uint8_t *)d.data(), d.size()); }
    QByteArray read(int timeoutMs = 10000) // a "did not hang" bound only
    {
        unsigned char buf[128];
        const int n = hid_read_timeout(dev, buf, sizeof buf, timeoutMs);
        return n > 0 ? QByteArray((const char *)buf, n) : QByteArray();
    }
    QByteArray request(const QByteArray &f) { return write(f) == f.size() ? read() : QByteArray(); }
    // Replies arrive in order and at once, so if `frame` answered, B2's reply would not be first.
    bool hadNoReply(const QByteArray &frame)
    {
        write(frame);
        const QByteArray next = request(command(0xB2));
        return next.size() == 64 && uint8_t(next[4]) == 0xB2;
    }
    int turbo(int profile) const { return ctl->firmware().state().profiles[size_t(profile)][20]; }

private slots:
    void init()
    {
        ctl = SimulatedController::plug(0x1001, knownState());
        QVERIFY(dev = hid_open_path(ctl->path().c_str()));
    }
    void cleanup()
    {
        hid_close(dev);
        ctl.reset();
        QCOMPARE(int(vhid::Bus::instance().nodes().size()), 0);
        QCOMPARE(vhid::Bus::instance().openHandleCount(), 0);
    }

    void badFramesAreIgnoredButLogged_data()
    {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<bool>("accepted");
        const QByteArray good = command(0xB8, hex("77")); // sets turbo to 0x77
        const auto flip = [&good](int at, int bits) {
            QByteArray f = good;
            f[at] = char(f[at] ^ bits);
            return f;
        };
        QTest::newRow("valid") << good << true;
        QTest::newRow("valid behind report id 0") << QByteArray(1, 0) + good << true;
        QTest::newRow("CRC high byte wrong") << flip(62, 1) << false;
        QTest::newRow("CRC low byte wrong") << flip(63, 1) << false;
        QTest::newRow("parameter changed after CRC") << flip(5, 1) << false;
        QTest::newRow("header byte 0 wrong") << flip(0, 0x40) << false;
        QTest::newRow("header byte 3 wrong") << flip(3, 0x40) << false;
        QTest::newRow("63 bytes") << good.left(63) << false;
        QTest::newRow("65 bytes, first E1") << good + '\0' << false;
    }
    void badFramesAreIgnoredButLogged()
    {
        QFETCH(QByteArray, written);
        QFETCH(bool, accepted);
        QCOMPARE(write(written), written.size());
        const auto raw = ctl->firmware().rawReports();
        QCOMPARE(int(raw.size()), 1);
        QCOMPARE(toArray(raw[0]), written.startsWith('\0') ? written.mid(1) : written);
        QCOMPARE(int(ctl->firmware().frames().size()), accepted ? 1 : 0);
        QCOMPARE(turbo(kActive), accepted ? 0x77 : known(kActive, 20));
    }

    void outOfRangeIsIgnored_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("AD zone 4") << command(0xAD, hex("0004EE"));
        QTest::newRow("B4 level 3") << command(0xB4, hex("03000A0B0C0D"));
        QTest::newRow("BA half 2") << command(0xBA, hex("02") + QByteArray(8, 'z'));
        QTest::newRow("C0 56 bytes") << command(0xC0, hex("0138") + QByteArray(56, 'y'));
        QTest::newRow("C0 profile 3") << command(0xC0, hex("0301") + "z");
        QTest::newRow("B1 profile 3") << command(0xB1, hex("03"));
    }
    void outOfRangeIsIgnored()
    {
        QFETCH(QByteArray, frame);
        QVERIFY(hadNoReply(frame));
        const DeviceState s = ctl->firmware().state(), initial = knownState();
        QCOMPARE(s.profiles, initial.profiles);
        QCOMPARE(s.names, initial.names);
        QCOMPARE(s.activeProfile, kActive);
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
        QCOMPARE(int(uint8_t(request(command(0xB9))[5])), int(known(profile, 20)));
        QVERIFY(hadNoReply(command(0xB8, hex("44"))));
        for (int p = 0; p < 3; ++p) {
            QCOMPARE(turbo(p), p == profile ? 0x44 : known(p, 20));
        }
    }

    void saveConfigCommitsAndFactoryResetRestores()
    {
        QVERIFY(hadNoReply(command(0xB8, hex("44"))));
        QCOMPARE(ctl->firmware().state().saved, knownState().saved); // not yet committed
        QVERIFY(hadNoReply(command(0xFB)));
        DeviceState s = ctl->firmware().state();
        QCOMPARE(s.saved, s.profiles);
        QCOMPARE(s.saveCount, 1);
        QVERIFY(hadNoReply(command(0xC0, hex("0003") + "New")));
        QCOMPARE(request(command(0xB1, hex("02"))), command(0xB1));
        QVERIFY(hadNoReply(command(0xF1)));
        s = ctl->firmware().state();
        QCOMPARE(s.profiles, knownState().profiles);
        QCOMPARE(s.names, knownState().names);
        QCOMPARE(s.activeProfile, kActive);
        QCOMPARE(s.resetCount, 1);
    }

    void nameRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("UTF-8") << QString::fromUtf8("Ünïcødé 名前 🎮").toUtf8();
        QTest::newRow("55 bytes, the most") << QByteArray(55, 'x');
    }
    void nameRoundTrip()
    {
        QFETCH(QByteArray, name);
        const QByteArray record = hex("02") + char(name.size()) + name;
        QVERIFY(hadNoReply(command(0xC0, record)));
        QCOMPARE(request(command(0xC1, hex("02"))), command(0xC1, record));
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
    }

    void inputReports_data()
    {
        QTest::addColumn<InputState>("input");
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QByteArray>("expected");
        InputState buttons, axes, dpad;
        buttons.a = buttons.b = buttons.x = buttons.y = buttons.lb = buttons.rb = true;
        buttons.view = buttons.menu = buttons.lstick = true;
        axes.lx = 0x1234, axes.ly = 0xABCD, axes.rx = 0x0001, axes.ry = 0xFFFF;
        axes.lt = 1023, axes.rt = 512, axes.dpad = 8, axes.reportMode = 0x30;
        dpad.dpad = 6, dpad.rstick = true;
        QTest::newRow("long, buttons")
            << buttons << Layout::Long << hex("01 0080 0080 0080 0080 0000 0000 00 DB 2C 00000000");
        QTest::newRow("long, axes and dpad")
            << axes << Layout::Long << hex("01 3412 CDAB 0100 FFFF FF03 0002 08 00 00 00000000");
        QTest::newRow("short, buttons")
            << buttons << Layout::Short << hex("0080 0080 0080 0080 00 00 FF 01 0000");
        QTest::newRow("short, down-left and right click")
            << dpad << Layout::Short << hex("0080 0080 0080 0080 00 00 00 1A 0000");
        QTest::newRow("short, axes and mode")
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
};

QTEST_GUILESS_MAIN(TestControllerSim)
#include "tst_controllersim.moc"
