#include "device/hidconfig.h"
#include "device/reportkind.h"
#include "protocol/controllerscommunication.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include "loopthread.h"
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

struct Dispatched
{
    ReportKind kind;
    int slot;
    QByteArray bytes;
};

// Records what the read loop hands on instead of decoding it.
class ProbeConfig : public HidConfig
{
public:
    std::atomic<int> throwNext{0};

    // A deep copy: the loop keeps appending while the test reads.
    std::vector<Dispatched> seen()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_seen;
    }
    int lastReadIndex() const { return m_lastReadIndex.load(); }

protected:
    void OnConfigReply(const uint8_t *r, int n) override { note(ReportKind::ConfigReply, r, n); }
    void OnLongInputReport(const uint8_t *r, int n) override { note(ReportKind::LongInput, r, n); }
    void OnShortInputReport(const uint8_t *r, int n) override
    {
        note(ReportKind::ShortInput, r, n);
    }

private:
    void note(ReportKind kind, const uint8_t *r, int n)
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_seen.push_back(
                {kind, m_lastReadIndex.load(), QByteArray(reinterpret_cast<const char *>(r), n)});
        }
        if (throwNext.fetch_sub(1) > 0)
            throw std::runtime_error("decoder failed");
    }

    std::mutex m_lock;
    std::vector<Dispatched> m_seen;
};

std::vector<uint8_t> replyFrame(uint8_t code, int length = 64)
{
    std::vector<uint8_t> r(size_t(length), 0);
    r[0] = 0xE1;
    r[1] = 0x00;
    r[2] = 0x01;
    r[3] = 0x3C;
    if (length > 4)
        r[4] = code;
    return r;
}

std::shared_ptr<vhid::Node> plugSilentNode(uint16_t pid)
{
    vhid::NodeInfo info;
    info.vendorId = 0x35C7;
    info.productId = pid;
    info.collections = {{0xFF00, 0x01}};
    return vhid::Bus::instance().plug(info);
}

QString pathOf(const std::shared_ptr<vhid::Node> &node)
{
    return QString::fromStdString(node->path());
}

} // namespace

class TestReadLoop : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProbeConfig> m_config;
    std::unique_ptr<LoopThread<ProbeConfig>> m_loop;

    // Waits until the loop has handed on count reports.
    bool waitForReports(int count)
    {
        QElapsedTimer waited;
        waited.start();
        while (int(m_config->seen().size()) < count && waited.elapsed() < 10000)
            QTest::qWait(2);
        return int(m_config->seen().size()) >= count;
    }

