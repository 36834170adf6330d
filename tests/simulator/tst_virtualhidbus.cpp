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

// The device side: remembers every report it received.
class RecordingFirmware : public vhid::Firmware
{
public:
    void onOutputReport(vhid::Node &, const Bytes &report) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        received_.push_back(report);
    }
    std::vector<Bytes> received() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Bytes> received_;
};

vhid::NodeInfo nodeInfo(uint16_t pid, std::vector<vhid::Collection> collections = {{0xFF00, 1}},
                        std::wstring serial = L"S1")
{
    return {0x35C7,
            pid,
            0x0130,
            1,
            L"Quorel Controller",
            L"Quorel",
            std::move(serial),
            std::move(collections)};
}

hid_device *openNode(const std::shared_ptr<vhid::Node> &node)
{
    return hid_open_path(node->path().c_str());
}

QByteArray readOne(hid_device *dev, int timeoutMs = 0)
{
    unsigned char buf[256];
    const int n = hid_read_timeout(dev, buf, sizeof buf, timeoutMs);
    return n > 0 ? QByteArray(reinterpret_cast<const char *>(buf), n) : QByteArray();
}

template <typename Pred> bool waitFor(Pred pred) // a "did not hang" bound only
{
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (!pred() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(1ms);
    }
    return pred();
}

} // namespace

class TestVirtualHidBus : public QObject
{
    Q_OBJECT

private:
    vhid::Bus &bus = vhid::Bus::instance();
    std::unique_ptr<RecordingFirmware> firmware;
    std::shared_ptr<vhid::Node> node; // plugged and opened for every test
    hid_device *dev = nullptr;
    uint64_t misuseBaseline = 0;
    bool misuseExpected = false;
    std::mutex messageMutex;
    std::string lastMisuse;

    int newMisuse() const { return int(bus.misuseCount() - misuseBaseline); }
    std::string lastMessage()
    {
        std::lock_guard<std::mutex> lock(messageMutex);
        return lastMisuse;
    }
    int write(const QByteArray &data)
    {
        return hid_write(dev, reinterpret_cast<const unsigned char *>(data.constData()),
                         size_t(data.size()));
    }

private slots:
    void initTestCase()
    {
        bus.setMisuseHandler([this](const std::string &what) {
            std::lock_guard<std::mutex> lock(messageMutex);
            lastMisuse = what;
        });
    }
    void init()
    {
        bus.reset();
        misuseBaseline = bus.misuseCount();
        misuseExpected = false;
        firmware = std::make_unique<RecordingFirmware>();
        node = bus.plug(nodeInfo(0x1001, {{0xFF00, 1}, {0x0001, 5}}));
        node->setFirmware(firmware.get());
        dev = openNode(node);
        QVERIFY(dev);
    }
    void cleanup()
    {
        hid_close(dev); // tests that close it themselves set it to null
        node->setFirmware(nullptr);
        bus.reset();
        if (!misuseExpected) {
            QCOMPARE(newMisuse(), 0);
        }
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
        QTest::addColumn<bool>("useHidRead");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<bool>("nonblocking");
        QTest::addColumn<bool>("queued");
        QTest::addColumn<int>("expected");
        QTest::newRow("timeout 0, nothing queued") << false << 0 << false << false << 0;
        QTest::newRow("timeout 0, queued") << false << 0 << false << true << 2;
        QTest::newRow("timeout 20 ms, nothing queued") << false << 20 << false << false << 0;
        QTest::newRow("timeout -1, queued") << false << -1 << false << true << 2;
        QTest::newRow("nonblocking hid_read, nothing") << true << 0 << true << false << 0;
        QTest::newRow("blocking hid_read, queued") << true << 0 << false << true << 2;
    }
    void readTimeouts()
    {
        QFETCH(bool, useHidRead);
        QFETCH(int, timeout);
        QFETCH(bool, nonblocking);
        QFETCH(bool, queued);
        QFETCH(int, expected);
        QCOMPARE(hid_set_nonblocking(dev, nonblocking ? 1 : 0), 0);
        if (queued) {
            node->pushInput({7, 8});
        }
        unsigned char buf[16];
        QCOMPARE(useHidRead ? hid_read(dev, buf, sizeof buf)
                            : hid_read_timeout(dev, buf, sizeof buf, timeout),
                 expected);
    }

