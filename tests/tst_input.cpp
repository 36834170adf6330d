#include "device/hidconfig.h"
#include "device/inputdecoder.h"

#include "controller/inputreport.h"
#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QSignalSpy>
#include <QtTest>

#include "loopthread.h"
#include "signalcounter.h"

namespace {

using ctrlsim::InputState;

// Gamepad triggers a test sets by hand.
class FakeTriggers : public TriggerSource
{
public:
    double left = 0, right = 0;
    bool connected = true;
    bool IsConnected(int id) const override { return connected && id == 0; }
    double Left(int) const override { return left; }
    double Right(int) const override { return right; }
};

} // namespace

class TestInput : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<HidConfig> m_config;
    FakeTriggers *m_triggers = nullptr;

    InputDecoder &input() { return m_config->Input(); }

    void sendLong(const InputState &s)
    {
        const auto r = ctrlsim::makeLongReport(s);
        input().DecodeLong(r.data(), int(r.size()));
    }
    void sendShort(const InputState &s)
    {
        const auto r = ctrlsim::makeShortReport(s);
        input().DecodeShort(r.data(), int(r.size()));
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            input().Tick();
    }

private slots:
    void init()
    {
        m_config = std::make_unique<HidConfig>();
        m_config->StopInputTimers(); // time advances only through Tick()
        auto triggers = std::make_unique<FakeTriggers>();
        m_triggers = triggers.get();
        input().SetTriggerSource(std::move(triggers));
    }

    void cleanup()
    {
        m_config.reset();
        vhid::Bus::instance().reset();
    }

    void heldButtonEmitsOncePerPress_data()
    {
        QTest::addColumn<bool>("shortLayout");
        QTest::newRow("long") << false;
        QTest::newRow("short") << true;
    }

    void heldButtonEmitsOncePerPress()
    {
        QFETCH(bool, shortLayout);
        QSignalSpy a(m_config.get(), &HidConfig::pressButtonA);
        InputState s;
        auto send = [&] { shortLayout ? sendShort(s) : sendLong(s); };
        s.a = true;
        send();
        send();
        send();
        QCOMPARE(a.count(), 1);
        s.a = false;
        send();
        s.a = true;
        send();
        QCOMPARE(a.count(), 2);
    }

    void buttonEntriesFollowTheReport_data()
    {
        QTest::addColumn<bool>("shortLayout");
        QTest::addColumn<int>("dpad");
        QTest::addColumn<bool>("stickClick");
        QTest::addColumn<QVector<int>>("set");
        QTest::addColumn<QString>("signal");
        QTest::newRow("long left") << false << 7 << false << QVector<int>{15} << "left";
        QTest::newRow("long up-left") << false << 8 << false << QVector<int>{12, 15} << "";
        QTest::newRow("long down-right") << false << 4 << false << QVector<int>{13, 14} << "";
        QTest::newRow("short right") << true << 3 << false << QVector<int>{13} << "right";
        QTest::newRow("short up-right") << true << 2 << false << QVector<int>{12, 13} << "";
        // Byte 11 = 29: the click masks the direction, and entry 15 needs exactly 28.
        QTest::newRow("short left + click") << true << 7 << true << QVector<int>{10} << "";
        QTest::newRow("long left + click") << false << 7 << true << QVector<int>{10, 15} << "left";
    }

    void buttonEntriesFollowTheReport()
    {
        QFETCH(bool, shortLayout);
        QFETCH(int, dpad);
        QFETCH(bool, stickClick);
        QFETCH(QVector<int>, set);
        QFETCH(QString, signal);
        QSignalSpy left(m_config.get(), &HidConfig::pressButtonLeft);
        QSignalSpy right(m_config.get(), &HidConfig::pressButtonRight);
        QSignalSpy up(m_config.get(), &HidConfig::pressButtonUp);
        QSignalSpy down(m_config.get(), &HidConfig::pressButtonDown);
        QSignalSpy states(m_config.get(), &HidConfig::pressButtons);
        InputState s;
        s.dpad = uint8_t(dpad);
        s.lstick = stickClick;
        shortLayout ? sendShort(s) : sendLong(s);
        QCOMPARE(left.count(), signal == "left" ? 1 : 0);
        QCOMPARE(right.count(), signal == "right" ? 1 : 0);
        QCOMPARE(up.count() + down.count(), 0);
        QCOMPARE(states.count(), 1);
        const auto state = qvariant_cast<ButtonStates>(states[0][0]);
        for (int i = 0; i < ButtonStates::kCount; ++i)
            QCOMPARE(state[i], set.contains(i));
    }

    void longLayoutReportsSticksTriggersThenButtons()
    {
        QStringList order;
        connect(m_config.get(), &HidConfig::stickValue, [&](ushort lx, ushort, ushort, ushort ry) {
            order << QString("stick %1 %2").arg(lx).arg(ry);
        });
        connect(m_config.get(), &HidConfig::triggerValue,
                [&](ushort l, ushort r) { order << QString("trigger %1 %2").arg(l).arg(r); });
        connect(m_config.get(), &HidConfig::pressButtons, [&](ButtonStates b) {
            order << QString("buttons %1%2%3%4").arg(b[8]).arg(b[9]).arg(b[16]).arg(b[17]);
        });
        InputState s;
        s.lx = 100;
        s.ry = 60000;
        s.lt = 1023;
        s.rt = 51;
        sendLong(s);
        QCOMPARE(order, (QStringList{"stick 100 60000", "trigger 1023 51", "buttons 1011"}));
        order.clear();
        sendShort(s); // no triggers in the short layout; entries come from the gamepad poll
        QCOMPARE(order, (QStringList{"stick 100 60000", "buttons 0000"}));
    }

    void downWithYHeldFinishesCalibration()
    {
        QSignalSpy finished(m_config.get(), &HidConfig::FinishedCalibra);
        InputState s;
        s.dpad = 5;
        sendLong(s);
        QCOMPARE(finished.count(), 0);
        s.y = true;
        sendLong(s);
        QCOMPARE(finished.count(), 1);
    }

    void heldDirectionRepeats()
    {
        QSignalSpy left(m_config.get(), &HidConfig::pressButtonLeft);
        InputState s;
        s.dpad = 7;
        sendLong(s);
        QCOMPARE(left.count(), 1);
        ticks(99);
        QCOMPARE(left.count(), 1);
        ticks(1); // 1 s
        QCOMPARE(left.count(), 2);
        ticks(30); // then every 100 ms
        QCOMPARE(left.count(), 5);
    }

    void longPress_data()
    {
        QTest::addColumn<bool>("buttonB");
        QTest::newRow("B") << true;
        QTest::newRow("Y") << false;
    }

    void longPress()
    {
        QFETCH(bool, buttonB);
        QSignalSpy progress(m_config.get(), buttonB ? &HidConfig::LoadingProgressButtonB
                                                    : &HidConfig::LoadingProgress);
        QSignalSpy exitTest(m_config.get(), &HidConfig::ExitTest);
        QSignalSpy resetY(m_config.get(), &HidConfig::pressButtonResetY);
        InputState s;
        (buttonB ? s.b : s.y) = true;
        sendLong(s);
        ticks(99);
        QCOMPARE(progress.count(), 0);
        ticks(201);
        QCOMPARE(progress.count(), 201);
        QCOMPARE(progress.first()[0].toInt(), 0);
        QCOMPARE(progress.last()[0].toInt(), 200);
        QCOMPARE(exitTest.count(), buttonB ? 1 : 0);
        QCOMPARE(resetY.count(), buttonB ? 0 : 1);
        ticks(500); // fires once per press
        QCOMPARE(exitTest.count() + resetY.count(), 1);
        QCOMPARE(progress.count(), 201);
        (buttonB ? s.b : s.y) = false;
        sendLong(s);
        ticks(1);
        QCOMPARE(progress.last()[0].toInt(), 0);
    }

    void releaseBeforeThreeSecondsResetsProgress()
    {
        QSignalSpy progress(m_config.get(), &HidConfig::LoadingProgressButtonB);
        QSignalSpy exitTest(m_config.get(), &HidConfig::ExitTest);
        InputState s;
        s.b = true;
        sendLong(s);
        ticks(150);
        s.b = false;
        sendLong(s);
        ticks(1);
        QCOMPARE(progress.last()[0].toInt(), 0);
        QCOMPARE(exitTest.count(), 0);
    }

    void turboFlickerKeepsOneLongPress_data()
    {
        QTest::addColumn<bool>("turbo");
        QTest::addColumn<int>("gapTicks");
        QTest::addColumn<bool>("fires");
        QTest::newRow("turbo, 190 ms gaps") << true << 19 << true;
        QTest::newRow("turbo, 200 ms gaps") << true << 20 << false;
        QTest::newRow("no turbo, 10 ms gaps") << false << 1 << false;
    }

    void turboFlickerKeepsOneLongPress()
    {
        QFETCH(bool, turbo);
        QFETCH(int, gapTicks);
        QFETCH(bool, fires);
        m_config->Profiles().EditActive(
            [&](PROFILE_INFO &record) { record.turboMask = turbo ? 0x08 : 0x00; });
        QSignalSpy resetY(m_config.get(), &HidConfig::pressButtonResetY);
        InputState s;
        for (int round = 0; round < 20; ++round) {
            s.y = true;
            sendLong(s);
            ticks(10);
            s.y = false;
            sendLong(s);
            ticks(gapTicks);
        }
        QCOMPARE(resetY.count(), fires ? 1 : 0);
    }

    void gamepadTriggers()
    {
        QSignalSpy trigger(m_config.get(), &HidConfig::triggerValue);
        QSignalSpy states(m_config.get(), &HidConfig::pressButtons);
        m_triggers->left = 1.0;
        m_triggers->right = 0.5;
        input().PollTriggers();
        QCOMPARE(trigger.count(), 1);
        QCOMPARE(trigger[0][0].toInt(), 1023);
        QCOMPARE(trigger[0][1].toInt(), 511);
        QVERIFY(qvariant_cast<ButtonStates>(states.last()[0])[8]);
        // Released: one report of zero, then silence.
        m_triggers->left = m_triggers->right = 0;
        input().PollTriggers();
        input().PollTriggers();
        QCOMPARE(trigger.count(), 2);
        QCOMPARE(trigger[1][0].toInt(), 0);
        QVERIFY(!qvariant_cast<ButtonStates>(states.last()[0])[8]);
        QCOMPARE(states.count(), 2);
    }

    // The 10 ms poll must not run other events from inside itself: a handler it ran could
    // start another poll, or a page change, in the middle of this one.
    void triggerPollRunsNoOtherEvents()
    {
        bool ran = false;
        QTimer::singleShot(0, m_config.get(), [&ran] { ran = true; });
        m_triggers->left = 0.5;
        input().PollTriggers();
        QVERIFY(!ran);
        QTRY_VERIFY(ran);
    }

    void reportMode80ReportsOnlyFullTriggers()
    {
        InputState s;
        s.reportMode = 0x80;
        sendShort(s);
        QSignalSpy trigger(m_config.get(), &HidConfig::triggerValue);
        m_triggers->left = 0.5;
        input().PollTriggers();
        QCOMPARE(trigger.count(), 0);
        m_triggers->left = m_triggers->right = 1.0;
        input().PollTriggers();
        QCOMPARE(trigger.count(), 1);
    }

    // From the simulator through the read loop to a receiver on this thread.
    void reportsFromTheDeviceReachTheGuiThread()
    {
        auto device = ctrlsim::SimulatedController::plug(0x400C);
        QVERIFY(m_config->OpenSlot(0, QString::fromStdString(device->path())));
        m_config->SetReading(true);
        LoopThread<HidConfig> loop(*m_config);
        QObject receiver;
        int pressed = 0;
        connect(
            m_config.get(), &HidConfig::pressButtonA, &receiver, [&] { ++pressed; },
            Qt::QueuedConnection);
        InputState s;
        s.a = true;
        device->sendInput(s, ctrlsim::SimulatedController::Layout::Short);
        QTRY_COMPARE(pressed, 1);
        QVERIFY(loop.stop());
    }
};

QTEST_MAIN(TestInput)
#include "tst_input.moc"
