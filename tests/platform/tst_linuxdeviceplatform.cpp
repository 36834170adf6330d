#include "platform/linux/linuxdeviceplatform.h"
#include "platform/linux/usbdevicewalk.h"
#include "testbed.h"

#include <QtTest>
#include <libusb.h>

namespace {

QStringList sortedTexts(const QSignalSpy &spy)
{
    QStringList texts;
    for (const QList<QVariant> &arguments : spy)
        texts.append(arguments.at(0).toString());
    texts.sort();
    return texts;
}

// "vid:pid" of each signal, in order.
QStringList idsOf(const QSignalSpy &spy)
{
    QStringList ids;
    for (const QList<QVariant> &arguments : spy)
        ids.append(QString::number(arguments.at(0).value<uint16_t>(), 16) + ':' +
                   QString::number(arguments.at(1).value<uint16_t>(), 16));
    return ids;
}

QStringList scannedTexts(DevicePlatform &platform, const QStringList &nodes)
{
    QStringList texts;
    for (const HidInterface &entry : platform.Scan(LinuxDevicePlatform::kVendorId)) {
        if (nodes.contains(entry.openPath))
            texts.append(entry.pathText);
    }
    texts.sort();
    return texts;
}

// bcdDevice of each device with these ids, in libusb's order.
QList<int> libusbReleases(uint16_t vendorId, uint16_t productId)
{
    QList<int> releases;
    libusb_context *context = nullptr;
    libusb_device **devices = nullptr;
    if (libusb_init(&context) != 0)
        return {-1};
    const ssize_t count = libusb_get_device_list(context, &devices);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor d{};
        if (libusb_get_device_descriptor(devices[i], &d) == 0 && d.idVendor == vendorId &&
            d.idProduct == productId)
            releases.append(d.bcdDevice);
    }
    libusb_free_device_list(devices, 1);
    libusb_exit(context);
    return releases;
}

struct Spies
{
    explicit Spies(DevicePlatform *platform)
        : arrived(platform, &DevicePlatform::InterfaceArrived),
          removed(platform, &DevicePlatform::InterfaceRemoved),
          usbArrived(platform, &DevicePlatform::UsbDeviceArrived),
          usbRemoved(platform, &DevicePlatform::UsbDeviceRemoved)
    {
    }
    QSignalSpy arrived, removed, usbArrived, usbRemoved;
};

const QStringList kWiredTexts{"/dev/hidraw0#vid_35c7&pid_400e&ig_00",
                              "/dev/hidraw1#vid_35c7&pid_400e&mi_01"};

} // namespace

// The layer over the real hidapi-hidraw, libudev and libusb, on devices that umockdev
// emulates: scans, USB releases, and hot-plug from uevents to signals.
class TestLinuxDevicePlatform : public QObject
{
    Q_OBJECT

    Testbed m_bed;
    LinuxDevicePlatform m_platform;
    QString m_wired;

private slots:
    void initTestCase()
    {
        QVERIFY2(Testbed::inMockEnvironment(), "run this test under umockdev-wrapper");
        qRegisterMetaType<uint16_t>("uint16_t");
        // Present before monitoring begins: a wired controller (gamepad interface 0,
        // configuration interface 1), a dongle (one node with both collections), a device
        // of another vendor, the update-mode device and two devices with the same ids.
        m_wired = m_bed.plug(QStringLiteral("1-1"), 0x35C7, 0x400E, 0x0105, "gv", 0);
        m_bed.plug(QStringLiteral("1-2"), 0x35C7, 0x401E, 0x0203, "d", 2);
        m_bed.plug(QStringLiteral("1-3"), 0x046D, 0xC52B, 0x1201, "--g", 3);
        m_bed.plug(QStringLiteral("1-4"), 0x2E2C, 0x5826, 0x0001, "", 0);
        m_bed.plug(QStringLiteral("1-5"), 0x35C7, 0x4031, 0x0100, "", 0);
        m_bed.plug(QStringLiteral("1-6"), 0x35C7, 0x4031, 0x0200, "", 0);
        QVERIFY(m_platform.StartMonitoring());
        QVERIFY(m_platform.StartMonitoring());
    }