    void blockingReadIsWoken_data()
    {
        QTest::addColumn<bool>("byUnplug");
        QTest::addColumn<int>("expected");
        QTest::newRow("by a report from another thread") << false << 3;
        QTest::newRow("by unplug") << true << -1;
    }
    void blockingReadIsWoken()
    {
        QFETCH(bool, byUnplug);
        QFETCH(int, expected);
        std::atomic<int> result{-2};
        std::thread reader([&] {
            unsigned char buf[64];
            result = hid_read_timeout(dev, buf, sizeof buf, -1);
        });
        QVERIFY(waitFor([&] { return node->readCalls() == 1; }));
        std::thread([&] { byUnplug ? bus.unplug(node) : node->pushInput({1, 2, 3}); }).join();
        const bool woke = waitFor([&] { return result.load() != -2; });
        if (!woke) {
            bus.unplug(node); // release the reader so the test fails instead of hanging
        }
        reader.join();
        QVERIFY(woke);
        QCOMPARE(result.load(), expected);
    }

    void writeReportIdRule_data()
    {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<int>("expectedReturn");
        QTest::addColumn<QByteArray>("received"); // null: the device got nothing
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
        const auto got = firmware->received();
        QCOMPARE(int(got.size()), received.isNull() ? 0 : 1);
        if (!received.isNull()) {
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(got[0].data()), int(got[0].size())),
                     received);
        }
    }

    void failedWritesReachNothing()
    {
        node->failNextWrites(2);
        QCOMPARE(write("\xE1\x01\x02"), -1);
        QVERIFY(QString::fromWCharArray(hid_error(dev)) != QLatin1String("Success"));
        QCOMPARE(write("\xE1\x01\x02"), -1);
        QCOMPARE(write("\xE1\x01\x02"), 3);
        QCOMPARE(QString::fromWCharArray(hid_error(dev)), QLatin1String("Success"));
        QCOMPARE(int(firmware->received().size()), 1);
        QCOMPARE(int(node->writeCalls()), 3);
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
        QVERIFY(!openNode(node));
        QCOMPARE(node->openHandles(), 1);
        hid_close(dev);
        dev = nullptr;
        QCOMPARE(node->openHandles(), 0);
    }

    void exitLeavesHandlesUsable()
    {
        const int exits = bus.exitCount();
        QCOMPARE(hid_exit(), 0);
        QCOMPARE(bus.exitCount(), exits + 1);
        node->pushInput({9});
        QCOMPARE(readOne(dev), QByteArray("\x09"));
        QCOMPARE(write("\xE1\x01"), 2);
    }

    void everyHandleGetsEveryReport()
    {
        node->pushInput({0x10});
        hid_device *second = openNode(node);
        QVERIFY(second && second != dev);
        QCOMPARE(node->openHandles(), 2);
        node->pushInput({0x11});
        QCOMPARE(readOne(dev), QByteArray("\x10"));
        QCOMPARE(readOne(dev), QByteArray("\x11"));
        QCOMPARE(readOne(second), QByteArray("\x11")); // 0x10 came before it was opened
        QCOMPARE(readOne(second), QByteArray());
        hid_close(second);
    }

    void queueHoldsAtMostHidrawCapacity()
    {
        for (int i = 0; i < 70; ++i) {
            node->pushInput({uint8_t(i)});
        }
        int count = 0;
        for (QByteArray got; (got = readOne(dev)).size() == 1; ++count) {
            QCOMPARE(int(uint8_t(got[0])), count); // the oldest are kept, the newest dropped
        }
        QCOMPARE(count, int(vhid::Node::kQueueCapacity));
        QCOMPARE(int(node->droppedInputs()), 70 - count);
    }

    void delayedReportsArriveWhenDue()
    {
        node->pushInput({0xA}, 1000ms);
        QCOMPARE(readOne(dev), QByteArray()); // not arrived yet
        hid_device *late = openNode(node);
        node->pushInput({0xB});
        for (hid_device *h : {dev, late}) {
            // Both are open when 0x0A arrives, so both see it, after 0x0B.
            QCOMPARE(readOne(h, -1), QByteArray("\x0B"));
            QCOMPARE(readOne(h, -1), QByteArray("\x0A"));
        }
        hid_close(late);
        node->pushInput({0xC}, 10ms);
        std::this_thread::sleep_for(50ms); // at least 50 ms: 0x0C is due, nobody has read
        late = openNode(node);
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
            int index = -1;
            for (size_t i = 0; i < nodes.size(); ++i) {
                index = nodes[i]->path() == e->path ? int(i) : index;
            }
            got << QStringLiteral("%1/%2/%3").arg(index).arg(e->usage_page, 0, 16).arg(e->usage);
        }
        hid_free_enumeration(list);
        QCOMPARE(got, expected);
    }

    void enumerationFieldsAndNumbering()
    {
        auto info = nodeInfo(0x2002, {{0xFF00, 1}}, L"SN-42");
        info.interfaceNumber = 3;
        info.release = 0x0214;
        auto plugged = bus.plug(info);
        hid_device_info *e = hid_enumerate(0x35C7, 0x2002);
        QVERIFY(e && !e->next);
        QCOMPARE(QStringLiteral("%1 %2:%3 r%4 if%5 %6/%7/%8 bus%9")
                     .arg(QString::fromLatin1(e->path))
                     .arg(e->vendor_id, 0, 16)
                     .arg(e->product_id, 0, 16)
                     .arg(e->release_number, 0, 16)
                     .arg(e->interface_number)
                     .arg(QString::fromWCharArray(e->product_string),
                          QString::fromWCharArray(e->manufacturer_string),
                          QString::fromWCharArray(e->serial_number))
                     .arg(e->bus_type),
                 QString::fromStdString(plugged->path()) +
                     " 35c7:2002 r214 if3 Quorel Controller/Quorel/SN-42 bus1");
        hid_free_enumeration(e);

        const auto number = [](const std::shared_ptr<vhid::Node> &n) {
            return std::stoi(n->path().substr(std::string("/dev/hidraw").size()));
        };
        bus.unplug(plugged);
        auto replugged = bus.plug(info);
        QVERIFY(number(node) < number(plugged));
        QVERIFY(number(plugged) < number(replugged)); // never reused
    }

    void open_data()
    {
        QTest::addColumn<bool>("byPath");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("serialOrPath");   // null serial: any
        QTest::addColumn<QString>("expectedSerial"); // empty: open fails
        QTest::newRow("ids, no serial: first match") << false << 0x3003 << QString() << "A";
        QTest::newRow("ids and serial") << false << 0x3003 << "B"
                                        << "B";
        QTest::newRow("ids, unknown serial") << false << 0x3003 << "Z"
                                             << "";
        QTest::newRow("ids 0/0 are not wildcards") << false << 0 << QString() << "";
        QTest::newRow("path") << true << 0 << "B"
                              << "B";
        QTest::newRow("unknown path") << true << 0 << "/dev/hidraw999999"
                                      << "";
        QTest::newRow("unplugged path") << true << 0 << "gone"
                                        << "";
    }
    void open()
    {
        QFETCH(bool, byPath);
        QFETCH(int, pid);
        QFETCH(QString, serialOrPath);
        QFETCH(QString, expectedSerial);
        auto gone = bus.plug(nodeInfo(0x3003, {}, L"A"));
        bus.unplug(gone);
        bus.plug(nodeInfo(0x3003, {}, L"A"));
        auto b = bus.plug(nodeInfo(0x3003, {}, L"B"));
        const std::wstring serial = serialOrPath.toStdWString();
        const std::string path = serialOrPath == QLatin1String("B") ? b->path()
                                 : serialOrPath == QLatin1String("gone")
                                     ? gone->path()
                                     : serialOrPath.toStdString();
        hid_device *opened = byPath ? hid_open_path(path.c_str())
                                    : hid_open(pid ? 0x35C7 : 0, ushort(pid),
                                               serialOrPath.isNull() ? nullptr : serial.c_str());
        QCOMPARE(opened != nullptr, !expectedSerial.isEmpty());
        if (!opened) {
            QVERIFY(QString::fromWCharArray(hid_error(nullptr)) != QLatin1String("Success"));
            return;
        }
        wchar_t got[16];
        QCOMPARE(hid_get_serial_number_string(opened, got, 16), 0);
        QCOMPARE(QString::fromWCharArray(got), expectedSerial);
        hid_close(opened);
    }

    void productStringIsTruncated_data()
    {
        QTest::addColumn<int>("maxlen");
        QTest::addColumn<int>("expectedReturn");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero length") << 0 << -1 << QString();
        QTest::newRow("room for the terminator only") << 1 << 0 << "";
        QTest::newRow("cut") << 7 << 0 << "Quorel";
        QTest::newRow("exact") << 18 << 0 << "Quorel Controller";
        QTest::newRow("roomy") << 64 << 0 << "Quorel Controller";
    }
    void productStringIsTruncated()
    {
        QFETCH(int, maxlen);
        QFETCH(int, expectedReturn);
        QFETCH(QString, expected);
        std::vector<wchar_t> buf(80, L'#');
        QCOMPARE(hid_get_product_string(dev, buf.data(), size_t(maxlen)), expectedReturn);
        if (expectedReturn == 0) {
            QCOMPARE(QString::fromWCharArray(buf.data()), expected);
        }
        for (size_t i = size_t(maxlen); i < buf.size(); ++i) {
            QCOMPARE(buf[i], L'#'); // nothing written past maxlen
        }
    }

    void overlappingCallsAreMisuse_data()
    {
        QTest::addColumn<bool>("enumerate");
        QTest::addColumn<QString>("named");
        QTest::newRow("hid_write on one handle from two threads") << false << "hid_write";
        QTest::newRow("hid_enumerate from two threads") << true << "hid_enumerate";
    }
    void overlappingCallsAreMisuse()
    {
        QFETCH(bool, enumerate);
        QFETCH(QString, named);
        misuseExpected = true;
        std::atomic<bool> seen{false};
        auto worker = [&] { // until misuse is seen, or a generous number of rounds
            const unsigned char data[] = {0xE1, 1, 2, 3};
            for (int i = 0; i < 200000 && !seen.load(); ++i) {
                enumerate ? hid_free_enumeration(hid_enumerate(0, 0))
                          : void(hid_write(dev, data, sizeof data));
                seen = newMisuse() > 0;
            }
        };
        std::thread a(worker), b(worker);
        a.join();
        b.join();
        QVERIFY(newMisuse() > 0);
        QVERIFY(QString::fromStdString(lastMessage()).contains(named));
    }

    void closeDuringBlockedReadIsMisuse()
    {
        misuseExpected = true;
        std::atomic<int> result{-2};
        std::thread reader([&] {
            unsigned char buf[64];
            result = hid_read(dev, buf, sizeof buf);
        });
        QVERIFY(waitFor([&] { return node->readCalls() == 1; }));
        hid_close(dev); // also wakes the reader
        dev = nullptr;
        reader.join();
        QCOMPARE(result.load(), -1);
        QCOMPARE(newMisuse(), 1);
        QVERIFY(lastMessage().find("hid_close") != std::string::npos);
        QVERIFY(lastMessage().find("hid_read") != std::string::npos);
    }

    void invalidHandles_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("expectedMisuse");
        QTest::newRow("read on a null handle") << 0 << 1;
        QTest::newRow("write after close") << 1 << 1;
        QTest::newRow("close twice") << 2 << 1;
        QTest::newRow("close of null is allowed") << 3 << 0;
    }
    void invalidHandles()
    {
        QFETCH(int, scenario);
        QFETCH(int, expectedMisuse);
        misuseExpected = true;
        unsigned char buf[4] = {0xE1, 0, 0, 0};
        if (scenario == 0) {
            QCOMPARE(hid_read_timeout(nullptr, buf, sizeof buf, 0), -1);
        }
        hid_close(dev);
        if (scenario == 1) {
            QCOMPARE(hid_write(dev, buf, sizeof buf), -1);
        } else {
            hid_close(scenario == 2 ? dev : nullptr);
        }
        dev = nullptr;
        QCOMPARE(newMisuse(), expectedMisuse);
    }

    void serialisedUseHasNoMisuse()
    {
        // Echoes each report back, so firmware calls and reads run on both threads too.
        struct Echo : vhid::Firmware
        {
            void onOutputReport(vhid::Node &n, const Bytes &report) override
            {
                n.pushInput(report);
            }
        } echo;
        node->setFirmware(&echo);
        std::mutex hidapi;
        auto worker = [&] {
            hid_device *own = nullptr;
            {
                std::lock_guard<std::mutex> lock(hidapi);
                own = openNode(node);
            }
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
        QCOMPARE(newMisuse(), 0);
        QCOMPARE(int(node->writeCalls()), 1000);
        node->setFirmware(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestVirtualHidBus)
#include "tst_virtualhidbus.moc"
