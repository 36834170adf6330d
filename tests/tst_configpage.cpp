#include "device/hidconfig.h"
#include "device/hidslot.h"
#include "protocol/controllerscommunication.h"
#include "ui/configpage/configpage.h"
#include "ui/configpage/readsequence.h"
#include "ui/lightpage/lightpage.h"
#include "ui/mappingpage/mappingpage.h"
#include "ui/profilepage/profilepage.h"
#include "ui/stickpage/stickpage.h"
#include "ui/testpage/testpage.h"
#include "ui/triggerpage/triggerpage.h"
#include "ui/turbopage/turbopage.h"
#include "ui/vibratepage/vibratepage.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QtTest>

#include "pauserecorder.h"

namespace {

// The smallest page: records which of the shared slots reached it, and saves a turbo mask.
class ProbePage : public ConfigPage
{
public:
    using ConfigPage::ConfigPage;
    QStringList calls;

    void clickPadButtonPadUp(bool) override { calls << QStringLiteral("up"); }
    void clickPadButtonPadDown(bool) override { calls << QStringLiteral("down"); }
    void clickPadButtonPadLeft(bool) override { calls << QStringLiteral("left"); }
    void clickPadButtonPadRight(bool) override { calls << QStringLiteral("right"); }
    void clickPadButtonA(bool) override { calls << QStringLiteral("a"); }
    void clickPadButtonB(bool) override { calls << QStringLiteral("b"); }
    void on_btnSave_clicked() override
    {
        calls << QStringLiteral("save");
        const PROFILE_INFO record =
            m_hidConfig->Profiles().EditActive([](PROFILE_INFO &r) { r.turboMask = 0x5A; });
        saved = SaveAndNotify({[&] { return Com().SetTurbo(record); }}, kSaved, record,
                              {SaveCheck::Section::Turbo});
    }
    void on_btnReset_clicked() override { calls << QStringLiteral("reset"); }
    void LoadingProgress(int value) override { calls << QString::number(value); }

    bool saved = false;

protected:
    void Reload() override { calls << QStringLiteral("reload"); }
};

} // namespace

class TestConfigPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<HidConfig> m_config;
    std::unique_ptr<ProbePage> m_page;
    PauseRecorder *m_com = nullptr;

