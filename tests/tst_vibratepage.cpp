#include "app/fileini.h"
#include "device/hidconfig.h"
#include "ui/vibratepage/vibratepage.h"
#include "widgets/barstyles.h"
#include "widgets/progressbar.h"

#include "controller/commandcodes.h"
#include "controller/frame.h"
#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "pagebench.h"

namespace {

using Bytes = QVector<int>;
using Pulls = QVector<QPair<int, int>>;

// Strengths in record order: left trigger, right trigger, left motor, right motor.
PROFILE_INFO WithStrengths(const Bytes &s)
{
    PROFILE_INFO record{};
    for (int i = 0; i < 4; ++i)
        record.bytes()[62 + i] = uint8_t(s[i]);
    return record;
}

QString TestReport(int left, int right)
{
    return CommandText(0xBD, {0, 0, left, right});
}

const QString kMotorsOff = TestReport(0, 0);

// The bar's own looks for a highlighted handle and an edited frame.
bool Highlighted(ProgressBar *bar)
{
    return bar->findChild<QWidget *>("btnSolidR")->styleSheet() == BarStyles::HandleHighlighted(12);
}

bool EditFrame(ProgressBar *bar)
{
    return bar->findChild<QWidget *>("wdgProBarBorder")->styleSheet() == BarStyles::Frame(true);
}

} // namespace

