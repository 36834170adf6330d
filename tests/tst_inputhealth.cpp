#include "device/devicecatalogue.h"
#include "device/hidconfig.h"
#include "device/inputhealth.h"

#include "controller/simulatedcontroller.h"
#include "platform/virtualdeviceplatform.h"
#include "virtualhid/virtualhidbus.h"

#include <hidapi.h>

#include <QRegularExpression>
#include <QtTest>
#include <memory>
#include <random>

#include "loopthread.h"

namespace {

using Clock = InputHealth::Clock;
using Layout = ctrlsim::SimulatedController::Layout;

// An inclusive range of expected values.
struct Range
{
    double low = 0;
    double high = 0;
    bool contains(double value) const { return value >= low && value <= high; }
};

Range exactly(double value)
{
    return {value - 1e-9, value + 1e-9};
}

// Read times in microseconds: one every interval from start, count of them, every dropEvery-th
// missing, each moved by up to ± jitter (seeded).
QVector<qint64> series(qint64 startUs, qint64 intervalUs, int count, int dropEvery = 0,
                       qint64 jitterUs = 0)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<qint64> jitter(-jitterUs, jitterUs);
    QVector<qint64> stamps;
    for (int k = 0; k < count; ++k) {
        const qint64 offset = jitterUs > 0 ? jitter(random) : 0;
        if (dropEvery == 0 || (k + 1) % dropEvery != 0)
            stamps.append(startUs + k * intervalUs + offset);
    }
    return stamps;
}

Clock::time_point at(qint64 us)
{
    // Well away from the clock's epoch, as a real steady clock is.
    return Clock::time_point(std::chrono::hours(1) + std::chrono::microseconds(us));
}

} // namespace

Q_DECLARE_METATYPE(Range)
Q_DECLARE_METATYPE(Layout)

// Counts the configuration replies the read loop hands on instead of parsing them.
class ReplyCounter : public HidConfig
{
public:
    std::atomic<int> replies{0};

protected:
    void OnConfigReply(const uint8_t *, int) override { ++replies; }
};

// A model with its read loop running over the virtual bus, the platform that gives it path
// texts, and one simulated controller found by a scan and chosen for configuration.
class LiveBench
{
public:
    explicit LiveBench(std::unique_ptr<ctrlsim::SimulatedController> device)
        : m_device(std::move(device))
    {
        m_config.SetPlatform(&m_platform);
        m_config.Reader().m_replyDelay = 0;
        m_loop = std::make_unique<LoopThread<HidConfig>>(m_config);
    }

    ~LiveBench()
    {
        m_device->stopStreaming();
        m_loop->stop();
    }

    // Scans, waits for the version query to end and chooses the controller.
    bool Choose()
    {
        m_config.Scan(DeviceCatalogue::kVendorId);
        QElapsedTimer waited;
        waited.start();
        while ((m_config.DeviceTable().size() != 1 || m_config.IsVersionQueryPending()) &&
               waited.elapsed() < 20000)
            QTest::qWait(5);
        if (m_config.DeviceTable().size() != 1 || m_config.IsVersionQueryPending())
            return false;
        m_config.SelectSlot(Slot());
        return true;
    }

    int Slot() const { return m_config.DeviceTable().firstKey(); }
    QString PathText() const { return m_config.DeviceTable().first().path; }
    HidConfig &Config() { return m_config; }
    ctrlsim::SimulatedController &Device() { return *m_device; }

private:
    std::unique_ptr<ctrlsim::SimulatedController> m_device;
    VirtualDevicePlatform m_platform;
    HidConfig m_config;
    std::unique_ptr<LoopThread<HidConfig>> m_loop;
};

class TestInputHealth : public QObject
{
    Q_OBJECT

    static std::unique_ptr<ctrlsim::SimulatedController> plug(bool dongle)
    {
        return dongle ? ctrlsim::SimulatedController::plugDongle(0x4013,
                                                                 ctrlsim::DeviceState::sane(0x4013))
                      : ctrlsim::SimulatedController::plugWired(0x400E,
                                                                ctrlsim::DeviceState::sane(0x400E));
    }

private slots:
    void cleanup() { vhid::Bus::instance().reset(); }