    void scan_data()
    {
        QTest::addColumn<int>("vendorId");
        QTest::addColumn<QStringList>("texts");
        // The gamepad's nested collection, which hidapi lists too, is not an interface.
        QTest::newRow("family") << 0x35C7
                                << kWiredTexts +
                                       QStringList{"/dev/hidraw2#vid_35c7&pid_401e&col01",
                                                   "/dev/hidraw2#vid_35c7&pid_401e&col02"};
        QTest::newRow("other vendor")
            << 0x046D << QStringList{"/dev/hidraw3#vid_046d&pid_c52b&ig_02"};
        QTest::newRow("absent vendor") << 0x1234 << QStringList();
    }

    void scan()
    {
        QFETCH(int, vendorId);
        QFETCH(QStringList, texts);
        QStringList got;
        for (const HidInterface &entry : m_platform.Scan(static_cast<uint16_t>(vendorId))) {
            got.append(entry.pathText);
            QCOMPARE(int(entry.vendorId), vendorId);
            QVERIFY(entry.pathText.contains(
                QStringLiteral("&pid_%1").arg(entry.productId, 4, 16, QLatin1Char('0'))));
            QVERIFY(entry.openPath.startsWith(QLatin1String("/dev/hidraw")));
            QCOMPARE(m_platform.OpenPathFor(entry.pathText), entry.openPath);
        }
        got.sort();
        QCOMPARE(got, texts);
    }

    void usbRelease_data()
    {
        QTest::addColumn<int>("vendorId");
        QTest::addColumn<int>("productId");
        QTest::addColumn<QList<int>>("releases"); // sorted
        QTest::newRow("wired controller") << 0x35C7 << 0x400E << QList<int>{0x0105};
        QTest::newRow("dongle") << 0x35C7 << 0x401E << QList<int>{0x0203};
        QTest::newRow("update mode") << 0x2E2C << 0x5826 << QList<int>{0x0001};
        // Of two with the same ids, the last that libusb lists wins.
        QTest::newRow("twins") << 0x35C7 << 0x4031 << QList<int>{0x0100, 0x0200};
        QTest::newRow("absent product") << 0x35C7 << 0x4010 << QList<int>();
        QTest::newRow("product of another vendor") << 0x35C8 << 0x400E << QList<int>();
    }

    void usbRelease()
    {
        QFETCH(int, vendorId);
        QFETCH(int, productId);
        QFETCH(QList<int>, releases);
        const auto vid = static_cast<uint16_t>(vendorId);
        const auto pid = static_cast<uint16_t>(productId);
        QList<int> listed = libusbReleases(vid, pid);
        const int expected = listed.isEmpty() ? 0 : listed.last();
        // The caller asks twice; both answers must hold.
        QCOMPARE(int(m_platform.UsbRelease(vid, pid)), expected);
        QCOMPARE(int(m_platform.UsbRelease(vid, pid)), expected);
        QCOMPARE(m_platform.UsbPresent(vid, pid), !releases.isEmpty());
        std::sort(listed.begin(), listed.end());
        QCOMPARE(listed, releases);
    }

