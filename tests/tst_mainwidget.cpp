#include "app/fileini.h"
#include "device/hidconfig.h"
#include "protocol/versionnumber.h"
#include "ui/mainwidget/mainwidget.h"
#include "ui/mainwidget/updateflow.h"
#include "ui/pageids.h"
#include "update/downloader.h"
#include "update/securefetch.h"

#include "controller/simulatedcontroller.h"
#include "firmware/imagebuilder.h"
#include "httpsserver.h"
#include "platform/virtualdeviceplatform.h"
#include "updatemode/updatabledevice.h"
#include "virtualhid/virtualhidbus.h"

#include <QDesktopServices>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <mutex>

using ctrlsim::UpdatableDevice;
using Fault = ctrlsim::UpdateModeDevice::Fault;
using Mode = UpdatableDevice::Mode;
using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 20000;
const QString kCerts = QStringLiteral(ORADESK_TEST_CERTS);
const QByteArray kType0Path = "/6102/Dongle/MDJ6102DA-Dongle.wkfw";
const QByteArray kType1Path = "/6102/Dongle/MDJ6102DB-Dongle.wkfw";
const QByteArray kType13Path = "/6102/Controller/MDJ6102B-Controller.wkfw";

// Ten data blocks: Start, Header, Data 2..11, End.
QByteArray App(uint8_t seed)
{
    return ImageBuilder::Payload(48 + 56 * 10, seed);
}

QByteArray Image(const QByteArray &version, const QByteArray &app)
{
    return ImageBuilder::Standard(version, app).Build();
}

std::vector<uint8_t> Bytes(const QByteArray &a)
{
    return std::vector<uint8_t>(a.begin(), a.end());
}

// Log lines from every thread.
std::mutex g_logLock;
QStringList g_log;

bool Logged(const QString &text)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    return !g_log.filter(text).isEmpty();
}

// The virtual bus, with the update-mode device hidden from the presence check on request,
// so that a removal can be handled while the transfer still sees its device.
class TestPlatform : public VirtualDevicePlatform
{
public:
    int UsbCount(uint16_t vid, uint16_t pid) override
    {
        return hideUpdateDevice && vid == UpdateFlow::kUpdateVid
                   ? 0
                   : VirtualDevicePlatform::UsbCount(vid, pid);
    }
    bool CanOpenDevice(uint16_t, uint16_t) override { return canOpen; }
    bool hideUpdateDevice = false;
    bool canOpen = true;
};

// Devices put straight into the table, for the rules that need no real device.
class TestConfig : public HidConfig
{
public:
    int Add(uint16_t pid, int version) { return Add(pid, VersionNumber::Dotted(version)); }

    // A device reporting version text ("1.30.0"), as the device-information reply gives it.
    int Add(uint16_t pid, const QString &version)
    {
        std::lock_guard<std::mutex> guard(m_tableLock);
        const int slot = m_deviceTable.isEmpty() ? 0 : m_deviceTable.lastKey() + 1;
        DeviceEntry entry;
        entry.path = QStringLiteral("/dev/hidraw%1#vid_35c7&pid_%2&mi_01")
                         .arg(slot)
                         .arg(pid, 4, 16, QLatin1Char('0'));
        entry.modelName = QStringLiteral("Vexalon");
        entry.devIno.mVid = 0x35C7;
        entry.devIno.mPid = pid;
        entry.devIno.version = version;
        entry.devIno.versionNumber = QString(version).remove(QLatin1Char('.')).toInt();
        m_deviceTable.insert(slot, entry);
        return slot;
    }
};

class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

} // namespace

