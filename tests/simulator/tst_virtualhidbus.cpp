#include "virtualhid/virtualhidbus.h"

#include <hidapi.h>

#include <QtTest>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

namespace {

// The device side: echoes every report it receives, so a read shows what the device got.
struct Echo : vhid::Firmware
{
    void onOutputReport(vhid::Node &n, const Bytes &report) override { n.pushInput(report); }
} echo;

vhid::NodeInfo nodeInfo(uint16_t pid, std::vector<vhid::Collection> collections = {{0xFF00, 1}})
{
    return {0x35C7, pid, 0x0130, 1, L"Quorel Controller", L"Quorel", L"S1", std::move(collections),
            {}};
}

QByteArray readOne(hid_device *dev, int timeoutMs = 0)
{
    unsigned char buf[256];
    const int n = hid_read_timeout(dev, buf, sizeof buf, timeoutMs);
    return n > 0 ? QByteArray(reinterpret_cast<const char *>(buf), n) : QByteArray();
}

constexpr int RacingWrites = 0, RacingEnumerates = 1, CloseDuringRead = 2, ReadNull = 3,
              WriteClosed = 4, CloseTwice = 5;

} // namespace

class TestVirtualHidBus : public QObject
{
    Q_OBJECT

    vhid::Bus &bus = vhid::Bus::instance();
    std::shared_ptr<vhid::Node> node; // plugged and opened for every test
    hid_device *dev = nullptr;        // tests that close it themselves set it to null
    uint64_t misuseBaseline = 0;
    bool misuseExpected = false;
    std::atomic<int> handlerCalls{0};

    int newMisuse() const { return int(bus.misuseCount() - misuseBaseline); }
    hid_device *openNode() const { return hid_open_path(node->path().c_str()); }
    int write(const QByteArray &d) { return hid_write(dev, (const uint8_t *)d.data(), d.size()); }
    template <typename P> static bool waitUntil(P pred) // a "did not hang" bound only
    {
        for (int i = 0; i < 10000 && !pred(); ++i) {
            std::this_thread::sleep_for(1ms);
        }
        return pred();
    }
    // Blocks a reader in hid_read_timeout(-1), runs `wake` on another thread, returns the read.
    template <typename Wake> int blockedRead(Wake wake)
    {
        std::atomic<int> result{-2};
        std::thread reader([&] {
            unsigned char buf[64];
            result = hid_read_timeout(dev, buf, sizeof buf, -1);
        });
        const bool blocked = waitUntil([&] { return node->readCalls() == 1; });
        std::thread(wake).join();
        if (!waitUntil([&] { return result != -2; })) {
            bus.unplug(node); // release the reader so the test fails instead of hanging
        }
        reader.join();
        return blocked ? result.load() : -3;
    }

private slots:
    void initTestCase()
    {
        bus.setMisuseHandler([this](const std::string &) { ++handlerCalls; });
    }
    void init()
    {
        bus.reset();
        misuseBaseline = bus.misuseCount();
        handlerCalls = 0;
        misuseExpected = false;
        node = bus.plug(nodeInfo(0x1001, {{0xFF00, 1}, {0x0001, 5}}));
        node->setFirmware(&echo);
        QVERIFY(dev = openNode());
    }
    void cleanup()
    {
        hid_close(dev);
        node->setFirmware(nullptr);
        bus.reset();
        QCOMPARE(handlerCalls == 0 && newMisuse() == 0, !misuseExpected);
        QCOMPARE(bus.openHandleCount(), 0);
    }