    void summaryOfReadTimes_data()
    {
        QTest::addColumn<QVector<qint64>>("stamps");
        QTest::addColumn<qint64>("quietUs"); // from the last stamp to the summary
        QTest::addColumn<bool>("figure");
        QTest::addColumn<Range>("rate");
        QTest::addColumn<Range>("p50");
        QTest::addColumn<Range>("p99");

        QTest::newRow("steady 1 ms") << series(0, 1000, 1000) << qint64(0) << true << exactly(1000)
                                     << exactly(1.0) << exactly(1.0);
        QTest::newRow("steady 4 ms") << series(0, 4000, 600) << qint64(0) << true << exactly(250)
                                     << exactly(4.0) << exactly(4.0);
        // 10 or 11 doubled intervals among the 512 kept: over 1 %, far under half.
        QTest::newRow("every 50th dropped") << series(0, 1000, 1000, 50) << qint64(0) << true
                                            << Range{978, 982} << exactly(1.0) << exactly(2.0);
        QTest::newRow("jitter of 0.5 ms around 4 ms")
            << series(0, 4000, 1000, 0, 500) << qint64(0) << true << Range{249.5, 250.5}
            << Range{3.8, 4.2} << Range{4.6, 5.0};
        const QVector<qint64> slow = series(0, 4000, 300);
        QTest::newRow("only the last 512 intervals count")
            << slow + series(slow.last() + 1000, 1000, 600) << qint64(0) << true << exactly(1000)
            << exactly(1.0) << exactly(1.0);
        QTest::newRow("a gap over a second starts a new series")
            << slow + series(slow.last() + 1500000, 1000, 100) << qint64(0) << true << exactly(1000)
            << exactly(1.0) << exactly(1.0);
        // 309 intervals over 1208 ms, one of them 900 ms: under 1 % of them.
        const QVector<qint64> fast = series(0, 1000, 300);
        QTest::newRow("a pause under a second stays in the series")
            << fast + series(fast.last() + 900000, 1000, 10) << qint64(0) << true
            << Range{255.7, 255.9} << exactly(1.0) << exactly(1.0);
        QTest::newRow("quiet for just under a second")
            << series(0, 1000, 100) << qint64(999000) << true << exactly(1000) << exactly(1.0)
            << exactly(1.0);
        QTest::newRow("quiet for over a second")
            << series(0, 1000, 100) << qint64(1001000) << false << Range{} << Range{} << Range{};
        QTest::newRow("a single report")
            << QVector<qint64>{5000} << qint64(0) << false << Range{} << Range{} << Range{};
        QTest::newRow("two reports read at once")
            << QVector<qint64>{5000, 5000} << qint64(0) << false << Range{} << Range{} << Range{};
    }

    void summaryOfReadTimes()
    {
        QFETCH(QVector<qint64>, stamps);
        QFETCH(qint64, quietUs);
        QFETCH(bool, figure);
        QFETCH(Range, rate);
        QFETCH(Range, p50);
        QFETCH(Range, p99);

        InputHealth health(1);
        for (qint64 us : stamps)
            health.Stamp(0, at(us));
        const auto summary = health.Summary(0, at(stamps.last() + quietUs));
        QCOMPARE(summary.has_value(), figure);
        if (!figure) {
            QCOMPARE(InputHealthText(summary, InputLink::Usb), QString());
            return;
        }
        QVERIFY2(rate.contains(summary->reportsPerSecond),
                 qPrintable(QString::number(summary->reportsPerSecond, 'f', 3)));
        QVERIFY2(p50.contains(summary->p50Ms), qPrintable(QString::number(summary->p50Ms)));
        QVERIFY2(p99.contains(summary->p99Ms), qPrintable(QString::number(summary->p99Ms)));
    }

    void slotsAreKeptApartAndResetAlone()
    {
        InputHealth health(2);
        for (int ms = 0; ms <= 400; ++ms) {
            health.Stamp(0, at(ms * 1000));
            if (ms % 4 == 0)
                health.Stamp(1, at(ms * 1000));
            health.Stamp(2, at(ms * 1000)); // beyond the slots: ignored
            health.Stamp(-1, at(ms * 1000));
        }
        const auto now = at(400000);
        QCOMPARE(health.Summary(0, now)->reportsPerSecond, 1000.0);
        QCOMPARE(health.Summary(1, now)->reportsPerSecond, 250.0);
        QVERIFY(!health.Summary(2, now));

        health.Reset(0);
        QVERIFY(!health.Summary(0, now));
        QCOMPARE(health.Summary(1, now)->reportsPerSecond, 250.0);
        // After a reset only the new reports count.
        health.Stamp(0, at(401000));
        QVERIFY(!health.Summary(0, at(401000)));
        health.Stamp(0, at(409000));
        QCOMPARE(health.Summary(0, at(409000))->p99Ms, 8.0);
    }