class TestVibratePage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<PageBench> m_bench;
    // The page sits in an area of a window, as in the main window.
    std::unique_ptr<QWidget> m_window;
    QWidget *m_area = nullptr;
    VibratePage *m_page = nullptr;

    ProgressBar *bar(const QString &name) { return m_page->findChild<ProgressBar *>(name); }
    Bytes shown()
    {
        Bytes values;
        for (const char *name : {"wdgTriggerMotorL", "wdgTriggerMotorR", "wdgMotorL", "wdgMotorR"})
            values << bar(name)->rightValue();
        return values;
    }

    void load(const Bytes &strengths, bool keepSync)
    {
        FileINI().SetSyncCode(keepSync);
        m_bench->Config().Profiles().SetRecord(0, WithStrengths(strengths));
        m_page->updateVibratePage();
    }

    // Each frame the device took as "code: parameters" (four for 0xA9 and 0xBD).
    QStringList frames()
    {
        QStringList texts;
        for (const auto &f : m_bench->Device().firmware().frames())
            texts << CommandText(f, f[4] == 0xA9 || f[4] == 0xBD ? 4 : 0);
        return texts;
    }

    void pull(const Pulls &pulls)
    {
        for (const auto &p : pulls)
            emit m_bench->Config().triggerValue(ushort(p.first), ushort(p.second));
    }

    // Controller keys by letter: R L U D A; H hides the page, K clicks keep-sync.
    void press(const QString &keys)
    {
        for (const QChar key : keys) {
            if (key == 'H')
                m_page->hide();
            else if (key == 'K')
                QTest::mouseClick(m_page->findChild<QPushButton *>("btnKeepSync"), Qt::LeftButton);
            else
                m_bench->Press(key);
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()));
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

    void init()
    {
        m_bench = std::make_unique<PageBench>(0x400C);
        QVERIFY(m_bench->IsOpen());
        m_window = std::make_unique<QWidget>();
        m_area = new QWidget(m_window.get());
        m_page = new VibratePage(&m_bench->Config(), m_area);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        m_bench.reset();
    }

    // A refresh shows the record's strengths, bounded to percentages, with the main motors in
    // the upper panels; keep-sync (only the exact text "true") copies left to right.
    void refreshShowsTheRecord_data()
    {
        QTest::addColumn<Bytes>("record");
        QTest::addColumn<QString>("syncText");
        QTest::addColumn<Bytes>("bars");
        const Bytes apart{11, 22, 33, 44};
        QTest::newRow("sides apart") << apart << "false" << apart;
        QTest::newRow("keep-sync copies left to right") << apart << "true" << Bytes{11, 11, 33, 33};
        QTest::newRow("any other text is off") << apart << "TRUE" << apart;
        QTest::newRow("empty setting is off") << apart << "" << apart;
        QTest::newRow("device bytes past 100 are bounded")
            << Bytes{150, 7, 255, 100} << "false" << Bytes{100, 7, 100, 100};
        QTest::newRow("bounded before the copy")
            << Bytes{200, 0, 101, 0} << "true" << Bytes{100, 100, 100, 100};
    }

    void refreshShowsTheRecord()
    {
        QFETCH(Bytes, record);
        QFETCH(QString, syncText);
        QFETCH(Bytes, bars);
        FileINI().write(FileINI::kSyncCodeKey, syncText);
        m_bench->Config().Profiles().SetRecord(0, WithStrengths(record));
        QSignalSpy navigation(&m_bench->Config(), &HidConfig::unlockNavigation);
        m_page->updateVibratePage();

        QCOMPARE(shown(), bars);
        QCOMPARE(m_page->IsKeepSync(), syncText == "true");
        QCOMPARE(m_page->FocusIndex(), 0);
        QCOMPARE(navigation.count(), 1);
        QVERIFY(navigation[0][0].toBool());
        for (const char *name :
             {"wdgLeftMotor", "wdgRightMotor", "wdgLeftTriggerMotor", "wdgRightTriggerMotor"}) {
            const bool main = !QByteArray(name).contains("Trigger");
            QCOMPARE(m_page->findChild<QWidget *>(name)->isVisible(), main);
            QCOMPARE(m_page->findChild<QWidget *>(name)->y(), main ? 90 : 170);
        }
        // The members hold what the bars show: a save sends it.
        m_page->on_btnSave_clicked();
        QCOMPARE(frames().value(0), CommandText(0xA9, bars));
    }

    // With keep-sync a main motor bar sets the other once and it stops there: one signal per
    // bar, not an endless exchange. Trigger motors never mirror live.
    void keepSyncMirrorsOnce_data()
    {
        QTest::addColumn<bool>("keepSync");
        QTest::addColumn<QString>("barName");
        QTest::addColumn<int>("value");
        QTest::addColumn<Bytes>("sent");
        QTest::addColumn<Bytes>("emitted"); // PosRightValue of the LT, RT, LM, RM bars
        QTest::newRow("left motor 35")
            << true << "wdgMotorL" << 35 << Bytes{11, 11, 35, 35} << Bytes{0, 0, 1, 1};
        QTest::newRow("right motor 60")
            << true << "wdgMotorR" << 60 << Bytes{11, 11, 60, 60} << Bytes{0, 0, 1, 1};
        QTest::newRow("same value again")
            << true << "wdgMotorL" << 33 << Bytes{11, 11, 33, 33} << Bytes{0, 0, 1, 1};
        QTest::newRow("without keep-sync")
            << false << "wdgMotorL" << 35 << Bytes{11, 22, 35, 44} << Bytes{0, 0, 1, 0};
        QTest::newRow("trigger motor alone")
            << true << "wdgTriggerMotorL" << 70 << Bytes{70, 11, 33, 33} << Bytes{1, 0, 0, 0};
    }

    void keepSyncMirrorsOnce()
    {
        QFETCH(bool, keepSync);
        QFETCH(QString, barName);
        QFETCH(int, value);
        QFETCH(Bytes, sent);
        QFETCH(Bytes, emitted);
        load({11, 22, 33, 44}, keepSync);
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (const char *name : {"wdgTriggerMotorL", "wdgTriggerMotorR", "wdgMotorL", "wdgMotorR"})
            spies.push_back(std::make_unique<QSignalSpy>(bar(name), &ProgressBar::PosRightValue));
        bar(barName)->setRightValue(value);
        Bytes counts;
        for (const auto &spy : spies)
            counts << spy->count();
        QCOMPARE(counts, emitted);
        QCOMPARE(shown(), sent);
        m_page->on_btnSave_clicked();
        QCOMPARE(frames().value(0), CommandText(0xA9, sent));
    }

    // Save sends the four strengths with 0xA9 and commits; reset sends 100 everywhere and its
    // notice says so. Frames byte for byte, the pauses, the device's committed record.
    void saveAndResetFrames_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("fileProfiles");
        QTest::addColumn<Bytes>("sent"); // empty: nothing goes out
        QTest::addColumn<int>("flag");
        const Bytes edited{11, 22, 35, 44};
        const Bytes full{100, 100, 100, 100};
        QTest::newRow("save") << "btnSave" << false << edited << 0;
        QTest::newRow("save, file-profile model") << "btnSave" << true << edited << 0;
        QTest::newRow("save by X") << "X" << false << edited << 0;
        QTest::newRow("reset") << "btnReset" << false << full << 1;
        QTest::newRow("reset, file-profile model") << "btnReset" << true << full << 1;
        QTest::newRow("reset by long Y") << "Y" << false << full << 1;
        QTest::newRow("hidden, X") << "hidden X" << false << Bytes{} << 0;
        QTest::newRow("hidden, long Y") << "hidden Y" << false << Bytes{} << 0;
    }

    void saveAndResetFrames()
    {
        QFETCH(QString, action);
        QFETCH(bool, fileProfiles);
        QFETCH(Bytes, sent);
        QFETCH(int, flag);
        m_bench->Config().m_fileProfileModel = fileProfiles;
        load({11, 22, 33, 44}, false);
        bar("wdgMotorL")->setRightValue(35);
        QSignalSpy notice(m_page, qOverload<int>(&ConfigPage::saveShowAndCloseText));
        QSignalSpy mirrored(&m_bench->Config(), &HidConfig::CreateProfile);
        if (action.startsWith("hidden"))
            m_page->hide();
        if (action.startsWith("btn"))
            QTest::mouseClick(m_page->findChild<QPushButton *>(action), Qt::LeftButton);
        else if (action.endsWith("X"))
            emit m_bench->Config().pressButtonX(true);
        else
            emit m_bench->Config().pressButtonResetY(true);

        const auto got = m_bench->Device().firmware().frames();
        const std::vector<uint8_t> strengths(sent.begin(), sent.end());
        QCOMPARE(got.size(), size_t(sent.isEmpty() ? 0 : 2));
        QCOMPARE(notice.count(), sent.isEmpty() ? 0 : 1);
        if (sent.isEmpty())
            return;
        QCOMPARE(got[0], ctrlsim::frame::make(ctrlsim::cmd::WriteVibration, strengths));
        QCOMPARE(got[1], ctrlsim::frame::make(ctrlsim::cmd::SaveConfig));
        QCOMPARE(m_bench->Writer().pauses,
                 (QVector<size_t>{0, 1})); // before the command and after it
        const auto state = m_bench->Device().firmware().state();
        QCOMPARE(state.saveCount, 1);
        QVERIFY(std::equal(strengths.begin(), strengths.end(), state.saved[0].begin() + 62));
        QVERIFY(std::equal(strengths.begin(), strengths.end(),
                           m_bench->Config().Profiles().Active().bytes() + 62));
        QCOMPARE(shown(), sent);
        QCOMPARE(notice[0][0].toInt(), flag);
        QCOMPARE(mirrored.count(), fileProfiles ? 1 : 0);
        if (fileProfiles)
            QVERIFY(std::equal(strengths.begin(), strengths.end(),
                               mirrored[0][1].value<PROFILE_INFO>().bytes() + 62));
        // The reset flag belongs to one save only.
        m_page->on_btnSave_clicked();
        QCOMPARE(notice.count(), 2);
        QCOMPARE(notice[1][0].toInt(), 0);
    }

    // The triggers drive the test motors at value × 100 / 1023: a report for every pull with
    // some strength, exactly one zero report when both come back, none for repeated zeros.
    void triggersDriveTheMotors_data()
    {
        QTest::addColumn<Pulls>("pulls");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("full pull") << Pulls{{1023, 0}} << QStringList{TestReport(100, 0)};
        QTest::newRow("10 is below one percent") << Pulls{{10, 0}} << QStringList{};
        QTest::newRow("both sides") << Pulls{{512, 1023}} << QStringList{TestReport(50, 100)};
        QTest::newRow("each pull is sent")
            << Pulls{{200, 0}, {300, 11}} << QStringList{TestReport(19, 0), TestReport(29, 1)};
        QTest::newRow("release sends one zero report")
            << Pulls{{1023, 1023}, {0, 0}, {0, 0}, {0, 0}}
            << QStringList{TestReport(100, 100), kMotorsOff};
        QTest::newRow("pulls below one percent end the test")
            << Pulls{{600, 0}, {10, 5}, {0, 0}} << QStringList{TestReport(58, 0), kMotorsOff};
        QTest::newRow("zeros without a test send nothing")
            << Pulls{{0, 0}, {0, 0}} << QStringList{};
        QTest::newRow("values past 10 bits count as full")
            << Pulls{{65535, 2000}} << QStringList{TestReport(100, 100)};
        QTest::newRow("test again after a release")
            << Pulls{{1023, 0}, {0, 0}, {0, 1023}, {0, 0}}
            << QStringList{TestReport(100, 0), kMotorsOff, TestReport(0, 100), kMotorsOff};
    }

    void triggersDriveTheMotors()
    {
        QFETCH(Pulls, pulls);
        QFETCH(QStringList, sent);
        load({11, 22, 33, 44}, false);
        pull(pulls);
        QCOMPARE(frames(), sent);
        QCOMPARE(m_page->IsTesting(), !sent.isEmpty() && sent.last() != kMotorsOff);
        QCOMPARE(shown(), (Bytes{11, 22, 33, 44})); // the test saves nothing
    }

    // Whatever ends the test while a motor runs sends the zero report once; with no test
    // running nothing is sent. While the cause lasts further pulls are held back; focus
    // coming back lets the test run again.
    void stopReasonsSendOneZeroReport_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("heldBack");
        QTest::newRow("page hidden") << "hide" << true << true;
        QTest::newRow("page area hidden") << "area" << true << true;
        QTest::newRow("window deactivated") << "window" << true << true;
        QTest::newRow("application inactive") << "application" << true << true;
        QTest::newRow("device removed") << "removed" << true << false;
        QTest::newRow("application quits") << "quit" << true << false;
        QTest::newRow("page destroyed") << "destroyed" << true << true;
        QTest::newRow("hidden, nothing running") << "hide" << false << true;
        QTest::newRow("deactivated, nothing running") << "window" << false << true;
        QTest::newRow("removed, nothing running") << "removed" << false << false;
    }

    void stopReasonsSendOneZeroReport()
    {
        QFETCH(QString, reason);
        QFETCH(bool, running);
        QFETCH(bool, heldBack);
        load({11, 22, 33, 44}, false);
        QStringList expected;
        if (running) {
            pull({{1023, 512}});
            expected << TestReport(100, 50);
        }
        QWidget other;
        auto stop = [&] {
            if (reason == "hide") {
                m_page->hide();
            } else if (reason == "area") {
                m_area->hide();
            } else if (reason == "window") {
                other.show();
                QVERIFY(QTest::qWaitForWindowActive(&other));
            } else if (reason == "application") {
                emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
            } else if (reason == "removed") {
                emit m_bench->Config().backMainPage();
            } else if (reason == "quit") {
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
                QCoreApplication::exec();
            } else if (m_page) {
                delete m_page;
                m_page = nullptr;
            }
        };
        stop();
        if (running)
            expected << kMotorsOff;
        QCOMPARE(frames(), expected);
        // The same cause again, a release, another pull.
        stop();
        pull({{0, 0}, {1023, 1023}});
        if (!heldBack)
            expected << TestReport(100, 100);
        QCOMPARE(frames(), expected);

        if (reason == "window") {
            m_window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        } else if (reason == "application") {
            emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
        } else {
            return;
        }
        pull({{1023, 0}});
        expected << TestReport(100, 0);
        QCOMPARE(frames(), expected);
    }

    // The main window deletes the model before its pages: a page going last, shown and with a
    // motor running, must not reach for the model.
    void modelGoneBeforeThePage()
    {
        load({11, 22, 33, 44}, false);
        pull({{1023, 1023}});
        QVERIFY(m_page->IsTesting());
        m_bench->DropConfig();
        m_window.reset();
        QCOMPARE(frames(), QStringList{TestReport(100, 100)});
    }

    // The controller: the focus moves by the page's table, A edits a bar in 1 % steps within
    // 0..100 (both bars with keep-sync), A on keep-sync toggles and stores it. The last
    // hand-over says whether the navigation column has the controller.
    void controllerFocusAndEditing_data()
    {
        QTest::addColumn<Bytes>("motors"); // left, right
        QTest::addColumn<bool>("keepSync");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("focus");
        QTest::addColumn<bool>("editing");
        QTest::addColumn<Bytes>("after");
        QTest::addColumn<bool>("column");
        const Bytes m{40, 60};
        QTest::newRow("into the left bar") << m << false << "R" << 1 << false << m << false;
        QTest::newRow("on to the right bar") << m << false << "RR" << 2 << false << m << false;
        QTest::newRow("right bar is the last") << m << false << "RRR" << 2 << false << m << false;
        QTest::newRow("down to keep-sync") << m << false << "RD" << 3 << false << m << false;
        QTest::newRow("keep-sync, right") << m << false << "RDR" << 2 << false << m << false;
        QTest::newRow("keep-sync, left") << m << false << "RRDL" << 1 << false << m << false;
        QTest::newRow("left bar, left leaves") << m << false << "RL" << 0 << false << m << true;
        QTest::newRow("left at the column stays") << m << false << "L" << 0 << false << m << true;
        QTest::newRow("up stays") << m << false << "RRU" << 2 << false << m << false;
        QTest::newRow("down on keep-sync stays") << m << false << "RDD" << 3 << false << m << false;
        QTest::newRow("edit left up")
            << m << false << "RARRR" << 1 << true << Bytes{43, 60} << false;
        QTest::newRow("edit right down, A ends")
            << m << false << "RRALLA" << 2 << false << Bytes{40, 58} << false;
        QTest::newRow("100 stays 100")
            << Bytes{98, 0} << false << "RARRRRRA" << 1 << false << Bytes{100, 0} << false;
        QTest::newRow("0 stays 0")
            << Bytes{2, 0} << false << "RALLLLLA" << 1 << false << Bytes{0, 0} << false;
        QTest::newRow("up and down wait while editing")
            << m << false << "RAUDDRA" << 1 << false << Bytes{41, 60} << false;
        QTest::newRow("keep-sync edits both")
            << Bytes{40, 40} << true << "RRALLLA" << 2 << false << Bytes{37, 37} << false;
        QTest::newRow("A on keep-sync turns it on and copies")
            << m << false << "RDA" << 3 << false << Bytes{40, 40} << false;
        QTest::newRow("clicked off, the focus goes to it")
            << Bytes{40, 40} << true << "K" << 3 << false << Bytes{40, 40} << true;
        QTest::newRow("keys wait while hidden") << m << false << "HRRA" << 0 << false << m << true;
    }

    void controllerFocusAndEditing()
    {
        QFETCH(Bytes, motors);
        QFETCH(bool, keepSync);
        QFETCH(QString, keys);
        QFETCH(int, focus);
        QFETCH(bool, editing);
        QFETCH(Bytes, after);
        QFETCH(bool, column);
        load({11, 22, motors[0], motors[1]}, keepSync);
        QSignalSpy navigation(&m_bench->Config(), &HidConfig::unlockNavigation);
        press(keys);
        QCOMPARE(m_page->FocusIndex(), focus);
        QCOMPARE(m_page->IsEditing(), editing);
        QCOMPARE((Bytes{bar("wdgMotorL")->rightValue(), bar("wdgMotorR")->rightValue()}), after);
        QCOMPARE(navigation.isEmpty() || navigation.last()[0].toBool(), column);
        QCOMPARE(Highlighted(bar("wdgMotorL")), focus == 1);
        QCOMPARE(Highlighted(bar("wdgMotorR")), focus == 2);
        QCOMPARE(EditFrame(bar(focus == 2 ? "wdgMotorR" : "wdgMotorL")), editing);
        const bool toggled = keys.contains("DA") || keys.contains('K');
        QCOMPARE(m_page->IsKeepSync(), keepSync != toggled);
        QCOMPARE(FileINI().SyncCode(), m_page->IsKeepSync());
    }

    // Mouse movement takes the highlights and hands the controller to the column and back;
    // the focus and the editing state stay for the next key.
    void mouseMovementDropsTheHighlights_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("focus");
        QTest::addColumn<bool>("editing");
        QTest::newRow("editing the left bar") << "RA" << 1 << true;
        QTest::newRow("on the right bar") << "RR" << 2 << false;
        QTest::newRow("on keep-sync") << "RD" << 3 << false;
    }

    void mouseMovementDropsTheHighlights()
    {
        QFETCH(QString, keys);
        QFETCH(int, focus);
        QFETCH(bool, editing);
        load({11, 22, 40, 60}, false);
        auto *keepSync = m_page->findChild<QPushButton *>("btnKeepSync");
        const QString plain = keepSync->styleSheet();
        press(keys);
        QSignalSpy navigation(&m_bench->Config(), &HidConfig::unlockNavigation);
        QMouseEvent move(QEvent::MouseMove, QPointF(500, 20), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(m_page, &move);
        QCOMPARE(navigation.count(), 2);
        QVERIFY(navigation[0][0].toBool() && !navigation[1][0].toBool());
        for (const char *name : {"wdgMotorL", "wdgMotorR"})
            QVERIFY(!Highlighted(bar(name)) && !EditFrame(bar(name)));
        QCOMPARE(keepSync->styleSheet(), plain);
        QCOMPARE(m_page->FocusIndex(), focus);
        QCOMPARE(m_page->IsEditing(), editing);
        press("R"); // an edit goes on where it was
        QCOMPARE(bar("wdgMotorL")->rightValue(), editing ? 41 : 40);
    }
};

QTEST_MAIN(TestVibratePage)
#include "tst_vibratepage.moc"