private slots:
    void init()
    {
        m_config = std::make_unique<ProbeConfig>();
        m_loop = std::make_unique<LoopThread<ProbeConfig>>(*m_config);
    }

    void cleanup()
    {
        QVERIFY(m_loop->stop());
        m_loop.reset();
        m_config.reset();
        vhid::Bus::instance().reset();
    }

    void classifiesByContentAndLength_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<int>("kind");
        auto bytes = [](std::vector<uint8_t> v) {
            return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
        };
        QTest::newRow("reply") << bytes(replyFrame(0xA2)) << int(ReportKind::ConfigReply);
        auto other2 = replyFrame(0xA2);
        other2[2] = 0x77;
        QTest::newRow("reply, byte 2 ignored") << bytes(other2) << int(ReportKind::ConfigReply);
        QTest::newRow("short reply") << bytes(replyFrame(0xB1, 5)) << int(ReportKind::ConfigReply);
        QTest::newRow("14-byte reply")
            << bytes(replyFrame(0xB1, 14)) << int(ReportKind::ConfigReply);
        auto notReply = replyFrame(0xA2);
        notReply[3] = 0x3D;
        QTest::newRow("64 non-reply") << bytes(notReply) << int(ReportKind::LongInput);
        QTest::newRow("17") << QByteArray(17, '\x01') << int(ReportKind::LongInput);
        QTest::newRow("16") << QByteArray(16, '\x01') << int(ReportKind::Ignored);
        QTest::newRow("15") << QByteArray(15, '\x01') << int(ReportKind::Ignored);
        QTest::newRow("14") << QByteArray(14, '\x01') << int(ReportKind::ShortInput);
        QTest::newRow("13") << QByteArray(13, '\x01') << int(ReportKind::Ignored);
        QTest::newRow("1") << QByteArray(1, '\xE1') << int(ReportKind::Ignored);
    }

    void classifiesByContentAndLength()
    {
        QFETCH(QByteArray, report);
        QFETCH(int, kind);
        const auto *r = reinterpret_cast<const uint8_t *>(report.constData());
        QCOMPARE(int(classifyReport(r, report.size())), kind);

        // Through the loop: an ignored report leaves nothing before the marker behind it.
        auto node = plugSilentNode(0x400C);
        QVERIFY(m_config->OpenSlot(0, pathOf(node)));
        m_config->SetReading(true);
        node->pushInput(std::vector<uint8_t>(report.begin(), report.end()));
        node->pushInput(replyFrame(0xFB));
        const bool ignored = kind == int(ReportKind::Ignored);
        QVERIFY(waitForReports(ignored ? 1 : 2));
        const auto seen = m_config->seen();
        QCOMPARE(int(seen.size()), ignored ? 1 : 2);
        if (!ignored) {
            QCOMPARE(int(seen[0].kind), kind);
            QCOMPARE(seen[0].bytes, report);
        }
        QCOMPARE(seen.back().bytes[4], char(0xFB));
    }

    void onlyTheFirstSixteenSlotsArePolled()
    {
        auto high = plugSilentNode(0x400C);
        auto low = plugSilentNode(0x401E);
        QVERIFY(m_config->OpenSlot(16, pathOf(high)));
        QVERIFY(m_config->OpenSlot(15, pathOf(low)));
        m_config->SetReading(true);
        high->pushInput(replyFrame(0xA2));
        for (int i = 0; i < 20; ++i)
            low->pushInput(replyFrame(0xB9));
        QVERIFY(waitForReports(20));
        QCOMPARE(high->readCalls(), uint64_t(0));
        for (const auto &d : m_config->seen()) {
            QCOMPARE(d.slot, 15);
            QCOMPARE(d.bytes[4], char(0xB9));
        }
    }

    void lockedSlotsAreTheOnlyOnesPolled_data()
    {
        QTest::addColumn<bool>("versionQuery");
        QTest::newRow("locked") << false;
        QTest::newRow("version query overrides the lock") << true;
    }

    void lockedSlotsAreTheOnlyOnesPolled()
    {
        QFETCH(bool, versionQuery);
        std::vector<std::shared_ptr<vhid::Node>> nodes;
        const int slotIndexes[] = {0, 2, 5, 7};
        for (int slot : slotIndexes) {
            nodes.push_back(plugSilentNode(uint16_t(0x4000 + slot)));
            QVERIFY(m_config->OpenSlot(slot, pathOf(nodes.back())));
        }
        m_config->SetLockSlots(true, 2, 5);
        m_config->SetVersionQuery(versionQuery);
        m_config->SetReading(true);
        for (int round = 0; round < 10; ++round)
            for (auto &node : nodes)
                node->pushInput(replyFrame(0xB2));
        QVERIFY(waitForReports(versionQuery ? 40 : 20));
        QSet<int> polled;
        for (const auto &d : m_config->seen())
            polled.insert(d.slot);
        QCOMPARE(polled, versionQuery ? (QSet<int>{0, 2, 5, 7}) : (QSet<int>{2, 5}));
        if (!versionQuery) {
            QCOMPARE(nodes[0]->readCalls(), uint64_t(0));
            QCOMPARE(nodes[3]->readCalls(), uint64_t(0));
        }
    }

    void failingDecoderDoesNotStopTheLoop()
    {
        auto node = plugSilentNode(0x400C);
        QVERIFY(m_config->OpenSlot(0, pathOf(node)));
        m_config->throwNext = 2;
        m_config->SetReading(true);
        QTest::ignoreMessage(QtDebugMsg, "read loop error: decoder failed");
        QTest::ignoreMessage(QtDebugMsg, "read loop error: decoder failed");
        node->pushInput(replyFrame(0xA2));
        node->pushInput(std::vector<uint8_t>(20, 1));
        node->pushInput(replyFrame(0xFB));
        QVERIFY(waitForReports(3));
        QCOMPARE(m_config->seen()[2].bytes[4], char(0xFB));
    }

    void reportsFromAnUnpluggedDeviceStop()
    {
        auto node = plugSilentNode(0x400C);
        auto other = plugSilentNode(0x401E);
        QVERIFY(m_config->OpenSlot(0, pathOf(node)));
        QVERIFY(m_config->OpenSlot(1, pathOf(other)));
        m_config->SetReading(true);
        vhid::Bus::instance().unplug(node);
        other->pushInput(replyFrame(0xB3));
        QVERIFY(waitForReports(1));
        QCOMPARE(m_config->seen()[0].slot, 1);
    }

    void stopEndsAnIdleLoop() { QVERIFY(m_loop->stop()); }

    void createProfileCarriesTheActiveRecord()
    {
        PROFILE_INFO racing;
        for (int i = 0; i < 90; ++i)
            racing.bytes()[i] = uint8_t(255 - i);
        m_config->Profiles().SetRecord(1, racing);
        m_config->Profiles().SetActiveIndex(1);
        m_config->Profiles().SetActiveName(QStringLiteral("Racing"));
        QSignalSpy spy(m_config.get(), &HidConfig::CreateProfile);
        m_config->RequestCreateProfile();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].toString(), QStringLiteral("Racing"));
        const auto record = qvariant_cast<PROFILE_INFO>(spy[0][1]);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(record.bytes()), 90),
                 QByteArray(reinterpret_cast<const char *>(racing.bytes()), 90));
    }

    // Pages write on the GUI thread, the read-back on the worker thread, and discovery
    // closes handles, all while the loop reads. The virtual bus aborts on any overlap.
    void closingAndWritingWhileTheLoopReads()
    {
        auto device = ctrlsim::SimulatedController::plug(0x400C);
        const QString path = QString::fromStdString(device->path());
        QVERIFY(m_config->OpenSlot(0, path));
        m_config->SelectSlot(0);
        m_config->SetReading(true);
        ControllersCommunication *com = m_config->GetControllerComHandle();

        std::atomic<bool> done{false};
        std::thread writer([&] {
            while (!done.load()) {
                com->GetTurbo();
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
        });
        const auto previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        bool reopened = true;
        for (int i = 0; i < 2000; ++i) {
            m_config->CloseSlot(0);
            reopened = m_config->OpenSlot(0, path) && reopened;
            com->GetStickAxis();
        }
        done = true;
        writer.join();
        QVERIFY(reopened);
        qInstallMessageHandler(previous);
        QVERIFY(device->firmware().frames().size() > 0);
        QCOMPARE(vhid::Bus::instance().misuseCount(), uint64_t(0));
    }
};

QTEST_MAIN(TestReadLoop)
#include "tst_readloop.moc"