    // The device's answer as libusb hands it over: the bytes and the count (or an error).
    void decodeString_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("received");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("text");
        const QByteArray ab("\x06\x03"
                            "A\0B\0",
                            6);
        QTest::newRow("two letters") << ab << 6 << true << "AB";
        QTest::newRow("header only") << QByteArray("\x02\x03", 2) << 2 << true << "";
        QTest::newRow("beyond the basic plane") << QByteArray("\x06\x03\x3d\xd8\x00\xde", 6) << 6
                                                << true << QString::fromUtf16(u"\U0001F600");
        QTest::newRow("CJK") << QByteArray("\x04\x03\x2d\x4e", 4) << 4 << true << "中";
        QTest::newRow("not a string") << QByteArray("\x06\x02"
                                                    "A\0B\0",
                                                    6)
                                      << 6 << false << "";
        QTest::newRow("length says more") << QByteArray("\x08\x03"
                                                        "A\0B\0",
                                                        6)
                                          << 6 << false << "";
        QTest::newRow("length says less") << QByteArray("\x04\x03"
                                                        "A\0B\0",
                                                        6)
                                          << 6 << false << "";
        QTest::newRow("odd length") << QByteArray("\x05\x03"
                                                  "A\0B",
                                                  5)
                                    << 5 << false << "";
        QTest::newRow("one byte") << QByteArray("\x01", 1) << 1 << false << "";
        QTest::newRow("error") << ab << int(LIBUSB_ERROR_PIPE) << false << "";
    }

    void decodeString()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, received);
        QFETCH(bool, accepted);
        QFETCH(QString, text);
        const auto decoded = UsbDeviceWalk::decodeString(
            reinterpret_cast<const unsigned char *>(data.constData()), received);
        QCOMPARE(decoded.has_value(), accepted);
        if (accepted)
            QCOMPARE(*decoded, text);
    }

    // Each "vid:pid:kinds" plug is a USB device as Testbed::plug makes it.
    void plugAndUnplug_data()
    {
        QTest::addColumn<QStringList>("plugs");
        QTest::addColumn<QStringList>("texts"); // sorted
        QTest::newRow("wired controller") << QStringList{"35c7:4021:gv"}
                                          << QStringList{"/dev/hidraw10#vid_35c7&pid_4021&ig_00",
                                                         "/dev/hidraw11#vid_35c7&pid_4021&mi_01"};
        QTest::newRow("dongle") << QStringList{"35c7:401e:d"}
                                << QStringList{"/dev/hidraw10#vid_35c7&pid_401e&col01",
                                               "/dev/hidraw10#vid_35c7&pid_401e&col02"};
        // USB devices of every vendor are announced, interfaces only of the family.
        QTest::newRow("other vendor beside")
            << QStringList{"46d:c52b:g", "35c7:4022:-v"}
            << QStringList{"/dev/hidraw11#vid_35c7&pid_4022&mi_01"};
    }

    void plugAndUnplug()
    {
        QFETCH(QStringList, plugs);
        QFETCH(QStringList, texts);
        Spies spies(&m_platform);
        QStringList usbs, hidraws;
        for (const QString &plug : plugs)
            usbs.append(m_bed.plug("2-" + QString::number(usbs.size() + 1),
                                   uint16_t(plug.section(':', 0, 0).toUInt(nullptr, 16)),
                                   uint16_t(plug.section(':', 1, 1).toUInt(nullptr, 16)), 0x0100,
                                   plug.section(':', 2), 10 + hidraws.size(), &hidraws));
        // The "add" uevents are read from the event loop, after this scan.
        LinuxDevicePlatform scanner;
        QCOMPARE(scannedTexts(scanner, {"/dev/hidraw10", "/dev/hidraw11"}), texts);
        QTRY_COMPARE(sortedTexts(spies.arrived), texts);
        // Events come in order: the hidraw arrivals were last, so the others are handled.
        QStringList ids;
        for (const QString &plug : plugs)
            ids.append(plug.section(':', 0, 1));
        QCOMPARE(idsOf(spies.usbArrived), ids);

        // Neither a scan of another vendor, nor changes, nor an "add" of another subsystem
        // announce anything, or keep removals from being named.
        QVERIFY(m_platform.Scan(0x046D).size() >= 1);
        for (const QString &hidraw : hidraws) {
            m_bed.uevent(hidraw, "change");
            m_bed.uevent(hidraw.left(hidraw.lastIndexOf(QLatin1Char('/'))), "add");
        }
        for (const QString &usb : usbs) {
            m_bed.uevent(usb, "change");
            // sysfs is gone before the platform reads the removals.
            m_bed.remove(usb);
        }
        QTRY_COMPARE(idsOf(spies.usbRemoved), ids);
        QCOMPARE(sortedTexts(spies.removed), texts);
        QCOMPARE(spies.arrived.count(), texts.size());
        QCOMPARE(spies.usbArrived.count(), plugs.size());
    }

    // Nodes known from a scan and a USB device present before monitoring began, none
    // announced as an arrival, still have their removals named.
    void removalOfDevicesPresentBefore()
    {
        LinuxDevicePlatform platform;
        QVERIFY(platform.StartMonitoring());
        QCOMPARE(scannedTexts(platform, {"/dev/hidraw0", "/dev/hidraw1"}), kWiredTexts);
        Spies spies(&platform);
        m_bed.remove(m_wired);
        QTRY_COMPARE(idsOf(spies.usbRemoved), QStringList{"35c7:400e"});
        QCOMPARE(sortedTexts(spies.removed), kWiredTexts);
    }
};

QTEST_GUILESS_MAIN(TestLinuxDevicePlatform)
#include "tst_linuxdeviceplatform.moc"