class TestMainWidget : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    std::unique_ptr<HttpsServer> m_server;
    std::unique_ptr<TestPlatform> m_platform;
    std::unique_ptr<TestConfig> m_config;
    std::unique_ptr<MainWidget> m_widget;
    std::unique_ptr<UpdatableDevice> m_device;
    std::shared_ptr<vhid::Node> m_dongleNode; // outlives the dongle's switch to update mode

    UpdateFlow *flow() { return m_widget->Flow(); }
    int page() { return m_widget->CurrentPage(); }
    template <typename T> T *child(const char *name) { return m_widget->findChild<T *>(name); }

    bool click(const char *name)
    {
        auto *button = child<QPushButton>(name);
        if (!button || !button->isVisible())
            return false;
        button->click();
        return true;
    }

    bool download(int type)
    {
        flow()->downLoader()->downloadFirmware(type);
        return QTest::qWaitFor([&] { return flow()->downLoader()->IsdownloadSuccessed(type); },
                               kWaitMs);
    }

    // A dongle (or a wired controller) at firmware 1.0.0, found as discovery finds it.
    void plugDongle(uint16_t pid, const QByteArray &expected, std::chrono::milliseconds enterDelay,
                    Mode start = Mode::Normal,
                    UpdatableDevice::Kind kind = UpdatableDevice::Kind::Dongle)
    {
        UpdatableDevice::Options options;
        options.kind = kind;
        options.productId = pid;
        options.state = ctrlsim::DeviceState::sane(pid);
        options.release = 0x0100;
        options.stateAfterUpdate = options.state;
        options.releaseAfterUpdate = 0x0114;
        options.enterDelay = enterDelay;
        options.expectedApplication = Bytes(expected);
        m_device = std::make_unique<UpdatableDevice>(options, start);
        QStringList texts;
        m_device->withController([&](ctrlsim::SimulatedController &c) {
            m_dongleNode = c.nodes()[0];
            for (const auto &node : c.nodes())
                for (const HidInterface &hid : VirtualDevicePlatform::InterfacesOf(*node))
                    texts.prepend(hid.pathText); // the vendor collection first
        });
        for (const QString &text : texts)
            m_config->DeviceArrived(text);
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
            std::lock_guard<std::mutex> lock(g_logLock);
            g_log.append(text);
        });
        QVERIFY(m_tmp.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp.path()));
        m_server = HttpsServer::FromCertDir(kCerts, "server");
        QVERIFY(m_server->start());
        SecureFetch::SetTestServer(m_server->host(), QSslCertificate::fromPath(kCerts + "/ca.pem"));
    }

    void cleanupTestCase() { SecureFetch::SetTestServer({}, {}); }

    void init()
    {
        {
            std::lock_guard<std::mutex> lock(g_logLock);
            g_log.clear();
        }
        QFile::remove(FileINI::FilePath());
        // A dongle of type 0 was updated before: a device waiting in update mode is one.
        FileINI().SetUpdateDeviceCode(0);
        m_server->serve(kType0Path, {200, Image("1.1.4", App(1)), {}});
        m_server->serve(kType1Path, {200, Image("1.1.4", App(2)), {}});
        m_server->serve(kType13Path, {200, Image("1.1.4", App(3)), {}});
        m_platform = std::make_unique<TestPlatform>();
        QVERIFY(m_platform->StartMonitoring());
        m_config = std::make_unique<TestConfig>();
        m_config->SetPlatform(m_platform.get());
        m_widget = std::make_unique<MainWidget>(m_config.get(), m_platform.get());
        m_widget->show();
    }

    void cleanup()
    {
        m_widget.reset();
        m_device.reset();
        m_dongleNode.reset();
        m_config.reset();
        m_platform.reset();
        vhid::Bus::instance().reset();
    }

    void unknownProductKeepsTheType_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("type");
        QTest::newRow("nothing chosen before") << 0 << 0;
        QTest::newRow("after a 4017") << 0x4017 << 13;
        QTest::newRow("after a 401A") << 0x401A << 1;
    }

    void unknownProductKeepsTheType()
    {
        QFETCH(int, before);
        QFETCH(int, type);
        QVERIFY(download(type));
        QSignalSpy configured(m_widget.get(), &MainWidget::mainWinPageShow);
        if (before) {
            m_config->Add(uint16_t(before), 200);
            m_widget->refreshDeviceList();
            QVERIFY(click("btnSelect"));
        }
        m_config->m_deviceInConfig = false;
        // An id of no update type, at a version below every image.
        const int unknown = m_config->Add(0x4004, 0);
        m_widget->refreshDeviceList();
        child<QListWidget>("listDevices")->setCurrentRow(unknown);
        QVERIFY(click("btnSelect"));
        QCOMPARE(flow()->updateType(), type);
        // The kept type's image is not for this device: it goes to configuration.
        QCOMPARE(configured.count(), before ? 2 : 1);
        QCOMPARE(configured.last().first().toInt(), int(PageId::ModuleSelection));
    }

    void onlyANewerImageIsOffered_data()
    {
        QTest::addColumn<QString>("imageVersion");
        QTest::addColumn<QString>("deviceVersion");
        QTest::addColumn<bool>("loadable");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("label"); // empty: no offer
        QTest::newRow("equal") << "1.1.4"
                               << "1.1.4" << true << false << QString();
        QTest::newRow("device newer") << "1.1.4"
                                      << "1.1.5" << true << false << QString();
        QTest::newRow("image newer") << "1.1.4"
                                     << "1.1.3" << true << false << "Firmware v1.1.4 is Available";
        QTest::newRow("image newer, Chinese") << "1.1.4"
                                              << "1.0.0" << true << true << "v1.1.4   新固件可用";
        QTest::newRow("newer but unloadable") << "1.1.4"
                                              << "1.0.0" << false << false << QString();
        // Joined digits would say 2010 > 210 and 140 < 1300: parts decide.
        QTest::newRow("2.0.10 is not newer than 2.1.0") << "2.0.10"
                                                        << "2.1.0" << true << false << QString();
        QTest::newRow("1.4.0 is not newer than 1.30.0") << "1.4.0"
                                                        << "1.30.0" << true << false << QString();
        QTest::newRow("2.1.0 is newer than 2.0.10")
            << "2.1.0"
            << "2.0.10" << true << false << "Firmware v2.1.0 is Available";
        QTest::newRow("1.30.0 is newer than 1.4.0")
            << "1.30.0"
            << "1.4.0" << true << false << QString("Firmware v1.3.00 is Available");
    }

    void onlyANewerImageIsOffered()
    {
        QFETCH(QString, imageVersion);
        QFETCH(QString, deviceVersion);
        QFETCH(bool, loadable);
        QFETCH(bool, chinese);
        QFETCH(QString, label);
        ImageBuilder image = ImageBuilder::Standard(imageVersion.toLatin1(), App(1));
        image.Sections()[2].badChecksum = !loadable; // the application section
        m_server->serve(kType0Path, {200, image.Build(), {}});
        QVERIFY(download(0));
        m_config->m_isChinese = chinese;
        m_config->Add(0x4013, deviceVersion);
        m_widget->refreshDeviceList();
        QCOMPARE(page(), int(UpdateFlow::DeviceList));
        QSignalSpy configured(m_widget.get(), &MainWidget::mainWinPageShow);
        QVERIFY(click("btnSelect"));
        QCOMPARE(page(), label.isEmpty() ? int(UpdateFlow::DeviceList) : int(UpdateFlow::Offer));
        QCOMPARE(configured.count(), label.isEmpty() ? 1 : 0);
        QCOMPARE(m_config->m_deviceInConfig.load(), label.isEmpty());
        if (!label.isEmpty())
            QCOMPARE(child<QLabel>("lblVersion")->text(), label);
    }

    void updateEndsOnTheResultPage_data()
    {
        QTest::addColumn<bool>("wired");
        QTest::addColumn<bool>("flashed");
        QTest::addColumn<int>("result");
        QTest::newRow("device leaves update mode") << false << true << int(UpdateFlow::Succeeded);
        // The transfer ended, but the device rejected the image and still waits.
        QTest::newRow("device still in update mode") << false << false << int(UpdateFlow::Failed);
        QTest::newRow("wired controller") << true << true << int(UpdateFlow::Succeeded);
    }

    void updateEndsOnTheResultPage()
    {
        QFETCH(bool, wired);
        QFETCH(bool, flashed);
        QFETCH(int, result);
        const int type = wired ? 13 : 1;
        const QByteArray app = wired ? App(3) : App(2);
        plugDongle(wired ? 0x4017 : 0x401A, flashed ? app : App(9), 200ms, Mode::Normal,
                   wired ? UpdatableDevice::Kind::Wired : UpdatableDevice::Kind::Dongle);
        QVERIFY(download(type));
        m_widget->refreshDeviceList();
        QVERIFY(click("btnSelect"));
        QCOMPARE(page(), int(UpdateFlow::Offer));
        QVERIFY(click("btnUpdate"));
        QCOMPARE(page(), int(UpdateFlow::Updating));
        QVERIFY(m_widget->IsUpdating());
        QTRY_COMPARE_WITH_TIMEOUT(page(), result, kWaitMs);
        QVERIFY(!m_widget->IsUpdating());
        QVERIFY(m_device->lastTransfer().ended);
        QCOMPARE(m_device->lastTransfer().complete, flashed);
        QCOMPARE(m_device->updateModeEntries(), 1);
        QCOMPARE(FileINI().UpdateDeviceCode(), type);
        // Only a wired controller's build string is read before the switch.
        QCOMPARE(Logged("stringDesc: Quorel controller build 230713"), wired);
    }

    // The transfer sends the selected type's image even when the device came up in update
    // mode unannounced, and after an earlier update of another type in the same run.
    void missedArrivalStillSendsTheSelectedImage()
    {
        plugDongle(0x401A, App(2), 200ms);
        QVERIFY(download(1));
        QVERIFY(download(13));
        m_widget->refreshDeviceList();
        QVERIFY(click("btnSelect"));
        QVERIFY(click("btnUpdate"));
        QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Succeeded), kWaitMs);
        // The dongle, updated, stays plugged in beside the controller.
        const std::unique_ptr<UpdatableDevice> dongle = std::move(m_device);
        plugDongle(0x4017, App(3), 200ms, Mode::Normal, UpdatableDevice::Kind::Wired);
        QObject::disconnect(m_platform.get(), &DevicePlatform::UsbDeviceArrived, flow(), nullptr);
        QVERIFY(click("btnCancel"));
        const QList<DeviceEntry> listed = m_config->DeviceTable().values();
        const auto wired = std::find_if(listed.begin(), listed.end(), [](const DeviceEntry &e) {
            return e.devIno.mPid == 0x4017;
        });
        QVERIFY(wired != listed.end());
        child<QListWidget>("listDevices")->setCurrentRow(int(wired - listed.begin()));
        QVERIFY(click("btnSelect"));
        QCOMPARE(flow()->updateType(), 13);
        QVERIFY(click("btnUpdate"));
        QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Succeeded), kWaitMs);
        QVERIFY(m_device->lastTransfer().complete);
    }

    // A download that finishes while a device is being configured leaves the list and the
    // device's model flags alone.
    void downloadWhileConfiguringKeepsTheList()
    {
        m_server->hold();
        m_device = std::make_unique<UpdatableDevice>(UpdatableDevice::Options{}, Mode::Update);
        m_widget->refreshDeviceList();
        QCOMPARE(page(), int(UpdateFlow::Downloading));
        QTRY_COMPARE_WITH_TIMEOUT(m_server->gets(kType0Path) > 0, true, kWaitMs);
        m_device.reset();
        m_config->Add(0x4013, 200);
        m_widget->refreshDeviceList();
        QCOMPARE(page(), int(UpdateFlow::DeviceList));
        QSignalSpy configured(m_widget.get(), &MainWidget::mainWinPageShow);
        QVERIFY(click("btnSelect"));
        QCOMPARE(configured.count(), 1);
        m_config->m_fileProfileModel = true; // as the configuration pages found it
        QSignalSpy rebuilt(m_widget.get(), &MainWidget::DeviceList);
        m_server->release();
        QTRY_VERIFY_WITH_TIMEOUT(flow()->downLoader()->IsdownloadSuccessed(0), kWaitMs);
        QTest::qWait(50);
        QCOMPARE(rebuilt.count(), 0);
        QVERIFY(m_config->m_fileProfileModel);
    }

    void lateDeviceEndsOnFailed()
    {
        plugDongle(0x4013, App(1), 3500ms);
        QVERIFY(download(0));
        m_widget->refreshDeviceList();
        QVERIFY(click("btnSelect"));
        QVERIFY(click("btnUpdate"));
        QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Failed), kWaitMs);
        QVERIFY(Logged("m_hid.OpenDevice(MyVid,MyPid)"));
        QCOMPARE(m_device->lastTransfer().reports, 0);
        // Once it does wait in update mode, the recovery is offered.
        QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Recovery), kWaitMs);
    }

    void removalFailsOnlyAnUnfinishedTransfer_data()
    {
        QTest::addColumn<int>("stallAt");
        QTest::addColumn<int>("progress");
        QTest::addColumn<bool>("failed");
        QTest::newRow("after the last block") << 11 << 1000 << false;
        QTest::newRow("mid transfer") << 4 << 300 << true;
    }

    void removalFailsOnlyAnUnfinishedTransfer()
    {
        QFETCH(int, stallAt);
        QFETCH(int, progress);
        QFETCH(bool, failed);
        UpdatableDevice::Options options;
        options.faults = {{Fault::NoReply, stallAt}};
        m_device = std::make_unique<UpdatableDevice>(options, Mode::Update);
        m_widget->refreshDeviceList();
        QCOMPARE(page(), int(UpdateFlow::Downloading));
        QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Recovery), kWaitMs);
        QVERIFY(click("btnForcedUpdate"));
        QTRY_COMPARE_WITH_TIMEOUT(child<QProgressBar>("progressBar")->value(), progress, kWaitMs);
        QCOMPARE(m_device->lastTransfer().reports, stallAt + 1);

        m_platform->hideUpdateDevice = true;
        emit m_platform->UsbDeviceRemoved(UpdateFlow::kUpdateVid, UpdateFlow::kUpdatePid);
        QCOMPARE(Logged("shebeiduanikai......"), failed);
        if (!failed) {
            // The transfer's own result decides.
            QCOMPARE(page(), int(UpdateFlow::Updating));
            QVERIFY(m_widget->IsUpdating());
            flow()->revUpdateStatic(true);
        }
        QTRY_COMPARE_WITH_TIMEOUT(
            page(), failed ? int(UpdateFlow::Failed) : int(UpdateFlow::Succeeded), kWaitMs);
    }

    // A device that stops answering does not leave the update page up for good.
    void stalledTransferEnds_data()
    {
        QTest::addColumn<int>("stallAt");
        QTest::addColumn<bool>("leftUpdateMode");
        QTest::addColumn<int>("result");
        QTest::newRow("mid transfer") << 4 << false << int(UpdateFlow::Failed);
        QTest::newRow("after the last block, device gone")
            << 11 << true << int(UpdateFlow::Succeeded);
        QTest::newRow("after the last block, still waiting")
            << 11 << false << int(UpdateFlow::Failed);
    }

    void stalledTransferEnds()
    {
        QFETCH(int, stallAt);
        QFETCH(bool, leftUpdateMode);
        QFETCH(int, result);
        UpdatableDevice::Options options;
        options.faults = {{Fault::NoReply, stallAt}};
        m_device = std::make_unique<UpdatableDevice>(options, Mode::Update);
        flow()->SetStallTimeout(300);
        m_widget->refreshDeviceList();
        QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Recovery), kWaitMs);
        QVERIFY(click("btnForcedUpdate"));
        QTRY_COMPARE_WITH_TIMEOUT(m_device->lastTransfer().reports, stallAt + 1, kWaitMs);
        m_platform->hideUpdateDevice = leftUpdateMode;
        QTRY_COMPARE_WITH_TIMEOUT(page(), result, kWaitMs);
        QVERIFY(Logged("update stalled at"));
        QVERIFY(!m_widget->IsUpdating());
    }

    // Select the model of this type in the recovery's list with the controller keys.
    void chooseModel(int type)
    {
        auto *models = child<QListWidget>("listModels");
        for (int guard = 0; guard < models->count() && models->currentRow() > 0; ++guard)
            emit m_config->pressButtonUp(true);
        for (int guard = 0; guard < models->count(); ++guard) {
            if (models->currentItem()->data(Qt::UserRole).toInt() == type)
                break;
            emit m_config->pressButtonDown(true);
        }
        emit m_config->pressButtonA(true);
    }

    void recoveryUsesTheStoredType_data()
    {
        QTest::addColumn<QString>("stored"); // "-": nothing stored
        QTest::addColumn<int>("chosen");     // the model the user names; -1: not asked
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("mode"); // the connection the instruction names
        QTest::newRow("a dongle type") << "0" << -1 << 0 << "2.4G";
        QTest::newRow("a controller type") << "13" << -1 << 13 << "USB";
        // No type is guessed: the user names the model, and its image is fetched then.
        QTest::newRow("nothing stored") << "-" << 13 << 13 << "USB";
        QTest::newRow("out of range") << "99" << 0 << 0 << "2.4G";
        QTest::newRow("not a number") << "abc" << 13 << 13 << "USB";
    }

    void recoveryUsesTheStoredType()
    {
        QFETCH(QString, stored);
        QFETCH(int, chosen);
        QFETCH(int, type);
        QFETCH(QString, mode);
        if (stored == "-")
            QFile::remove(FileINI::FilePath());
        else
            FileINI().write(FileINI::kUpdateDeviceCodeKey, stored);
        const int gets = m_server->gets(kType0Path) + m_server->gets(kType13Path);
        UpdatableDevice::Options options;
        options.expectedApplication = Bytes(App(type == 13 ? 3 : 1));
        m_device = std::make_unique<UpdatableDevice>(options, Mode::Update);
        m_widget->refreshDeviceList();
        if (chosen >= 0) {
            QCOMPARE(page(), int(UpdateFlow::Recovery));
            QVERIFY(flow()->NeedsModelChoice());
            QVERIFY(child<QListWidget>("listModels")->isVisible());
            QCOMPARE(child<QListWidget>("listModels")->count(), UpdateFlow::kTypeCount);
            // Nothing is fetched or sent before the user answers.
            QVERIFY(!click("btnUpdate"));
            QCOMPARE(m_server->gets(kType0Path) + m_server->gets(kType13Path), gets);
            chooseModel(chosen);
            QCOMPARE(FileINI().UpdateDeviceCode(), chosen);
        }
        QTRY_VERIFY_WITH_TIMEOUT(page() == UpdateFlow::Recovery && !flow()->NeedsModelChoice(),
                                 kWaitMs);
        QCOMPARE(flow()->updateType(), type);
        QVERIFY(!child<QListWidget>("listModels")->isVisible());
        QVERIFY(child<QLabel>("lblInstruction")->text().contains(mode));
        QCOMPARE(m_device->lastTransfer().reports, 0);
        QVERIFY(click("btnForcedUpdate"));
        QTRY_VERIFY_WITH_TIMEOUT(m_device->lastTransfer().ended, kWaitMs);
        QVERIFY(m_device->lastTransfer().complete);
    }

    // Before the switch into update mode, which cannot be undone from here, the app makes
    // sure it can talk to the device now and open it afterwards.
    void switchNeedsAnOpenDeviceAndAccess_data()
    {
        QTest::addColumn<bool>("connected"); // the controller's own connection is open
        QTest::addColumn<bool>("canOpen");   // the update-mode device can be opened
        QTest::addColumn<int>("refusal");
        QTest::newRow("no rule for update mode")
            << true << false << int(UpdateFlow::Refusal::NoAccess);
        QTest::newRow("connection not open")
            << false << true << int(UpdateFlow::Refusal::DeviceNotOpen);
    }

    void switchNeedsAnOpenDeviceAndAccess()
    {
        QFETCH(bool, connected);
        QFETCH(bool, canOpen);
        QFETCH(int, refusal);
        m_platform->canOpen = canOpen;
        QVERIFY(download(0));
        if (connected)
            plugDongle(0x4013, App(1), 200ms);
        else
            m_config->Add(0x4013, 100); // listed, but its node was never opened
        const uint64_t writes = m_dongleNode ? m_dongleNode->writeCalls() : 0;
        m_widget->refreshDeviceList();
        QVERIFY(click("btnSelect"));
        QCOMPARE(page(), int(UpdateFlow::Offer));
        QVERIFY(click("btnUpdate"));
        QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Failed), kWaitMs);
        QCOMPARE(int(flow()->LastRefusal()), refusal);
        QVERIFY(!m_widget->IsUpdating());
        if (m_dongleNode) {
            QCOMPARE(m_dongleNode->writeCalls(), writes);
            QCOMPARE(m_device->updateModeEntries(), 0);
        }
        const QString reason = child<QLabel>("lblReason")->text();
        QVERIFY(child<QLabel>("lblReason")->isVisible());
        if (!canOpen) {
            // The sentence names the command that README gives for installing the rule.
            const QString command = QStringLiteral("scripts/oradesk.sh udev-rule");
            QVERIFY(reason.contains(command));
            QFile readme(QStringLiteral(ORADESK_SOURCE_DIR "/README.md"));
            QVERIFY(readme.open(QIODevice::ReadOnly));
            QVERIFY(QString::fromUtf8(readme.readAll()).contains("    " + command + "\n"));
        }
        // Back on the list, the reason is gone with its page.
        QVERIFY(click("btnForcedUpdate"));
        QVERIFY(!child<QLabel>("lblReason")->isVisible());
    }

    // Two devices waiting in update mode look alike: neither is picked at random.
    void twoWaitingDevicesAreRefused()
    {
        QVERIFY(download(0));
        UpdatableDevice::Options options;
        options.expectedApplication = Bytes(App(1));
        m_device = std::make_unique<UpdatableDevice>(options, Mode::Update);
        m_widget->refreshDeviceList();
        QCOMPARE(page(), int(UpdateFlow::Recovery));
        auto second = std::make_unique<UpdatableDevice>(options, Mode::Update);
        QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Failed), kWaitMs);
        QCOMPARE(int(flow()->LastRefusal()), int(UpdateFlow::Refusal::SeveralWaiting));
        QVERIFY(child<QLabel>("lblReason")->isVisible());
        // The recovery itself refuses too, before it opens either.
        QVERIFY(flow()->StartRecovery());
        QTRY_VERIFY_WITH_TIMEOUT(!m_widget->IsUpdating() && page() == UpdateFlow::Failed, kWaitMs);
        QCOMPARE(int(flow()->LastRefusal()), int(UpdateFlow::Refusal::SeveralWaiting));
        QCOMPARE(m_device->lastTransfer().reports + second->lastTransfer().reports, 0);
        // One unplugged, the other is offered its recovery.
        second.reset();
        QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Recovery), kWaitMs);
        QVERIFY(click("btnForcedUpdate"));
        QTRY_VERIFY_WITH_TIMEOUT(m_device->lastTransfer().ended, kWaitMs);
        QVERIFY(m_device->lastTransfer().complete);
    }

    // A waiting device whose image cannot be had leaves the downloading page for the
    // failure page; going back tries the download again.
    void unavailableImageEndsOnFailed_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("not found") << 404 << QByteArray("missing");
        QTest::newRow("not an image") << 200 << QByteArray("<html>maintenance</html>");
    }

    void unavailableImageEndsOnFailed()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        m_server->serve(kType0Path, {status, body, {}});
        const int gets = m_server->gets(kType0Path);
        UpdatableDevice::Options options;
        options.expectedApplication = Bytes(App(1));
        m_device = std::make_unique<UpdatableDevice>(options, Mode::Update);
        m_widget->refreshDeviceList();
        QCOMPARE(page(), int(UpdateFlow::Downloading));
        QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Failed), kWaitMs);
        QCOMPARE(m_server->gets(kType0Path), gets + 1);

        m_server->serve(kType0Path, {200, Image("1.1.4", App(1)), {}});
        QVERIFY(click("btnForcedUpdate"));
        QCOMPARE(page(), int(UpdateFlow::Downloading));
        // A network error is fetched again; an image that was not valid is not.
        if (status == 404) {
            QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Recovery), kWaitMs);
            QCOMPARE(m_server->gets(kType0Path), gets + 2);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Failed), kWaitMs);
            QCOMPARE(m_server->gets(kType0Path), gets + 1);
        }
        QCOMPARE(m_device->lastTransfer().reports, 0);
    }

    void withoutAnImageNothingIsSent_data()
    {
        QTest::addColumn<bool>("waiting"); // the device already waits in update mode
        QTest::newRow("update button") << false;
        QTest::newRow("recovery button") << true;
    }

    void withoutAnImageNothingIsSent()
    {
        QFETCH(bool, waiting);
        // No image can be had, so the waiting device's own check ends on the failure page.
        m_server->serve(kType0Path, {404, "missing", {}});
        plugDongle(0x4013, App(1), 200ms, waiting ? Mode::Update : Mode::Normal);
        const uint64_t writes = m_dongleNode ? m_dongleNode->writeCalls() : 0;
        QSignalSpy pages(flow(), &UpdateFlow::pageRequested);
        if (waiting) {
            QTRY_COMPARE_WITH_TIMEOUT(page(), int(UpdateFlow::Failed), kWaitMs);
            pages.clear();
            QVERIFY(flow()->StartRecovery());
        } else {
            m_widget->refreshDeviceList();
            flow()->SelectDevice(m_config->DeviceTable().first(),
                                 m_config->DeviceTable().firstKey());
            flow()->StartUpdate();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!pages.isEmpty() && pages.last().first() == UpdateFlow::Failed,
                                 kWaitMs);
        QCOMPARE(page(), int(UpdateFlow::Failed));
        QVERIFY(!m_widget->IsUpdating());
        QCOMPARE(m_device->lastTransfer().reports, 0);
        QCOMPARE(m_device->updateModeEntries(), waiting ? 1 : 0);
        if (!waiting)
            QCOMPARE(m_dongleNode->writeCalls(), writes); // no enter-update-mode command
    }

    void footerOpensTheVendorPages_data()
    {
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("path");
        QTest::newRow("notice, Chinese") << true << "btnNotice"
                                         << "/zh-cn/quoreloradesk/contact/";
        QTest::newRow("support, Chinese") << true << "btnSupport"
                                          << "/quoreloradesk/open-source-disclosure/";
        QTest::newRow("notice, English") << false << "btnNotice"
                                         << "/quoreloradesk/support/";
        QTest::newRow("support, English") << false << "btnSupport"
                                          << "/quoreloradesk/support/";
    }

    void footerOpensTheVendorPages()
    {
        QFETCH(bool, chinese);
        QFETCH(QString, button);
        QFETCH(QString, path);
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
        m_config->m_isChinese = chinese;
        QVERIFY(click(button.toLatin1().constData()));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(recorder.opened.size(), 1);
        QCOMPARE(recorder.opened.first().path(), path);
    }
};

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
