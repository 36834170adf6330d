#include "device/buttonstates.h"
#include "device/hidconfig.h"
#include "ui/pageids.h"
#include "ui/testpage/testpage.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

#include "pagebench.h"
#include "widgets/deadzoneexpan.h"

namespace {

using Bytes = QVector<int>;

QString Motors(int left, int right)
{
    return CommandText(0xBD, {0, 0, left, right});
}

// Dead zones as 0xA5 carries them: inner L, outer L, inner R, outer R.
QString DeadZones(int innerL, int outerL, int innerR, int outerR)
{
    return CommandText(0xA5, {innerL, outerL, innerR, outerR});
}

ButtonStates Pressed(std::initializer_list<int> indices)
{
    ButtonStates state;
    for (int i : indices)
        state[i] = true;
    return state;
}

// A step of a motor test: A held or not, then the two trigger values.
struct Pull
{
    bool a;
    int left;
    int right;
};

} // namespace

Q_DECLARE_METATYPE(QVector<Pull>)

class TestTestPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<PageBench> m_bench;
    std::unique_ptr<TestPage> m_page;

    template <typename T> T *child(const QString &name) { return PageChild<T>(m_page.get(), name); }

    QStringList frames()
    {
        QStringList texts;
        for (const auto &f : m_bench->Frames())
            texts << CommandText(f, f[4] == 0xA5 || f[4] == 0xBD ? 4 : 0);
        return texts;
    }

    // The record's dead zones: inner L 10, outer L 90, inner R 20, outer R 80.
    void loadRecord()
    {
        PROFILE_INFO record{};
        record.stickInsideL = 10;
        record.stickOutsideL = 90;
        record.stickInsideR = 20;
        record.stickOutsideR = 80;
        m_bench->Config().Profiles().SetRecord(0, record);
        m_page->StartTest();
    }

    void holdStick(bool a, ushort lx, ushort rx, int ticks)
    {
        m_page->TestButtons(a ? Pressed({0}) : Pressed({}));
        for (int i = 0; i < ticks; ++i) {
            // The controller keeps reporting the held position.
            m_page->stickValue(lx, 32768, rx, 32768);
            m_page->onDeadZoneDeal();
        }
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

    void init()
    {
        m_bench = std::make_unique<PageBench>();
        QVERIFY(m_bench->IsOpen());
        m_page = std::make_unique<TestPage>(&m_bench->Config());
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        loadRecord();
    }

    void cleanup()
    {
        m_page.reset();
        m_bench.reset();
    }

    // Each pressed-state entry lights its own indicator and no other.
    void indicatorsFollowTheButtons()
    {
        const QStringList names = {"lblBtnA",    "lblBtnB",     "lblBtnX",    "lblBtnY",
                                   "lblBtnView", "lblBtnMenu",  "lblBtnLB",   "lblBtnRB",
                                   "lblBtnLT",   "lblBtnRT",    "lblBtnL",    "lblBtnR",
                                   "lblpadUp",   "lblpadRight", "lblpadDown", "lblpadLeft"};
        for (int i = 0; i < names.size(); ++i) {
            m_page->TestButtons(Pressed({i}));
            QTRY_VERIFY2(!child<QLabel>(names[i])->isEnabled(), qPrintable(names[i]));
            for (int j = 0; j < names.size(); ++j)
                if (j != i)
                    QVERIFY2(child<QLabel>(names[j])->isEnabled(), qPrintable(names[j]));
        }
        m_page->TestButtons(Pressed({}));
        QTRY_VERIFY(child<QLabel>("lblpadLeft")->isEnabled());
    }

    // The dots and the bars follow the last report; a burst within one frame is shown once,
    // with its last values.
    void sticksAndTriggersShowTheLastReport()
    {
        QSignalSpy shown(m_page.get(), &TestPage::InputShown);
        QTest::qWait(20);
        m_page->stickValue(0, 65535, 65535, 0);
        m_page->triggerValue(512, 1023);
        for (int i = 0; i < 50; ++i)
            m_page->stickValue(65535, 0, 0, 65535);
        QTRY_COMPARE(child<QLabel>("lblMoveStickL")->pos(), QPoint(87, 0));
        QCOMPARE(child<QLabel>("lblMoveStickR")->pos(), QPoint(0, 87));
        QCOMPARE(child<QProgressBar>("progressBarLT")->value(), 512);
        QCOMPARE(child<QProgressBar>("progressBarRT")->value(), 1023);
        QVERIFY(shown.count() < 10);
        m_page->StartTest();
        QCOMPARE(child<QLabel>("lblMoveStickL")->pos(), QPoint(43, 43));
    }

    void viewAndMenuOpenTheCalibration_data()
    {
        QTest::addColumn<QVector<int>>("holds"); // ticks of each View + Menu hold
        QTest::addColumn<bool>("opens");
        QTest::newRow("200 ticks") << QVector<int>{200} << true;
        QTest::newRow("199 ticks") << QVector<int>{199} << false;
        QTest::newRow("a release resets the count") << QVector<int>{150, 150} << false;
        QTest::newRow("a full hold after a short one") << QVector<int>{100, 200} << true;
    }

    void viewAndMenuOpenTheCalibration()
    {
        QFETCH(QVector<int>, holds);
        QFETCH(bool, opens);
        QSignalSpy pages(m_page.get(), &TestPage::mainWinPageShow);
        for (int ticks : holds) {
            // The ticks are counted here, not by the page's own timer.
            m_page->TestButtons(Pressed({4, 5}));
            for (int i = 0; i < ticks; ++i)
                m_page->onCalTime();
            // Menu released: the count starts again.
            m_page->TestButtons(Pressed({4}));
            QCOMPARE(child<QProgressBar>("progressBarLoading_2")->value(), 0);
            QCOMPARE(m_page->CalibrationHold(), 0);
        }
        QCOMPARE(pages.count(), opens ? 1 : 0);
        if (opens)
            QCOMPARE(pages.at(0).at(0).toInt(), PageId::Calibration);
    }

    void motorTest_data()
    {
        QTest::addColumn<QVector<Pull>>("pulls");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("left trigger with A drives the left motor only")
            << QVector<Pull>{{true, 1023, 0}} << QStringList{Motors(100, 0)};
        QTest::newRow("right trigger half pulled")
            << QVector<Pull>{{true, 0, 512}} << QStringList{Motors(0, 50)};
        QTest::newRow("without A nothing runs")
            << QVector<Pull>{{false, 1023, 1023}} << QStringList{};
        QTest::newRow("releasing A stops both once")
            << QVector<Pull>{{true, 1023, 1023}, {false, 1023, 1023}, {false, 1023, 1023}}
            << QStringList{Motors(100, 100), Motors(0, 0)};
        QTest::newRow("releasing the triggers stops both once")
            << QVector<Pull>{{true, 300, 0}, {true, 0, 0}, {true, 0, 0}}
            << QStringList{Motors(29, 0), Motors(0, 0)};
    }

    void motorTest()
    {
        QFETCH(QVector<Pull>, pulls);
        QFETCH(QStringList, sent);
        for (const Pull &pull : pulls) {
            m_page->TestButtons(pull.a ? Pressed({0}) : Pressed({}));
            m_page->triggerValue(ushort(pull.left), ushort(pull.right));
        }
        QCOMPARE(frames(), sent);
    }

    // Whatever ends the test while a motor runs sends the zero report once.
    void aRunningMotorIsAlwaysStopped_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("stop test") << "stop";
        QTest::newRow("page hidden") << "hide";
        QTest::newRow("device left") << "removed";
        QTest::newRow("page destroyed") << "destroyed";
    }

    void aRunningMotorIsAlwaysStopped()
    {
        QFETCH(QString, how);
        m_page->TestButtons(Pressed({0}));
        m_page->triggerValue(1023, 0);
        if (how == "stop") {
            m_page->StopTest();
            m_page->StopTest();
        } else if (how == "hide") {
            m_page->hide();
        } else if (how == "removed") {
            emit m_bench->Config().backMainPage();
        } else {
            m_page.reset();
        }
        QCOMPARE(frames(), (QStringList{Motors(100, 0), Motors(0, 0)}));
    }

    void liveInnerDeadZone_data()
    {
        QTest::addColumn<bool>("a");
        QTest::addColumn<int>("lx");
        QTest::addColumn<int>("rx");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        // Ticks 1..100 count the steady second; each later tick is one step.
        QTest::newRow("a second of holding changes nothing") << true << 0 << 32768 << 100 << 0 << 0;
        QTest::newRow("left grows one step a tick") << true << 0 << 32768 << 103 << 3 << 0;
        QTest::newRow("stops at 100") << true << 0 << 32768 << 300 << 100 << 0;
        QTest::newRow("right stick held left") << true << 32768 << 1000 << 105 << 0 << 5;
        QTest::newRow("without A nothing") << false << 0 << 0 << 300 << 0 << 0;
        QTest::newRow("held right never goes below 0") << true << 65535 << 32768 << 150 << 0 << 0;
    }

    void liveInnerDeadZone()
    {
        QFETCH(bool, a);
        QFETCH(int, lx);
        QFETCH(int, rx);
        QFETCH(int, ticks);
        QFETCH(int, left);
        QFETCH(int, right);
        holdStick(a, ushort(lx), ushort(rx), ticks);
        QCOMPARE(m_page->TestDeadZone(0), left);
        QCOMPARE(m_page->TestDeadZone(1), right);
        QCOMPARE(child<QLabel>("lblDeadZoneL")->text(), QString::asprintf("%02d%%", left));
        QCOMPARE(child<DeadZoneExpan>("wdgStickL")->Radius(), left / 2);
        QCOMPARE(child<DeadZoneExpan>("wdgStickR")->Radius(), right / 2);
        // One 0xA5 per step, each with the record's other values.
        QStringList expected;
        for (int v = 1; v <= left; ++v)
            expected << DeadZones(v, 90, 20, 80);
        for (int v = 1; v <= right; ++v)
            expected << DeadZones(10, 90, v, 80);
        QCOMPARE(frames(), expected);

        // Leaving the page gives the device the record's dead zones back, once.
        m_page->StopTest();
        m_page->StopTest();
        if (left || right)
            expected << DeadZones(10, 90, 20, 80);
        QCOMPARE(frames(), expected);
    }

    // A moving stick keeps counting towards the steady second but never steps.
    void aMovingStickDoesNotStep()
    {
        m_page->TestButtons(Pressed({0}));
        for (int i = 0; i < 300; ++i) {
            m_page->stickValue(ushort(i % 2 ? 0 : 5000), 32768, 32768, 32768);
            m_page->onDeadZoneDeal();
        }
        QCOMPARE(m_page->TestDeadZone(0), 0);
        QVERIFY(frames().isEmpty());
    }

    // After a long B the page ignores input until the next start; B's indicator goes out at
    // the end of the hold.
    void exitMode()
    {
        m_page->TestButtons(Pressed({1}));
        QTRY_VERIFY(!child<QLabel>("lblBtnB")->isEnabled());
        m_page->ExitTest();
        QVERIFY(m_page->IsExitMode());
        QVERIFY(child<QLabel>("lblquitTest")->isVisible());
        m_page->TestButtons(Pressed({0}));
        m_page->triggerValue(1023, 1023);
        QVERIFY(frames().isEmpty());
        m_page->LoadingProgress(150);
        QCOMPARE(child<QProgressBar>("progressBarLoading")->value(), 150);
        QVERIFY(!child<QLabel>("lblBtnB")->isEnabled());
        m_page->LoadingProgress(200);
        QVERIFY(child<QLabel>("lblBtnB")->isEnabled());
        m_page->StartTest();
        QVERIFY(!m_page->IsExitMode());
        QVERIFY(!child<QLabel>("lblquitTest")->isVisible());
    }
};

QTEST_MAIN(TestTestPage)
#include "tst_testpage.moc"