    void lineText_data()
    {
        QTest::addColumn<bool>("figure");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("p50");
        QTest::addColumn<double>("p99");
        QTest::addColumn<bool>("dongle");
        QTest::addColumn<QString>("text");

        QTest::newRow("wired") << true << 1000.0 << 1.0 << 1.94 << false
                               << QString::fromUtf8(
                                      "1000 Hz \u00B7 p50 1.0 ms \u00B7 p99 1.9 ms \u00B7 USB");
        QTest::newRow("dongle, rounded")
            << true << 249.6 << 4.04 << 8.26 << true
            << QString::fromUtf8("250 Hz \u00B7 p50 4.0 ms \u00B7 p99 8.3 ms \u00B7 2.4G");
        QTest::newRow("rounded down, long p99")
            << true << 124.4 << 7.96 << 1012.34 << false
            << QString::fromUtf8("124 Hz \u00B7 p50 8.0 ms \u00B7 p99 1012.3 ms \u00B7 USB");
        QTest::newRow("no figure") << false << 0.0 << 0.0 << 0.0 << true << QString();
    }

    void lineText()
    {
        QFETCH(bool, figure);
        QFETCH(double, rate);
        QFETCH(double, p50);
        QFETCH(double, p99);
        QFETCH(bool, dongle);
        QFETCH(QString, text);

        // A decimal comma in the user's language must not reach the line.
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::optional<InputHealth::Figures> figures;
        if (figure)
            figures = InputHealth::Figures{rate, p50, p99};
        const QString line = InputHealthText(figures, dongle ? InputLink::Dongle : InputLink::Usb);
        QLocale::setDefault(previous);
        QCOMPARE(line, text);
    }

    void streamSkipsReports_data()
    {
        QTest::addColumn<int>("dropEvery");
        QTest::addColumn<double>("dropChance");
        QTest::addColumn<Range>("skippedShare");

        QTest::newRow("none") << 0 << 0.0 << exactly(0);
        QTest::newRow("every 4th") << 4 << 0.0 << Range{0.2, 0.25};
        // Seeded, but how many are drawn depends on when the stream stops: a wide band.
        QTest::newRow("one in five by chance") << 0 << 0.2 << Range{0.1, 0.3};
    }

    void streamSkipsReports()
    {
        QFETCH(int, dropEvery);
        QFETCH(double, dropChance);
        QFETCH(Range, skippedShare);

        auto device = ctrlsim::SimulatedController::plug(0x400C);
        ctrlsim::StreamOptions options;
        options.interval = std::chrono::microseconds(500);
        options.dropEvery = dropEvery;
        options.dropChance = dropChance;
        options.seed = 3;
        QVERIFY(device->startStreaming(options));
        QElapsedTimer waited;
        waited.start();
        while (device->streamedReports() + device->skippedReports() < 400 &&
               waited.elapsed() < 30000) {
            // The Nth, 2Nth, ... are skipped, never the first: at no moment are more skipped
            // than one in N. Skipped is read first, so the pair can only favour the check.
            const uint64_t skipped = device->skippedReports();
            const uint64_t sent = device->streamedReports();
            if (dropEvery > 0)
                QVERIFY2(skipped * uint64_t(dropEvery - 1) <= sent,
                         qPrintable(QStringLiteral("%1 skipped, %2 sent").arg(skipped).arg(sent)));
            QTest::qWait(1);
        }
        device->stopStreaming();
        const uint64_t sent = device->streamedReports();
        const uint64_t skipped = device->skippedReports();
        const double share = double(skipped) / double(sent + skipped);
        QVERIFY2(skippedShare.contains(share), qPrintable(QString::number(share)));
        if (dropEvery > 0)
            QCOMPARE(skipped, (sent + skipped) / uint64_t(dropEvery));
    }

