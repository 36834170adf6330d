#include "device/devicecatalogue.h"
#include "device/devicediscovery.h"
#include "device/hidconfig.h"

#include "controller/simulatedcontroller.h"
#include "platform/virtualdeviceplatform.h"
#include "virtualhid/virtualhidbus.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>
#include <mutex>

#include "loopthread.h"
#include "signalcounter.h"

namespace {

void silence(QtMsgType, const QMessageLogContext &, const QString &) {}

std::mutex g_logLock;
QStringList g_log;

void keepLog(QtMsgType, const QMessageLogContext &, const QString &text)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    g_log.append(text);
}

bool logged(const char *text)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    return g_log.contains(QString::fromUtf8(text));
}

QString textOf(const vhid::Node &node, int collection)
{
    return VirtualDevicePlatform::InterfacesOf(node).at(collection).pathText;
}

} // namespace

class TestDiscovery : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<HidConfig> m_config;
    std::unique_ptr<LoopThread<HidConfig>> m_loop;
    VirtualDevicePlatform m_platform;

    int openSlots() const
    {
        int open = 0;
        for (int slot = 0; slot < HidConfig::kSlotCount; ++slot)
            open += m_config->IsSlotOpen(slot) ? 1 : 0;
        return open;
    }

private slots:
    void init()
    {
        m_config = std::make_unique<HidConfig>();
        m_config->SetPlatform(&m_platform);
        m_config->Reader().m_replyDelay = 0;
        m_loop = std::make_unique<LoopThread<HidConfig>>(*m_config);
    }

    void cleanup()
    {
        QVERIFY(m_loop->stop());
        m_loop.reset();
        m_config.reset();
        vhid::Bus::instance().reset();
    }

    void versionTextFromRelease_data()
    {
        QTest::addColumn<int>("bcd");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("0x0130") << 0x0130 << "1.3.0" << 130;
        QTest::newRow("0x0205") << 0x0205 << "2.0.5" << 205;
        QTest::newRow("0x1000") << 0x1000 << "1.0.00" << 1000;
        QTest::newRow("0x0114") << 0x0114 << "1.1.4" << 114;
        QTest::newRow("0") << 0 << "0.0.0" << 0;
    }

    void versionTextFromRelease()
    {
        QFETCH(int, bcd);
        QFETCH(QString, text);
        QFETCH(int, number);
        int got = -1;
        QCOMPARE(DeviceDiscovery::VersionText(uint16_t(bcd), &got), text);
        QCOMPARE(got, number);
    }

    void pathMatchesOnlyAfterTheStart_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<bool>("found");
        QTest::newRow("inside") << "/dev/hidraw1#vid_35c7&pid_400e"
                                << "400E" << true;
        QTest::newRow("at start") << "400e#vid_35c7"
                                  << "400E" << false;
        QTest::newRow("case") << "x#VID_35C7"
                              << "35c7" << true;
        QTest::newRow("absent") << "x#vid_35c7&pid_4010"
                                << "400E" << false;
    }

    void pathMatchesOnlyAfterTheStart()
    {
        QFETCH(QString, path);
        QFETCH(QString, needle);
        QFETCH(bool, found);
        QCOMPARE(DeviceCatalogue::PathHas(path, needle), found);
    }

    void catalogueKeepsTheRulesResults_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("pidText");
        QTest::newRow("400F") << 0x400F << "Vexalon" << true;
        QTest::newRow("4022") << 0x4022 << "Vexalon" << false;
        QTest::newRow("400E") << 0x400E << "Vexalon Pro" << false;
        QTest::newRow("4034") << 0x4034 << "Fendrix v3 Pro" << false;
        QTest::newRow("4031") << 0x4031 << "Fendrix v3 Pro" << true;
        QTest::newRow("401B") << 0x401B << "Fendrix v1 Skylore" << false;
        QTest::newRow("4027") << 0x4027 << "Fendrix v1" << true;
        QTest::newRow("4010") << 0x4010 << "Vexalon Adv" << false;
        QTest::newRow("unknown") << 0x4FFF << "Vexalon Adv" << false;
    }

    void catalogueKeepsTheRulesResults()
    {
        QFETCH(int, pid);
        QFETCH(QString, model);
        QFETCH(bool, pidText);
        const QString path = "/dev/hidraw3#vid_35c7&pid_" +
                             DeviceCatalogue::PidText(uint16_t(pid)).toLower() + "&mi_01";
        QCOMPARE(DeviceCatalogue::ModelName(path), model);
        const CatalogueEntry *entry = DeviceCatalogue::Find(uint16_t(pid));
        QCOMPARE(entry ? entry->pidTextListed : false, pidText);
        QCOMPARE(int(DeviceCatalogue::Entries().size()), 24);
    }

    void wiredControllerIsFoundAndAskedForItsVersion()
    {
        auto device =
            ctrlsim::SimulatedController::plugWired(0x400E, ctrlsim::DeviceState::sane(0x400E));
        SignalCounter info(m_config.get(), &HidConfig::UpdateInfo);
        QSignalSpy log(m_config.get(), &HidConfig::OutputLogInfo);
        m_config->Scan(DeviceCatalogue::kVendorId);
        // The input interface waits its turn behind the configuration interface's query.
        QTRY_COMPARE_WITH_TIMEOUT(openSlots(), 2, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(info.count(), 1, 10000);
        const auto table = m_config->DeviceTable();
        QCOMPARE(table.size(), 1);
        const DeviceEntry entry = table.first();
        QCOMPARE(entry.path, textOf(*device->nodes()[1], 0));
        QCOMPARE(entry.modelName, QStringLiteral("Vexalon Pro"));
        QCOMPARE(entry.productString, QStringLiteral("Quorel Controller"));
        QCOMPARE(entry.inputSlot, 1);
        QCOMPARE(table.firstKey(), 0);
        QCOMPARE(entry.devIno.version, QStringLiteral("1.3.0"));
        QCOMPARE(entry.devIno.mPid, uint16_t(0x400E));
        QCOMPARE(log.count(), 2);
        QCOMPARE(log[0][0].toString(), QString::fromUtf8("设备访问成功"));
    }

    // Hot-plug brings a wired controller's interfaces in either order, also next to another
    // device that arrived before: its input interface always goes with its own entry.
    void wiredInterfacesPairInEitherOrder_data()
    {
        QTest::addColumn<bool>("inputFirst");
        QTest::newRow("configuration first") << false;
        QTest::newRow("input first") << true;
    }

    void wiredInterfacesPairInEitherOrder()
    {
        QFETCH(bool, inputFirst);
        auto dongle =
            ctrlsim::SimulatedController::plugDongle(0x4013, ctrlsim::DeviceState::sane(0x4013));
        QVERIFY(m_config->DeviceArrived(textOf(*dongle->nodes()[0], 1)));
        QVERIFY(m_config->DeviceArrived(textOf(*dongle->nodes()[0], 0)));
        auto wired =
            ctrlsim::SimulatedController::plugWired(0x400E, ctrlsim::DeviceState::sane(0x400E));
        const QString config = textOf(*wired->nodes()[1], 0);
        const QString gamepad = textOf(*wired->nodes()[0], 0);
        for (const QString &path :
             inputFirst ? QStringList{gamepad, config} : QStringList{config, gamepad})
            QVERIFY(m_config->DeviceArrived(path));
        // The dongle's input is its own node; the controller's is another open slot. An
        // interface arriving during a version query is opened once the query is done.
        const auto paired = [&] {
            const auto table = m_config->DeviceTable();
            int wiredSlot = -1, dongleSlot = -1;
            for (auto it = table.cbegin(); it != table.cend(); ++it)
                (it->path == config ? wiredSlot : dongleSlot) = it.key();
            if (table.size() != 2 || wiredSlot < 0 || dongleSlot < 0 ||
                table[dongleSlot].inputSlot != dongleSlot)
                return false;
            const int input = table[wiredSlot].inputSlot;
            return input >= 0 && input != wiredSlot && input != dongleSlot &&
                   m_config->IsSlotOpen(input);
        };
        QTRY_VERIFY_WITH_TIMEOUT(paired(), 10000);
    }

    void dongleOpensItsNodeOnce()
    {
        auto dongle = ctrlsim::SimulatedController::plugDongle(
            0x4034, ctrlsim::DeviceState::sane(0x4034), 0x0205);
        const vhid::Node &node = *dongle->nodes()[0];
        // Hot-plug order: the vendor collection first, then the gamepad.
        QVERIFY(m_config->DeviceArrived(textOf(node, 1)));
        QVERIFY(m_config->DeviceArrived(textOf(node, 0)));
        QCOMPARE(node.openHandles(), 1);
        const DeviceEntry entry = m_config->DeviceTable().first();
        QCOMPARE(entry.inputSlot, m_config->DeviceTable().firstKey());
        QCOMPARE(entry.devIno.version, QStringLiteral("2.0.5"));
        QCOMPARE(entry.devIno.versionNumber, 205);
        QCOMPARE(entry.devIno.mPid, uint16_t(0x4032));
        QVERIFY(!entry.devIno.versionFromDevice);
        QCOMPARE(m_config->Discovery().m_DongleController[5], 2);
    }

    void secondCompleteDongleIsRefused()
    {
        auto first =
            ctrlsim::SimulatedController::plugDongle(0x4013, ctrlsim::DeviceState::sane(0x4013));
        auto second =
            ctrlsim::SimulatedController::plugDongle(0x4013, ctrlsim::DeviceState::sane(0x4013));
        QVERIFY(m_config->DeviceArrived(textOf(*first->nodes()[0], 1)));
        QVERIFY(m_config->DeviceArrived(textOf(*first->nodes()[0], 0)));
        QTest::ignoreMessage(QtDebugMsg, "m_DongleController[1]: 2 0 0");
        QVERIFY(!m_config->DeviceArrived(textOf(*second->nodes()[0], 1)));
        QCOMPARE(second->nodes()[0]->openHandles(), 0);
    }

    // Removing another device leaves the dongle's count alone, so the second dongle is
    // still refused; removing the dongle itself lets it in.
    void removalChangesOnlyTheRemovedDevicesCount()
    {
        auto first =
            ctrlsim::SimulatedController::plugDongle(0x4013, ctrlsim::DeviceState::sane(0x4013));
        auto second =
            ctrlsim::SimulatedController::plugDongle(0x4013, ctrlsim::DeviceState::sane(0x4013));
        auto wired =
            ctrlsim::SimulatedController::plugWired(0x400C, ctrlsim::DeviceState::sane(0x400C));
        const auto previous = qInstallMessageHandler(keepLog);
        QVERIFY(m_config->DeviceArrived(textOf(*first->nodes()[0], 1)));
        QVERIFY(m_config->DeviceArrived(textOf(*first->nodes()[0], 0)));
        QVERIFY(m_config->DeviceArrived(textOf(*wired->nodes()[1], 0)));
        QVERIFY(m_config->DeviceArrived(textOf(*wired->nodes()[0], 0)));
        QTRY_COMPARE_WITH_TIMEOUT(m_config->DeviceTable().size(), 2, 10000);
        // The dongle's shared node and the controller's two interfaces.
        QTRY_COMPARE_WITH_TIMEOUT(openSlots(), 3, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_config->IsVersionQueryPending(), 10000);
        QVERIFY(!m_config->DeviceArrived(textOf(*second->nodes()[0], 1)));

        m_config->DeviceRemoved(textOf(*wired->nodes()[1], 0));
        m_config->DeviceRemoved(textOf(*wired->nodes()[0], 0));
        QCOMPARE(m_config->DeviceTable().size(), 1);
        QVERIFY(m_config->m_dongleFound.load());
        QCOMPARE(m_config->Discovery().m_DongleController[0], 2);
        QVERIFY(!m_config->DeviceArrived(textOf(*second->nodes()[0], 1)));
        QCOMPARE(second->nodes()[0]->openHandles(), 0);

        m_config->DeviceRemoved(textOf(*first->nodes()[0], 1));
        QVERIFY(!m_config->m_dongleFound.load());
        QVERIFY(m_config->DeviceArrived(textOf(*second->nodes()[0], 1)));
        qInstallMessageHandler(previous);
    }

    void acceptListFiltersArrivals()
    {
        auto device =
            ctrlsim::SimulatedController::plugWired(0x400C, ctrlsim::DeviceState::sane(0x400C));
        m_config->Discovery().m_acceptList = QStringList{"4019"};
        QTest::ignoreMessage(QtDebugMsg, "未找到設備");
        QVERIFY(!m_config->DeviceArrived(textOf(*device->nodes()[1], 0)));
        QCOMPARE(openSlots(), 0);
    }

    void removalStopsReadingOnlyWhenPolledSlotsAreFree()
    {
        const auto previous = qInstallMessageHandler(keepLog);
        std::vector<std::unique_ptr<ctrlsim::SimulatedController>> devices;
        for (int i = 0; i < 9; ++i) {
            devices.push_back(ctrlsim::SimulatedController::plugWired(
                0x400C, ctrlsim::DeviceState::sane(0x400C)));
            m_config->DeviceArrived(textOf(*devices.back()->nodes()[1], 0));
            m_config->DeviceArrived(textOf(*devices.back()->nodes()[0], 0));
        }
        // Only the sixteen slots the loop reads are handed out: the ninth device finds none.
        QTRY_VERIFY_WITH_TIMEOUT(logged("no free device slot"), 30000);
        QCOMPARE(openSlots(), 16);
        for (int i = 0; i < 8; ++i) {
            m_config->DeviceRemoved(textOf(*devices[size_t(i)]->nodes()[1], 0));
            m_config->DeviceRemoved(textOf(*devices[size_t(i)]->nodes()[0], 0));
            QCOMPARE(m_config->IsReading(), i < 7);
        }
        QCOMPARE(openSlots(), 0);
        qInstallMessageHandler(previous);
    }

    void versionQueryGivesUpAfterFiveRequests()
    {
        auto device =
            ctrlsim::SimulatedController::plugWired(0x400C, ctrlsim::DeviceState::sane(0x400C));
        device->firmware().dropNextReplies(100);
        m_config->Scan(DeviceCatalogue::kVendorId);
        QTRY_VERIFY_WITH_TIMEOUT(!m_config->IsVersionQueryPending(), 10000);
        QTest::qWait(300);
        int asked = 0;
        for (const auto &f : device->firmware().frames())
            asked += f[4] == 0xFA ? 1 : 0;
        QCOMPARE(asked, 5);
    }

    void plugAndUnplugRaiseHotPlugEvents()
    {
        QVERIFY(m_platform.StartMonitoring());
        QStringList arrived, removed;
        auto in = connect(&m_platform, &DevicePlatform::InterfaceArrived, [&](const QString &p) {
            arrived << p;
            m_config->DeviceArrived(p);
        });
        auto out = connect(&m_platform, &DevicePlatform::InterfaceRemoved, [&](const QString &p) {
            removed << p;
            m_config->DeviceRemoved(p);
        });
        const auto previous = qInstallMessageHandler(silence);
        auto device =
            ctrlsim::SimulatedController::plugWired(0x400C, ctrlsim::DeviceState::sane(0x400C));
        QTRY_COMPARE(arrived.size(), 2);
        QCOMPARE(openSlots(), 2);
        QCOMPARE(m_config->DeviceTable().size(), 1);
        device->unplug();
        QTRY_COMPARE(removed.size(), 2);
        qInstallMessageHandler(previous);
        QCOMPARE(removed, arrived);
        QCOMPARE(openSlots(), 0);
        QVERIFY(m_config->DeviceTable().isEmpty());
        QVERIFY(!m_config->IsReading());
        disconnect(in);
        disconnect(out);
    }

    void lockedDeviceRemovalReturnsToTheMainPage()
    {
        auto device =
            ctrlsim::SimulatedController::plugWired(0x400C, ctrlsim::DeviceState::sane(0x400C));
        const QString config = textOf(*device->nodes()[1], 0);
        QVERIFY(m_config->DeviceArrived(config));
        m_config->SetLockSlots(true, 0, 1);
        QSignalSpy back(m_config.get(), &HidConfig::backMainPage);
        const auto previous = qInstallMessageHandler(silence);
        m_config->DeviceRemoved(config);
        qInstallMessageHandler(previous);
        QCOMPARE(back.count(), 1);
        QVERIFY(m_config->DeviceTable().isEmpty());
    }
};

QTEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
