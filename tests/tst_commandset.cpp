#include "device/hidslot.h"
#include "protocol/controllerscommunication.h"
#include "protocol/crc16.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/node.h"

#include <QtTest>

#include "pauserecorder.h"
#include <functional>

namespace {

using Frame = std::vector<uint8_t>;
using Send = std::function<bool(ControllersCommunication &, PROFILE_INFO &)>;

// One command: how to send it, its code, which report bytes come from which record
// bytes, and which report bytes are fixed values.
struct CommandCase
{
    Send send;
    uint8_t code = 0;
    QVector<QPair<int, int>> fromRecord; // report offset, record offset
    QVector<QPair<int, int>> fixed;      // report offset, value
};

QVector<QPair<int, int>> recordRange(int reportOffset, int recordOffset, int count)
{
    QVector<QPair<int, int>> pairs;
    for (int i = 0; i < count; ++i)
        pairs.append({reportOffset + i, recordOffset + i});
    return pairs;
}

PROFILE_INFO distinctRecord()
{
    PROFILE_INFO record{};
    for (int i = 0; i < PROFILE_INFO::kSize; ++i)
        record.bytes()[i] = static_cast<uint8_t>(i * 7 + 3);
    return record;
}

Frame expectedFrame(const CommandCase &c, const PROFILE_INFO &record)
{
    Frame frame(64, 0);
    frame[0] = 0xE1;
    frame[1] = 0x00;
    frame[2] = 0x01;
    frame[3] = 0x3C;
    frame[4] = c.code;
    for (const auto &p : c.fromRecord)
        frame[p.first] = record.bytes()[p.second];
    for (const auto &p : c.fixed)
        frame[p.first] = static_cast<uint8_t>(p.second);
    const uint16_t crc = crc16::kermit(frame.data() + 4, 58);
    frame[62] = static_cast<uint8_t>(crc >> 8);
    frame[63] = static_cast<uint8_t>(crc);
    return frame;
}

} // namespace

Q_DECLARE_METATYPE(CommandCase)

class TestCommandSet : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ctrlsim::SimulatedController> m_device;
    HidSlot m_slot;
    PauseRecorder m_com;

    ctrlsim::ControllerFirmware &firmware() { return m_device->firmware(); }