    void readReturnsOneReportCutToTheBuffer_data()
    {
        QTest::addColumn<int>("bufferSize");
        QTest::addColumn<int>("expected");
        QTest::newRow("smaller buffer") << 4 << 4;
        QTest::newRow("exact buffer") << 10 << 10;
        QTest::newRow("larger buffer: never two reports merged") << 64 << 10;
        QTest::newRow("empty buffer") << 0 << 0;
    }
    void readReturnsOneReportCutToTheBuffer()
    {
        QFETCH(int, bufferSize);
        QFETCH(int, expected);
        node->pushInput({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        node->pushInput({0xAA});
        std::vector<unsigned char> buf(size_t(bufferSize) + 4, 0xEE);
        QCOMPARE(hid_read_timeout(dev, buf.data(), size_t(bufferSize), 0), expected);
        for (int i = 0; i < bufferSize + 4; ++i) {
            QCOMPARE(int(buf[size_t(i)]), i < expected ? i : 0xEE);
        }
        QCOMPARE(readOne(dev), QByteArray::fromHex("AA")); // the cut-off rest is gone
        QCOMPARE(readOne(dev), QByteArray());
    }

    void readTimeouts_data()
    {
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("input"); // 0 none, 1 queued before, 2 pushed later, 3 unplug later
        QTest::addColumn<int>("expected");
        QTest::newRow("timeout 0, nothing queued") << 0 << 0 << 0;
        QTest::newRow("timeout 0, queued") << 0 << 1 << 2;
        QTest::newRow("timeout 20 ms, nothing queued") << 20 << 0 << 0;
        QTest::newRow("timeout -1, queued") << -1 << 1 << 2;
        QTest::newRow("timeout -1, woken by a report from another thread") << -1 << 2 << 3;
        QTest::newRow("timeout -1, woken by unplug") << -1 << 3 << -1;
    }
    void readTimeouts()
    {
        QFETCH(int, timeout);
        QFETCH(int, input);
        QFETCH(int, expected);
        if (input >= 2) {
            const auto wake = [&] { input == 3 ? bus.unplug(node) : node->pushInput({1, 2, 3}); };
            QCOMPARE(blockedRead(wake), expected);
            return;
        }
        if (input == 1) {
            node->pushInput({7, 8});
        }
        unsigned char buf[16];
        QCOMPARE(hid_read_timeout(dev, buf, sizeof buf, timeout), expected);
    }

    void writeReportIdRule_data()
    {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<int>("expectedReturn");
        QTest::addColumn<QByteArray>("received"); // empty: the device got nothing
        const QByteArray frame = QByteArray::fromHex("E100013C") + QByteArray(60, '\x05');
        const QByteArray zero(1, '\0');
        QTest::newRow("64 bytes, first E1") << frame << 64 << frame;
        QTest::newRow("65 bytes, first 00") << zero + frame << 65 << frame;
        QTest::newRow("64 bytes, first 00") << zero + frame.left(63) << 64 << frame.left(63);
        QTest::newRow("65 bytes, first E1") << frame + 'x' << 65 << frame + 'x';
        QTest::newRow("2 bytes, first 00") << zero + 'B' << 2 << QByteArray("B");
        QTest::newRow("1 byte") << QByteArray::fromHex("E1") << -1 << QByteArray();
        QTest::newRow("0 bytes") << QByteArray("") << -1 << QByteArray();
    }
    void writeReportIdRule()
    {
        QFETCH(QByteArray, written);
        QFETCH(int, expectedReturn);
        QFETCH(QByteArray, received);
        QCOMPARE(write(written), expectedReturn);
        QCOMPARE(readOne(dev), received); // the echo of what the device got, exactly once
        QCOMPARE(readOne(dev), QByteArray());
    }

    void unplugWhileOpen()
    {
        node->pushInput({1, 2});
        bus.unplug(node);
        unsigned char buf[8] = {0xE1, 0};
        QCOMPARE(hid_read_timeout(dev, buf, sizeof buf, 0), -1); // even with a report queued
        QCOMPARE(hid_read(dev, buf, sizeof buf), -1);            // blocking: must not hang
        QCOMPARE(hid_write(dev, buf, sizeof buf), -1);
        QVERIFY(QString::fromWCharArray(hid_error(dev)) != QLatin1String("Success"));
        QVERIFY(!openNode());
        QCOMPARE(node->openHandles(), 1);
        hid_close(dev);
        dev = nullptr;
        QCOMPARE(node->openHandles(), 0);
    }

    void handlesSurviveExitAndEachGetsEveryReport()
    {
        node->pushInput({0x10});
        hid_device *second = openNode();
        QVERIFY(second && second != dev);
        const int exits = bus.exitCount();
        QCOMPARE(hid_exit(), 0);
        QCOMPARE(bus.exitCount(), exits + 1);
        QCOMPARE(write("\xE1\x11"), 2); // echoed to both handles
        QCOMPARE(readOne(dev), QByteArray("\x10"));
        QCOMPARE(readOne(dev), QByteArray("\xE1\x11"));
        QCOMPARE(readOne(second), QByteArray("\xE1\x11")); // 0x10 came before it was opened
        QCOMPARE(readOne(second), QByteArray());
        hid_close(second);
    }

    void delayedReportsArriveWhenDue()
    {
        node->pushInput({0xA}, 1000ms);
        QCOMPARE(readOne(dev), QByteArray()); // not arrived yet
        hid_device *late = openNode();
        node->pushInput({0xB});
        for (hid_device *h : {dev, late}) {
            // Both are open when 0x0A arrives, so both see it, after 0x0B.
            QCOMPARE(readOne(h, -1), QByteArray("\x0B"));
            QCOMPARE(readOne(h, -1), QByteArray("\x0A"));
        }
        hid_close(late);
        node->pushInput({0xC}, 10ms);
        std::this_thread::sleep_for(50ms); // 0x0C is due, nobody has read
        late = openNode();
        QCOMPARE(readOne(late), QByteArray()); // arrived before this handle was opened
        QCOMPARE(readOne(dev), QByteArray("\x0C"));
        hid_close(late);
    }

    void enumerate_data()
    {
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QStringList>("expected"); // "node index/usage page/usage"
        const QStringList all = {"0/ff00/1", "0/1/5", "1/ff00/1", "2/0/0"};
        QTest::newRow("any") << 0 << 0 << all;
        QTest::newRow("vendor") << 0x35C7 << 0 << QStringList(all.mid(0, 3));
        QTest::newRow("vendor and product") << 0x35C7 << 0x1001 << QStringList(all.mid(0, 2));
        QTest::newRow("product only") << 0 << 0x1001 << QStringList{all[0], all[1], all[3]};
        QTest::newRow("no match") << 0x35C7 << 0x9999 << QStringList();
    }
    void enumerate()
    {
        QFETCH(int, vid);
        QFETCH(int, pid);
        QFETCH(QStringList, expected);
        auto other = nodeInfo(0x1001, {});
        other.vendorId = 0x1234;
        const std::vector<std::shared_ptr<vhid::Node>> nodes = {node, bus.plug(nodeInfo(0x1002)),
                                                                bus.plug(other)};
        hid_device_info *list = hid_enumerate(ushort(vid), ushort(pid));
        QStringList got;
        for (hid_device_info *e = list; e; e = e->next) {
            const auto at = std::find_if(nodes.begin(), nodes.end(),
                                         [e](const auto &n) { return n->path() == e->path; });
            got << QStringLiteral("%1/%2/%3")
                       .arg(at - nodes.begin())
                       .arg(e->usage_page, 0, 16)
                       .arg(e->usage);
        }
        hid_free_enumeration(list);
        QCOMPARE(got, expected);
    }

    void misuse_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("expected"); // -1: at least one (the overlap is a race)
        QTest::newRow("hid_write on one handle from two threads") << RacingWrites << -1;
        QTest::newRow("hid_enumerate from two threads") << RacingEnumerates << -1;
        QTest::newRow("close during a blocked read") << CloseDuringRead << 1;
        QTest::newRow("read on a null handle") << ReadNull << 1;
        QTest::newRow("write after close") << WriteClosed << 1;
        QTest::newRow("close twice") << CloseTwice << 1;
    }
    void misuse()
    {
        misuseExpected = true;
        QFETCH(int, kind);
        QFETCH(int, expected);
        unsigned char buf[4] = {0xE1, 1, 2, 3};
        if (kind == RacingWrites || kind == RacingEnumerates) {
            auto worker = [&] { // until misuse is seen, or a generous number of rounds
                for (int i = 0; i < 200000 && handlerCalls == 0; ++i) {
                    kind == RacingEnumerates ? hid_free_enumeration(hid_enumerate(0, 0))
                                             : void(hid_write(dev, buf, sizeof buf));
                }
            };
            std::thread a(worker), b(worker);
            a.join();
            b.join();
        } else if (kind == CloseDuringRead) {
            QCOMPARE(blockedRead([&] { hid_close(dev); }), -1); // the close wakes the reader
            dev = nullptr;
        } else if (kind == ReadNull) {
            QCOMPARE(hid_read_timeout(nullptr, buf, sizeof buf, 0), -1);
        } else {
            hid_close(dev);
            QCOMPARE(kind == WriteClosed ? hid_write(dev, buf, sizeof buf) : (hid_close(dev), -1),
                     -1);
            dev = nullptr;
        }
        QCOMPARE(handlerCalls.load(), newMisuse());
        QCOMPARE(newMisuse(), expected < 0 ? std::max(1, newMisuse()) : expected);
    }

    void serialisedUseHasNoMisuse()
    {
        hid_close(nullptr); // allowed
        // The echo makes firmware calls and reads run on both threads too.
        std::mutex hidapi;
        auto worker = [&] {
            std::unique_lock<std::mutex> opening(hidapi);
            hid_device *own = openNode();
            opening.unlock();
            unsigned char buf[64] = {0xE1, 1};
            wchar_t name[32];
            for (int i = 0; i < 500; ++i) {
                std::lock_guard<std::mutex> lock(hidapi);
                hid_write(own, buf, sizeof buf);
                hid_read_timeout(own, buf, sizeof buf, 0);
                hid_get_product_string(own, name, 32);
                hid_free_enumeration(hid_enumerate(0x35C7, 0));
            }
            std::lock_guard<std::mutex> lock(hidapi);
            hid_close(own);
        };
        std::thread a(worker), b(worker);
        a.join();
        b.join();
        QCOMPARE(int(node->writeCalls()), 1000); // no misuse: cleanup checks
    }
};

QTEST_GUILESS_MAIN(TestVirtualHidBus)
#include "tst_virtualhidbus.moc"