    void streamSendsTheCurrentInput_data()
    {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("buttonByte"); // A is its bit 0
        QTest::newRow("long") << Layout::Long << 20 << 14;
        QTest::newRow("short") << Layout::Short << 14 << 10;
    }

    void streamSendsTheCurrentInput()
    {
        QFETCH(Layout, layout);
        QFETCH(int, length);
        QFETCH(int, buttonByte);

        auto device = ctrlsim::SimulatedController::plug(0x400C);
        hid_device *handle = hid_open_path(device->path().c_str());
        QVERIFY(handle);
        ctrlsim::StreamOptions options;
        options.interval = std::chrono::milliseconds(2);
        QVERIFY(device->startStreaming(options, layout));

        unsigned char report[64] = {};
        QCOMPARE(hid_read_timeout(handle, report, sizeof report, 10000), length);
        QCOMPARE(report[buttonByte] & 1, 0);
        ctrlsim::InputState pressed;
        pressed.a = true;
        device->setStreamInput(pressed);
        // Reports queued before the change still show A released; one after it shows it.
        bool seenPressed = false;
        for (int i = 0; i < 200 && !seenPressed; ++i) {
            QCOMPARE(hid_read_timeout(handle, report, sizeof report, 10000), length);
            seenPressed = report[buttonByte] & 1;
        }
        QVERIFY(seenPressed);

        device->stopStreaming();
        QVERIFY(!device->streaming());
        while (hid_read_timeout(handle, report, sizeof report, 0) > 0) {
        }
        QCOMPARE(hid_read_timeout(handle, report, sizeof report, 50), 0);
        hid_close(handle);
    }

    void streamEndsWithTheDevice_data()
    {
        QTest::addColumn<bool>("unplug");
        QTest::newRow("unplugged") << true;
        QTest::newRow("destroyed") << false;
    }

    void streamEndsWithTheDevice()
    {
        QFETCH(bool, unplug);

        auto device = ctrlsim::SimulatedController::plug(0x400C);
        std::shared_ptr<vhid::Node> node = vhid::Bus::instance().nodes().back();
        ctrlsim::StreamOptions options;
        options.interval = std::chrono::milliseconds(1);
        // An interval of zero starts nothing.
        QVERIFY(!device->startStreaming(ctrlsim::StreamOptions{std::chrono::microseconds(0)}));
        QVERIFY(!device->streaming());
        QVERIFY(device->startStreaming(options));
        QTRY_VERIFY_WITH_TIMEOUT(device->streamedReports() > 10, 10000);
        if (unplug) {
            device->unplug();
            QVERIFY(!device->streaming());
            const uint64_t sent = device->streamedReports();
            QTest::qWait(20);
            QCOMPARE(device->streamedReports(), sent);
        } else {
            // The stream's thread must end before the device it sends through is gone
            // (AddressSanitizer and ThreadSanitizer see it otherwise).
            device.reset();
        }
        QVERIFY(!node->plugged());
    }

    // The model's read loop over a streaming simulated controller: the line it shows for the
    // configured device.
    void readLoopMeasuresTheStream_data()
    {
        QTest::addColumn<bool>("dongle");
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<int>("intervalUs");
        QTest::addColumn<int>("dropEvery");
        QTest::addColumn<int>("jitterUs");
        QTest::addColumn<int>("rateHz");
        QTest::addColumn<double>("minP99Ms");
        QTest::addColumn<QString>("link");

        // Slower: the loop waits out a read timeout on the silent gamepad interface in every
        // pass, which on a loaded machine takes several milliseconds.
        QTest::newRow("wired at 8 ms, short reports")
            << false << Layout::Short << 8000 << 0 << 0 << 125 << 0.0 << "USB";
        // Nine reports in every 40 ms; a tenth of the intervals are 8 ms.
        QTest::newRow("dongle at 4 ms, every 10th lost")
            << true << Layout::Long << 4000 << 10 << 0 << 225 << 7.5 << "2.4G";
        // Intervals of 4 ± 2 ms, over 5.7 ms for the longest 1 %; the rate stays.
        QTest::newRow("dongle at 4 ms, 1 ms of jitter")
            << true << Layout::Long << 4000 << 0 << 1000 << 250 << 5.0 << "2.4G";
    }

