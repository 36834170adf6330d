#include "platform/linux/hidreportdescriptor.h"

#include <QRandomGenerator>
#include <QtTest>

Q_DECLARE_METATYPE(QVector<HidCollectionUsage>)

namespace {

using Usages = QVector<HidCollectionUsage>;

// Items of the descriptors below, in hex.
const char kGamepad[] = "05010905a101" // Generic Desktop, Gamepad, Application
                        "0901a10009300931150026ff00750895028102c0" // nested Physical
                        "c0";
const char kVendor[] = "0600ff0901a1010902150026ff007508953f8102c0";

QVector<HidCollectionUsage> parse(const QByteArray &bytes)
{
    return HidReportDescriptor::topLevelCollections(
        reinterpret_cast<const uint8_t *>(bytes.constData()), static_cast<size_t>(bytes.size()));
}

} // namespace

class TestHidReportDescriptor : public QObject
{
    Q_OBJECT

private slots:
    void collections_data()
    {
        QTest::addColumn<QByteArray>("descriptor");
        QTest::addColumn<Usages>("expected");

        const Usages gamepad = {{0x01, 0x05}};
        const Usages vendor = {{0xFF00, 0x01}};
        const QByteArray g(kGamepad);
        const QByteArray v(kVendor);

        QTest::newRow("empty") << QByteArray() << Usages();
        QTest::newRow("gamepad, nested collection not counted") << g << gamepad;
        QTest::newRow("vendor") << v << vendor;
        QTest::newRow("dongle") << g + v << Usages{{0x01, 0x05}, {0xFF00, 0x01}};
        QTest::newRow("dongle, vendor first") << v + g << Usages{{0xFF00, 0x01}, {0x01, 0x05}};
        QTest::newRow("usage page persists across collections")
            << QByteArray("0600ff0901a101c00902a101c0") << Usages{{0xFF00, 0x01}, {0xFF00, 0x02}};
        QTest::newRow("four-byte usage carries its page")
            << QByteArray("0b0100ffffa101c0") << Usages{{0xFFFF, 0x0001}};
        QTest::newRow("four-byte usage page") << QByteArray("0700ff00000901a101c0") << vendor;
        QTest::newRow("one-byte and empty usage data")
            << QByteArray("0601ff08a101c0") << Usages{{0xFF01, 0x00}};
        QTest::newRow("physical top-level collection") << QByteArray("05010905a100c0") << Usages();
        QTest::newRow("collection without usage") << QByteArray("0501a101c0") << Usages();
        QTest::newRow("collection without usage page") << QByteArray("0905a101c0") << Usages();
        QTest::newRow("usage consumed by an input item")
            << QByteArray("050109058102a101c0") << Usages();
        QTest::newRow("application nested in application")
            << QByteArray("05010905a1010906a101c0c0") << gamepad;
        QTest::newRow("pop restores the usage page")
            << QByteArray("05010905a101a40600ffb4c00905a101c0")
            << Usages{{0x01, 0x05}, {0x01, 0x05}};
        QTest::newRow("pop of nothing") << "b4b4" + g << gamepad;
        QTest::newRow("long item skipped") << "fe03aa010203" + g << gamepad;
        QTest::newRow("long item inside a collection")
            << QByteArray("05010905a101fe02aaa1c0c0") << gamepad;
        QTest::newRow("stray end collection") << "c0c0" + g << gamepad;
        QTest::newRow("nested collection left open") << g.left(g.size() - 2) << Usages();
        QTest::newRow("second collection cut") << g + v.left(10) << gamepad;
        QTest::newRow("item data cut") << g + "0600" << gamepad;
        QTest::newRow("long item length past the end") << g + "fe40aa0102" << gamepad;
    }

    void collections()
    {
        QFETCH(QByteArray, descriptor);
        QFETCH(Usages, expected);
        QCOMPARE(parse(QByteArray::fromHex(descriptor)), expected);
    }

    // A descriptor cut anywhere yields the collections completed before the cut.
    void everyTruncationIsAPrefix()
    {
        const QByteArray full = QByteArray::fromHex(QByteArray(kVendor) + kGamepad + kVendor);
        const Usages all = parse(full);
        QCOMPARE(all.size(), 3);
        for (int length = 0; length <= full.size(); ++length) {
            const Usages some = parse(full.left(length));
            QVERIFY2(some == all.mid(0, some.size()), QByteArray::number(length));
        }
    }

    // Random bytes (a fixed seed) end without reading past the buffer, which the sanitizer
    // builds check, and without more collections than the bytes can hold.
    void randomBytes()
    {
        QRandomGenerator random(0x35C7);
        for (int round = 0; round < 5000; ++round) {
            QByteArray bytes(static_cast<int>(random.bounded(200)), '\0');
            for (char &byte : bytes)
                byte = static_cast<char>(random.bounded(256));
            // A heap copy of the exact size, so that any overread is caught.
            std::vector<uint8_t> exact(bytes.begin(), bytes.end());
            const Usages found =
                HidReportDescriptor::topLevelCollections(exact.data(), exact.size());
            // Usage, Collection and End Collection items take four bytes at least.
            QVERIFY(found.size() * 4 <= bytes.size());
        }
    }
};

QTEST_GUILESS_MAIN(TestHidReportDescriptor)
#include "tst_hidreportdescriptor.moc"