private slots:
    void init()
    {
        m_config = std::make_unique<HidConfig>();
        auto com = std::make_unique<PauseRecorder>();
        m_com = com.get();
        m_config->UseControllersCommunication(std::move(com));
        // No read loop here: the read-back of a save has its own tests.
        m_config->m_checkSaves = false;
        m_page = std::make_unique<ProbePage>(m_config.get());
    }

    void cleanup()
    {
        m_page.reset();
        m_config.reset();
        vhid::Bus::instance().reset();
    }

    void controllerButtonsReachOnlyAVisiblePage_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("call");
        QTest::newRow("up") << "up"
                            << "up";
        QTest::newRow("down") << "down"
                              << "down";
        QTest::newRow("left") << "left"
                              << "left";
        QTest::newRow("right") << "right"
                               << "right";
        QTest::newRow("A") << "a"
                           << "a";
        QTest::newRow("B") << "b"
                           << "b";
        QTest::newRow("X saves") << "x"
                                 << "save";
        QTest::newRow("long Y resets") << "resetY"
                                       << "reset";
        QTest::newRow("long-press progress") << "progress"
                                             << "150";
    }

    void controllerButtonsReachOnlyAVisiblePage()
    {
        QFETCH(QString, button);
        QFETCH(QString, call);
        HidConfig *c = m_config.get();
        const auto press = [&] {
            if (button == "up")
                emit c->pressButtonUp(true);
            else if (button == "down")
                emit c->pressButtonDown(true);
            else if (button == "left")
                emit c->pressButtonLeft(true);
            else if (button == "right")
                emit c->pressButtonRight(true);
            else if (button == "a")
                emit c->pressButtonA(true);
            else if (button == "b")
                emit c->pressButtonB(true);
            else if (button == "x")
                emit c->pressButtonX(true);
            else if (button == "resetY")
                emit c->pressButtonResetY(true);
            else
                emit c->LoadingProgress(150);
        };
        press();
        QCOMPARE(m_page->calls, QStringList());
        m_page->show();
        press();
        QCOMPARE(m_page->calls, QStringList{call});
        m_page->hide();
        press();
        QCOMPARE(m_page->calls, QStringList{call});
    }

    // Write, pause, commit; the record goes to its profile file only on file-profile models;
    // a save the device did not take ends with the failure notice.
    void saveWritesPausesCommitsAndTells_data()
    {
        QTest::addColumn<bool>("plugged");
        QTest::addColumn<bool>("fileProfiles");
        QTest::newRow("plain model") << true << false;
        QTest::newRow("file-profile model") << true << true;
        QTest::newRow("device gone") << false << true;
    }

    void saveWritesPausesCommitsAndTells()
    {
        QFETCH(bool, plugged);
        QFETCH(bool, fileProfiles);
        auto device = ctrlsim::SimulatedController::plug(0x400E);
        QVERIFY(m_config->OpenSlot(0, QString::fromStdString(device->path())));
        m_config->SelectWriteSlot(0);
        m_config->m_fileProfileModel = fileProfiles;
        m_com->framesSoFar = [&] { return device->firmware().frames().size(); };
        if (!plugged)
            device->unplug();
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        QSignalSpy mirrored(m_config.get(), &HidConfig::CreateProfile);
        m_page->show();
        emit m_config->pressButtonX(true);

        QCOMPARE(m_page->saved, plugged);
        // A write that did not go out is a failed save.
        QCOMPARE(notice.count(), 1);
        QCOMPARE(notice[0][0].toInt(), int(plugged ? ConfigPage::kSaved : ConfigPage::kSaveFailed));
        QCOMPARE(mirrored.count(), plugged && fileProfiles ? 1 : 0);
        if (!plugged)
            return;
        const auto frames = device->firmware().frames();
        QCOMPARE(int(frames.size()), 2);
        QCOMPARE(int(frames[0][4]), 0xB8);
        QCOMPARE(int(frames[0][5]), 0x5A);
        QCOMPARE(int(frames[1][4]), 0xFB);
        QCOMPARE(m_com->pauses, (QVector<size_t>{1}));
        QCOMPARE(int(device->firmware().state().saveCount), 1);
    }

    // What each page reads before it loads, and the pauses between: "code:pause" with the
    // parameters after a slash, "-" for a pause alone.
    void pagesAskForTheirSections_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("load");
        QTest::addColumn<bool>("noTriggerLevels");
        QTest::addColumn<QString>("reads");
        const int show = int(PageLoad::Show), change = int(PageLoad::ProfileChange),
                  poll = int(PageLoad::Poll);
        QTest::newRow("mapping shown") << "mapping" << show << false << "a2:100";
        QTest::newRow("mapping, profile") << "mapping" << change << false << "a2:120";
        QTest::newRow("mapping polled") << "mapping" << poll << false << "a2:20";
        QTest::newRow("turbo shown") << "turbo" << show << false << "b9:100";
        QTest::newRow("turbo, profile") << "turbo" << change << false << "b9:120";
        QTest::newRow("turbo polled") << "turbo" << poll << false << "b9:20";
        QTest::newRow("stick shown") << "stick" << show << false << "a6:10 bb/0:10 bb/1:100";
        QTest::newRow("stick, profile")
            << "stick" << change << false << "a6:20 a8:20 bb/0:20 bb/1:220";
        QTest::newRow("trigger shown")
            << "trigger" << show << false << "b5/0,0:20 b5/1,1:20 b5/2,2:100";
        QTest::newRow("trigger without levels") << "trigger" << show << true << "b5/0,0:100";
        QTest::newRow("trigger, profile")
            << "trigger" << change << false << "b5/0,0:20 b5/1,1:20 b5/2,2:100";
        QTest::newRow("vibration shown") << "vibration" << show << false << "aa:100";
        QTest::newRow("vibration, profile") << "vibration" << change << false << "aa:120";
        QTest::newRow("lighting shown") << "lighting" << show << false << "ae/0,0:100";
        QTest::newRow("lighting, profile") << "lighting" << change << false << "-:20 ae/0,0:600";
        QTest::newRow("profiles") << "profiles" << change << false << "";
        QTest::newRow("test") << "test" << show << false << "";
    }

    void pagesAskForTheirSections()
    {
        QFETCH(QString, page);
        QFETCH(int, load);
        QFETCH(bool, noTriggerLevels);
        QFETCH(QString, reads);
        m_config->m_noTriggerLevels = noTriggerLevels;
        std::unique_ptr<ConfigPage> shown;
        if (page == "mapping")
            shown = std::make_unique<MappingPage>(m_config.get());
        else if (page == "turbo")
            shown = std::make_unique<TureboPage>(m_config.get());
        else if (page == "stick")
            shown = std::make_unique<StickPage>(m_config.get());
        else if (page == "trigger")
            shown = std::make_unique<TriggerPage>(m_config.get());
        else if (page == "vibration")
            shown = std::make_unique<VibratePage>(m_config.get());
        else if (page == "lighting")
            shown = std::make_unique<LightPage>(m_config.get());
        else if (page == "profiles")
            shown = std::make_unique<ProfilePage>(m_config.get());
        else
            shown = std::make_unique<TestPage>(m_config.get());

        auto device = ctrlsim::SimulatedController::plug(0x400E);
        HidSlot slot;
        QVERIFY(slot.openPath(device->path().c_str()));
        ControllersCommunication com;
        com.SetHandle(&slot);
        QStringList got;
        const auto previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        for (const PageRead &read : shown->ReadsBefore(PageLoad(load))) {
            QString entry = QStringLiteral("-");
            if (read.send) {
                const size_t before = device->firmware().frames().size();
                QVERIFY(read.send(com));
                const auto frames = device->firmware().frames();
                QCOMPARE(frames.size(), before + 1);
                const auto &f = frames.back();
                entry = QString::number(f[4], 16);
                if (f[4] == 0xBB)
                    entry += QStringLiteral("/%1").arg(f[5]);
                else if (f[4] == 0xB5 || f[4] == 0xAE)
                    entry += QStringLiteral("/%1,%2").arg(f[5]).arg(f[6]);
            }
            got << entry + QLatin1Char(':') + QString::number(read.pauseMs);
        }
        qInstallMessageHandler(previous);
        com.SetHandle(nullptr);
        QCOMPARE(got.join(QLatin1Char(' ')), reads);
    }

    // Reads run in order with their pauses, on timers; a newer sequence or a cancel drops
    // the rest, and done runs once, for the sequence that ran to its end.
    void readSequenceRunsInOrderAndCanBeDropped_data()
    {
        QTest::addColumn<QString>("interruption");
        QTest::addColumn<QString>("expected");
        QTest::newRow("runs to the end") << ""
                                         << "1 2 3 done:A";
        QTest::newRow("replaced after the first read") << "replace"
                                                       << "1 9 done:B";
        QTest::newRow("cancelled after the first read") << "cancel"
                                                        << "1";
    }

    void readSequenceRunsInOrderAndCanBeDropped()
    {
        QFETCH(QString, interruption);
        QFETCH(QString, expected);
        ReadSequence reads;
        ControllersCommunication com;
        QStringList log;
        const auto read = [&log](const char *name, int pause) {
            return PageRead{[&log, name](ControllersCommunication &) {
                                log << QString::fromLatin1(name);
                                return true;
                            },
                            pause};
        };
        reads.Start(&com, {read("1", 30), read("2", 10), {nullptr, 5}, read("3", 0)},
                    [&] { log << QStringLiteral("done:A"); });
        // The first read goes out at once; the rest wait for their turns.
        QCOMPARE(log, QStringList{QStringLiteral("1")});
        QVERIFY(reads.IsRunning());
        if (interruption == "replace")
            reads.Start(&com, {read("9", 10)}, [&] { log << QStringLiteral("done:B"); });
        else if (interruption == "cancel")
            reads.Cancel();
        QTest::qWait(150);
        QCOMPARE(log.join(QLatin1Char(' ')), expected);
        QVERIFY(!reads.IsRunning());
    }
};

QTEST_MAIN(TestConfigPage)
#include "tst_configpage.moc"