private slots:
    void init()
    {
        m_device = ctrlsim::SimulatedController::plug(0x400C);
        QVERIFY(m_slot.openPath(m_device->path().c_str()));
        m_com.SetHandle(&m_slot);
        m_com.framesSoFar = [this] { return firmware().frames().size(); };
        m_com.pauses.clear();
    }

    void cleanup()
    {
        m_slot.close();
        m_device.reset();
    }

    void everyCommandFramesItsParameters_data()
    {
        QTest::addColumn<CommandCase>("command");
        auto row = [](const char *name, uint8_t code, Send send,
                      QVector<QPair<int, int>> fromRecord = {},
                      QVector<QPair<int, int>> fixed = {}) {
            QTest::newRow(name) << CommandCase{send, code, fromRecord, fixed};
        };
        using C = ControllersCommunication;
        row("StartCalibration", 0x20, [](C &c, PROFILE_INFO &) { return c.StartCalibration(); }, {},
            {{5, 0x22}});
        row("EndCalibration", 0x30, [](C &c, PROFILE_INFO &) { return c.EndCalibration(); }, {},
            {{5, 0x32}});
        row(
            "SetButtonMapping", 0xA1, [](C &c, PROFILE_INFO &r) { return c.SetButtonMapping(r); },
            recordRange(5, 0, 20));
        row("GetButtonMapping", 0xA2, [](C &c, PROFILE_INFO &) { return c.GetButtonMapping(); });
        row(
            "SetStickDeadZone", 0xA5, [](C &c, PROFILE_INFO &r) { return c.SetStickDeadZone(r); },
            recordRange(5, 27, 4));
        row("GetStickDeadZone", 0xA6, [](C &c, PROFILE_INFO &) { return c.GetStickDeadZone(); });
        row(
            "SetStickAxis", 0xA7, [](C &c, PROFILE_INFO &r) { return c.SetStickAxis(r); },
            recordRange(5, 23, 4));
        row("GetStickAxis", 0xA8, [](C &c, PROFILE_INFO &) { return c.GetStickAxis(); });
        row(
            "SetVibrationStrength", 0xA9,
            [](C &c, PROFILE_INFO &r) { return c.SetVibrationStrength(r); }, recordRange(5, 62, 4));
        row("GetVibRationStrength", 0xAA,
            [](C &c, PROFILE_INFO &) { return c.GetVibRationStrength(); });
        row("SetLight item 1 zone 2", 0xAD,
            [](C &c, PROFILE_INFO &r) { return c.SetLight(1, 2, r); }, {{7, 66 + 12 + 1}},
            {{5, 1}, {6, 2}});
        row("SetLight colour zone 3", 0xAD,
            [](C &c, PROFILE_INFO &r) { return c.SetLight(3, 3, r); }, recordRange(7, 69 + 18, 3),
            {{5, 3}, {6, 3}});
        row("SetLight item 0 zone 0", 0xAD,
            [](C &c, PROFILE_INFO &r) { return c.SetLight(0, 0, r); }, {{7, 66}}, {{5, 0}, {6, 0}});
        row("GetLight", 0xAE, [](C &c, PROFILE_INFO &) { return c.GetLight(2, 1); }, {},
            {{5, 2}, {6, 1}});
        row("SetCurrentProfile", 0xB1, [](C &c, PROFILE_INFO &) { return c.SetCurrentProfile(2); },
            {}, {{5, 2}});
        row("GetCurrentProfile", 0xB2, [](C &c, PROFILE_INFO &) { return c.GetCurrentProfile(); });
        row("GetStatusByte", 0xB3, [](C &c, PROFILE_INFO &) { return c.GetStatusByte(); });
        row("SetTtriggerDeadZone 1/2", 0xB4,
            [](C &c, PROFILE_INFO &r) { return c.SetTtriggerDeadZone(1, 2, r); },
            {{7, 51}, {8, 54}, {9, 58}, {10, 61}}, {{5, 1}, {6, 2}});
        row("GetTriggerDeadZone", 0xB5,
            [](C &c, PROFILE_INFO &) { return c.GetTriggerDeadZone(1, 1); }, {}, {{5, 1}, {6, 1}});
        row("GetTriggerLock", 0xB7, [](C &c, PROFILE_INFO &) { return c.GetTriggerLock(); });
        row("SetTurbo", 0xB8, [](C &c, PROFILE_INFO &r) { return c.SetTurbo(r); }, {{5, 20}});
        row("GetTurbo", 0xB9, [](C &c, PROFILE_INFO &) { return c.GetTurbo(); });
        row("SetStickCurve 0", 0xBA, [](C &c, PROFILE_INFO &r) { return c.SetStickCurve(0, r); },
            recordRange(6, 32, 8), {{5, 0}});
        row("SetStickCurve 1", 0xBA, [](C &c, PROFILE_INFO &r) { return c.SetStickCurve(1, r); },
            recordRange(6, 40, 8), {{5, 1}});
        row("GetStickCurve", 0xBB, [](C &c, PROFILE_INFO &) { return c.GetStickCurve(1); }, {},
            {{5, 1}});
        row("EnterUpdateMode", 0xBC, [](C &c, PROFILE_INFO &) { return c.EnterUpdateMode(); });
        row("SetVibrationTest", 0xBD,
            [](C &c, PROFILE_INFO &) { return c.SetVibrationTest(40, 100); }, {},
            {{7, 40}, {8, 100}});
        row("SetProfileName", 0xC0,
            [](C &c, PROFILE_INFO &) { return c.SetProfileName(1, QStringLiteral("FPS")); }, {},
            {{5, 1}, {6, 3}, {7, 'F'}, {8, 'P'}, {9, 'S'}});
        row("GetProfileName", 0xC1, [](C &c, PROFILE_INFO &) { return c.GetProfileName(2); }, {},
            {{5, 2}});
        row("ResetToDefault", 0xF1, [](C &c, PROFILE_INFO &) { return c.ResetToDefault(); });
        row("GetDeviceInfo", 0xFA, [](C &c, PROFILE_INFO &) { return c.GetDeviceInfo(); });
        row("SaveConfig", 0xFB, [](C &c, PROFILE_INFO &) { return c.SaveConfig(); });
    }

    void everyCommandFramesItsParameters()
    {
        QFETCH(CommandCase, command);
        PROFILE_INFO record = distinctRecord();
        const PROFILE_INFO before = record;
        QVERIFY(command.send(m_com, record));
        QVERIFY(m_com.LastWriteSucceeded());
        // The device accepts only frames with a valid header and CRC.
        const auto frames = firmware().frames();
        QCOMPARE(frames.size(), size_t(1));
        QCOMPARE(frames[0], expectedFrame(command, record));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(record.bytes()), 90),
                 QByteArray(reinterpret_cast<const char *>(before.bytes()), 90));
    }

    void outOfRangeArgumentsSendNothing_data()
    {
        QTest::addColumn<CommandCase>("command");
        using C = ControllersCommunication;
        QTest::newRow("light zone 4")
            << CommandCase{[](C &c, PROFILE_INFO &r) { return c.SetLight(0, 4, r); }, 0, {}, {}};
        QTest::newRow("light item 4")
            << CommandCase{[](C &c, PROFILE_INFO &r) { return c.SetLight(4, 0, r); }, 0, {}, {}};
        QTest::newRow("trigger level 3") << CommandCase{
            [](C &c, PROFILE_INFO &r) { return c.SetTtriggerDeadZone(0, 3, r); }, 0, {}, {}};
        QTest::newRow("curve half 2")
            << CommandCase{[](C &c, PROFILE_INFO &r) { return c.SetStickCurve(2, r); }, 0, {}, {}};
    }

    void outOfRangeArgumentsSendNothing()
    {
        QFETCH(CommandCase, command);
        PROFILE_INFO record = distinctRecord();
        QVERIFY(!command.send(m_com, record));
        QVERIFY(firmware().rawReports().empty());
    }

    void profileNameIsCutToFitTheFrame_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("sent");
        const QString ascii55(55, QLatin1Char('a'));
        QTest::newRow("55 bytes reach byte 61") << ascii55 << ascii55.toUtf8();
        QTest::newRow("60 bytes cut to 55") << QString(60, QLatin1Char('b')) << QByteArray(55, 'b');
        const QString split = QString(54, QLatin1Char('c')) + QString::fromUtf8("é");
        QTest::newRow("no half character") << split << QByteArray(54, 'c');
        QTest::newRow("utf8") << QString::fromUtf8("射击 Ü")
                              << QString::fromUtf8("射击 Ü").toUtf8();
        QTest::newRow("empty") << QString() << QByteArray();
    }

    void profileNameIsCutToFitTheFrame()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, sent);
        QVERIFY(m_com.SetProfileName(0, name));
        const auto frames = firmware().frames();
        QCOMPARE(frames.size(), size_t(1));
        QCOMPARE(int(frames[0][6]), sent.size());
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(frames[0].data() + 7), sent.size()),
                 sent);
        QCOMPARE(QByteArray::fromStdString(firmware().state().names[0]), sent);
    }

    void noHandleSendsNothing()
    {
        m_com.SetHandle(nullptr);
        QTest::ignoreMessage(QtDebugMsg, "handle 为空");
        QVERIFY(!m_com.SaveConfig());
        HidSlot closed;
        m_com.SetHandle(&closed);
        QTest::ignoreMessage(QtDebugMsg, "handle 为空");
        QVERIFY(!m_com.GetTurbo());
        QVERIFY(firmware().rawReports().empty());
    }

    void closedSlotIsNeverWrittenAgain()
    {
        QVERIFY(m_com.GetTurbo());
        m_slot.close();
        QTest::ignoreMessage(QtDebugMsg, "handle 为空");
        QVERIFY(!m_com.GetTurbo());
        QCOMPARE(firmware().rawReports().size(), size_t(1));
    }

    void writeErrorIsReportedAndNotRetried()
    {
        QVERIFY(m_com.GetTurbo());
        QVERIFY(m_com.LastWriteSucceeded());
        m_device->node().failNextWrites(1);
        QTest::ignoreMessage(QtDebugMsg, "write error");
        QVERIFY(!m_com.GetTurbo());
        QVERIFY(!m_com.LastWriteSucceeded());
        QCOMPARE(m_device->node().writeCalls(), uint64_t(2));
        QVERIFY(m_com.GetTurbo());
        QVERIFY(m_com.LastWriteSucceeded());
    }

    void writeThenSavePausesAfterEachWrite()
    {
        PROFILE_INFO record = distinctRecord();
        QVERIFY(m_com.WriteThenSave({[&] { return m_com.SetStickCurve(0, record); },
                                     [&] { return m_com.SetStickCurve(1, record); },
                                     [&] { return m_com.SetStickAxis(record); }}));
        const auto frames = firmware().frames();
        QCOMPARE(frames.size(), size_t(4));
        QCOMPARE(frames[0][4], uint8_t(0xBA));
        QCOMPARE(frames[2][4], uint8_t(0xA7));
        QCOMPARE(frames[3][4], uint8_t(0xFB));
        QCOMPARE(m_com.pauses, (QVector<size_t>{1, 2, 3}));
    }

    void applyProfileSendsTheWholeRecordInOrder()
    {
        PROFILE_INFO record = distinctRecord();
        record.stickCurveSide = 0;
        QVERIFY(m_com.ApplyProfile(record));
        QCOMPARE(record.stickCurveSide, uint8_t(1));

        const auto frames = firmware().frames();
        QVector<QPair<int, int>> order; // code, first parameter
        for (const auto &f : frames)
            order.append({f[4], f[5]});
        QVector<QPair<int, int>> expected{{0xA1, record.buttonMap[0]},
                                          {0xB8, record.turboMask},
                                          {0xBA, 0},
                                          {0xBA, 1},
                                          {0xA7, record.stickReverseLX},
                                          {0xA5, record.stickInsideL},
                                          {0xB4, 0},
                                          {0xB4, 1},
                                          {0xB4, 2},
                                          {0xA9, record.triggerVibrationL}};
        for (int zone = 0; zone < 4; ++zone)
            for (int item = 0; item < 4; ++item)
                expected.append({0xAD, item});
        expected.append({0xFB, 0});
        QCOMPARE(order, expected);
        for (int i = 6; i <= 8; ++i)
            QCOMPARE(frames[size_t(i)][6], frames[size_t(i)][5]); // left level == right level

        QVector<size_t> pauses;
        for (size_t i = 1; i < frames.size(); ++i)
            pauses.append(i);
        QCOMPARE(m_com.pauses, pauses);

        // The device now holds the record, except the bytes apply never sends.
        const auto state = firmware().state();
        const auto &stored = state.profiles[size_t(state.activeProfile)];
        const auto factory =
            ctrlsim::DeviceState::sane(0x400C).profiles[size_t(state.activeProfile)];
        for (int i = 0; i < 90; ++i) {
            const bool neverSent = i == 21 || i == 22 || i == 31 || i == 48 || i == 49;
            QCOMPARE(stored[size_t(i)], neverSent ? factory[size_t(i)] : record.bytes()[i]);
        }
        QCOMPARE(state.saveCount, 1);
    }

    void applyIgnoresBytesItNeverSends()
    {
        PROFILE_INFO a = distinctRecord();
        PROFILE_INFO b = a;
        b.statusByte ^= 0xFF;
        b.currentProfile ^= 0xFF;
        b.triggerLockL ^= 0xFF;
        b.triggerLockR ^= 0xFF;
        b.stickCurveSide = 0x55;
        QVERIFY(m_com.ApplyProfile(a));
        const auto first = firmware().frames();
        firmware().clearLog();
        QVERIFY(m_com.ApplyProfile(b));
        QVERIFY(firmware().frames() == first);
    }
};

QTEST_GUILESS_MAIN(TestCommandSet)
#include "tst_commandset.moc"