    void readLoopMeasuresTheStream()
    {
        QFETCH(bool, dongle);
        QFETCH(Layout, layout);
        QFETCH(int, intervalUs);
        QFETCH(int, dropEvery);
        QFETCH(int, jitterUs);
        QFETCH(int, rateHz);
        QFETCH(double, minP99Ms);
        QFETCH(QString, link);

        LiveBench bench(plug(dongle));
        QVERIFY(bench.Choose());
        QCOMPARE(bench.Config().InputHealthLine(), QString());

        ctrlsim::SimulatedController &device = bench.Device();
        ctrlsim::StreamOptions options;
        options.interval = std::chrono::microseconds(intervalUs);
        options.dropEvery = dropEvery;
        options.jitter = std::chrono::microseconds(jitterUs);
        QVERIFY(device.startStreaming(options, layout));
        // About 1.5 s of reports, however slowly the machine runs.
        const uint64_t reports = uint64_t(1500000 / intervalUs);
        QTRY_VERIFY_WITH_TIMEOUT(device.streamedReports() + device.skippedReports() >= reports,
                                 60000);

        const QRegularExpression pattern(
            QString::fromUtf8("^(\\d+) Hz \u00B7 p50 (\\d+\\.\\d) ms \u00B7 p99 (\\d+\\.\\d) ms "
                              "\u00B7 (USB|2\\.4G)$"));
        QString line;
        auto shows = [&] {
            line = bench.Config().InputHealthLine();
            const auto match = pattern.match(line);
            return match.hasMatch() &&
                   std::abs(match.captured(1).toInt() - rateHz) <= rateHz / 50 &&
                   match.captured(3).toDouble() >= minP99Ms && match.captured(4) == link;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(shows(), qPrintable(line), 30000);
    }

    void configurationRepliesAreNotInput()
    {
        ReplyCounter config;
        LoopThread<ReplyCounter> loop(config);
        vhid::NodeInfo info = ctrlsim::SimulatedController::configNodeInfo(0x400C);
        auto node = vhid::Bus::instance().plug(info);
        QVERIFY(config.OpenSlot(0, QString::fromStdString(node->path())));
        config.SelectWriteSlot(0);
        config.SetReading(true);
        std::vector<uint8_t> reply(64, 0);
        reply[0] = 0xE1;
        reply[3] = 0x3C;
        reply[4] = 0xA2;
        constexpr int kReplies = 30;
        for (int k = 0; k < kReplies; ++k)
            node->pushInput(reply, std::chrono::milliseconds(4 * k));
        QTRY_COMPARE_WITH_TIMEOUT(config.replies.load(), kReplies, 30000);
        QCOMPARE(config.InputHealthLine(), QString());
    }

    void lineEnds_data()
    {
        QTest::addColumn<QString>("event");
        QTest::newRow("stream stopped") << "stop";
        QTest::newRow("slot closed") << "close";
        QTest::newRow("device removed") << "remove";
        QTest::newRow("slot opened again") << "reopen";
    }

    void lineEnds()
    {
        QFETCH(QString, event);

        LiveBench bench(plug(true));
        QVERIFY(bench.Choose());
        ctrlsim::StreamOptions options;
        options.interval = std::chrono::milliseconds(2);
        QVERIFY(bench.Device().startStreaming(options));
        QTRY_VERIFY_WITH_TIMEOUT(!bench.Config().InputHealthLine().isEmpty(), 30000);

        HidConfig &config = bench.Config();
        const int slot = bench.Slot();
        if (event == QLatin1String("stop")) {
            bench.Device().stopStreaming();
            // No report for a second: the figure goes.
            QTRY_COMPARE_WITH_TIMEOUT(config.InputHealthLine(), QString(), 10000);
            return;
        }
        if (event == QLatin1String("close")) {
            config.CloseSlot(slot);
        } else if (event == QLatin1String("remove")) {
            config.DeviceRemoved(bench.PathText());
        } else {
            // A slot taken again starts afresh, though its last report is not a second old.
            bench.Device().stopStreaming();
            QVERIFY(config.OpenSlot(slot, bench.PathText(),
                                    QString::fromStdString(bench.Device().path())));
        }
        // At once: no report of the old handle is counted after the slot changed hands.
        QCOMPARE(config.InputHealthLine(), QString());
    }
};

QTEST_MAIN(TestInputHealth)
#include "tst_inputhealth.moc"
