#include "device/hiddevicereadwrite.h"
#include "protocol/controllerscommunication.h"

#include "firmware/imagebuilder.h"
#include "updatemode/updatabledevice.h"
#include "updatemode/updatemodedevice.h"
#include "virtualhid/virtualhidbus.h"

#include <QtTest>
#include <atomic>
#include <mutex>

#include "loopthread.h"

using ctrlsim::UpdatableDevice;
using ctrlsim::UpdateModeDevice;
using Fault = UpdateModeDevice::Fault;

Q_DECLARE_METATYPE(Fault)

namespace {

constexpr auto kWait = std::chrono::seconds(10);

std::vector<uint8_t> bytes(const QByteArray &a)
{
    return std::vector<uint8_t>(a.begin(), a.end());
}

// Log lines from any thread.
struct Log
{
    static Log &instance()
    {
        static Log log;
        return log;
    }
    static void handler(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        std::lock_guard<std::mutex> lock(instance().mutex);
        instance().lines.append(message);
    }
    bool contains(const QString &text)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return lines.filter(text).size() > 0;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex);
        lines.clear();
    }
    std::mutex mutex;
    QStringList lines;
};

// What the transport reports, seen from the test thread.
struct Results
{
    explicit Results(HidDeviceReadWrite &device)
    {
        QObject::connect(&device, &HidDeviceReadWrite::UpdateStatic,
                         [this](bool ok) { (ok ? completed : failed).fetch_add(1); });
        QObject::connect(&device, &HidDeviceReadWrite::progressValue,
                         [this](uint value) { lastProgress.store(value); });
    }
    int ended() const { return completed.load() + failed.load(); }
    std::atomic<int> completed{0};
    std::atomic<int> failed{0};
    std::atomic<uint> lastProgress{0};
};

} // namespace

class TestUpdateTransfer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<HidDeviceReadWrite> m_device;
    std::unique_ptr<LoopThread<HidDeviceReadWrite>> m_loop;
    std::unique_ptr<Results> m_results;

    // Opens the update-mode device, loads an image with this application and starts.
    bool start(const QByteArray &application)
    {
        if (!m_device->OpenDevice(UpdateModeDevice::kVendorId, UpdateModeDevice::kProductId))
            return false;
        m_device->ResetProgress();
        if (!m_device->LoadImage(ImageBuilder::Standard("1.1.4", application).Build()))
            return false;
        return m_device->StartUpdate();
    }

private slots:
    void initTestCase() { qInstallMessageHandler(Log::handler); }

    void init()
    {
        Log::instance().clear();
        m_device = std::make_unique<HidDeviceReadWrite>();
        m_results = std::make_unique<Results>(*m_device);
        m_loop = std::make_unique<LoopThread<HidDeviceReadWrite>>(*m_device);
    }

    void cleanup()
    {
        QVERIFY(m_loop->stop());
        m_loop.reset();
        m_device.reset();
        vhid::Bus::instance().reset();
    }

    void wholeImageArrives_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("dataReports");
        QTest::addColumn<uint>("finalProgress");
        QTest::newRow("160 KB") << 160 * 1024 << 2925 << 1000u;
        QTest::newRow("last block full") << 48 + 56 * 3 << 3 << 1000u;
        QTest::newRow("last block padded") << 48 + 56 * 3 + 10 << 4 << 1000u; // 4000 / 3, capped
        QTest::newRow("header only") << 48 << 0 << 0u; // no blocks: no division by zero
    }

    void wholeImageArrives()
    {
        QFETCH(int, size);
        QFETCH(int, dataReports);
        QFETCH(uint, finalProgress);
        const QByteArray app = ImageBuilder::Payload(size, 7);
        UpdateModeDevice target(bytes(app));

        QVERIFY(start(app));
        QTRY_COMPARE_WITH_TIMEOUT(m_results->ended(), 1, 60000);
        QCOMPARE(m_results->completed.load(), 1);
        QVERIFY(!m_device->IsReading());

        const auto transfer = target.transfer();
        QCOMPARE(transfer.violations, std::vector<std::string>{});
        QVERIFY(transfer.complete);
        QCOMPARE(transfer.reports, 2 + dataReports + 1); // Start, Header, Data..., End
        QCOMPARE(m_results->lastProgress.load(), finalProgress);
        QCOMPARE(m_device->Progress(), finalProgress);
    }

    void faultyRepliesEndTheTransfer_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("at");
        QTest::addColumn<bool>("mismatch");
        QTest::newRow("checksum off by one") << Fault::WrongChecksum << 2 << true;
        QTest::newRow("checksum upper half set") << Fault::ChecksumHigh << 1 << true;
        QTest::newRow("sequence repeated") << Fault::RepeatSequence << 3 << true;
        QTest::newRow("write fails") << Fault::FailWrite << 4 << false;
        QTest::newRow("start write fails") << Fault::FailWrite << 0 << false;
        QTest::newRow("unplugged") << Fault::Unplug << 5 << false;
    }

    void faultyRepliesEndTheTransfer()
    {
        QFETCH(Fault, fault);
        QFETCH(int, at);
        QFETCH(bool, mismatch);
        const QByteArray app = ImageBuilder::Payload(4000, 3);
        UpdateModeDevice target(bytes(app));
        target.injectFault({fault, at});

        start(app);
        QTRY_COMPARE_WITH_TIMEOUT(m_results->failed.load(), 1, 10000);
        QCOMPARE(m_results->completed.load(), 0);
        QVERIFY(!m_device->IsReading());
        QCOMPARE(Log::instance().contains("error 01"), mismatch);
        // Nothing goes out after the fault: no retry, no resend.
        const int received = target.transfer().reports;
        QCOMPARE(received, fault == Fault::FailWrite ? at : at + 1);
        QTest::qWait(20);
        QCOMPARE(target.transfer().reports, received);
        QCOMPARE(m_results->ended(), 1);
    }

    void nothingToSendIsAFailedTransfer()
    {
        UpdateModeDevice target;
        QVERIFY(m_device->OpenDevice(UpdateModeDevice::kVendorId, UpdateModeDevice::kProductId));
        // A loader-only image loads, but leaves no application to send.
        ImageBuilder loaderOnly;
        loaderOnly.Add({ImageBuilder::kMeta, ImageBuilder::Metadata(0x35C7, 0x4004, "1.1.4")})
            .Add({2, ImageBuilder::Payload(500, 2)});
        QVERIFY(m_device->LoadImage(loaderOnly.Build()));
        QVERIFY(!m_device->StartUpdate());
        QCOMPARE(m_results->failed.load(), 1);
        QVERIFY(!m_device->IsReading());
        QCOMPARE(target.node().writeCalls(), 0u);
    }

    void progressStaysZeroUntilDataIsAcknowledged()
    {
        // Driven by hand on this thread: each reply is read and handed over explicitly.
        m_loop->stop();
        const QByteArray app = ImageBuilder::Payload(160 * 1024, 5);
        UpdateModeDevice target(bytes(app));
        HidSlot slot;
        QVERIFY(slot.openIds(UpdateModeDevice::kVendorId, UpdateModeDevice::kProductId));
        UpdateHIDDevice update;
        update.SetDevice(&slot);
        const uint8_t stray[64] = {};
        update.HandleReply(stray, 64); // before a transfer: ignored
        QVERIFY(!update.HasError());
        QVERIFY(update.LoadImage(ImageBuilder::Standard("1.1.4", app).Build()));
        QVERIFY(update.StartTransfer());
        uint8_t reply[64];
        for (int acknowledged = 1; acknowledged <= 3; ++acknowledged) {
            QCOMPARE(slot.use([&](hid_device *h) { return hid_read_timeout(h, reply, 64, 5000); }),
                     64);
            update.HandleReply(reply, 64);
            QCOMPARE(update.Progress(), 0u); // (104 / 56) * 1000 / 2924 rounds down
        }
        QVERIFY(!update.HasError());
        QCOMPARE(target.transfer().reports, 4);
        QCOMPARE(target.transfer().violations, std::vector<std::string>{});
    }

    void controllerReenumeratesAndComesBackUpdated()
    {
        const QByteArray app = ImageBuilder::Payload(2000, 9);
        UpdatableDevice::Options options;
        options.productId = 0x4009;
        options.state = ctrlsim::DeviceState::sane(0x4009);
        options.stateAfterUpdate = options.state;
        options.stateAfterUpdate.version = {1, 1, 4};
        options.enterDelay = std::chrono::milliseconds(100);
        options.leaveDelay = std::chrono::milliseconds(100);
        options.expectedApplication = bytes(app);
        UpdatableDevice device(options);

        HidSlot config;
        device.withController(
            [&](ctrlsim::SimulatedController &c) { QVERIFY(config.openPath(c.path().c_str())); });
        ControllersCommunication commands;
        commands.SetHandle(&config);
        QVERIFY(commands.EnterUpdateMode());
        QVERIFY(device.waitForMode(UpdatableDevice::Mode::Update, kWait));
        config.close();

        QVERIFY(start(app));
        QTRY_COMPARE_WITH_TIMEOUT(m_results->completed.load(), 1, 10000);
        QVERIFY(device.waitForMode(UpdatableDevice::Mode::Normal, kWait));
        QVERIFY(device.lastTransfer().complete);
        QCOMPARE(device.updateModeEntries(), 1);
        device.withController([](ctrlsim::SimulatedController &c) {
            QCOMPARE(c.firmware().state().version, (std::array<uint8_t, 3>{1, 1, 4}));
        });
    }
};

QTEST_GUILESS_MAIN(TestUpdateTransfer)
#include "tst_updatetransfer.moc"
