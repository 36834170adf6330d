#include "platform/linux/linuxdeviceplatform.h"
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

QPair<int, int> idsAt(const QSignalSpy &spy, int index)
{
    return qMakePair(int(spy.at(index).at(0).value<uint16_t>()),
                     int(spy.at(index).at(1).value<uint16_t>()));
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
        m_wired = m_bed.addUsbDevice(QStringLiteral("1-1"), 0x35C7, 0x400E, 0x0105);
        m_bed.addHidraw(m_wired, 0, 0, 0x35C7, 0x400E, Testbed::gamepadDescriptor());
        m_bed.addHidraw(m_wired, 1, 1, 0x35C7, 0x400E, Testbed::vendorDescriptor());
        const QString dongle = m_bed.addUsbDevice(QStringLiteral("1-2"), 0x35C7, 0x401E, 0x0203);
        m_bed.addHidraw(dongle, 0, 2, 0x35C7, 0x401E, Testbed::dongleDescriptor());
        const QString other = m_bed.addUsbDevice(QStringLiteral("1-3"), 0x046D, 0xC52B, 0x1201);
        m_bed.addHidraw(other, 2, 3, 0x046D, 0xC52B, Testbed::gamepadDescriptor());
        m_bed.addUsbDevice(QStringLiteral("1-4"), 0x2E2C, 0x5826, 0x0001);
        m_bed.addUsbDevice(QStringLiteral("1-5"), 0x35C7, 0x4031, 0x0100);
        m_bed.addUsbDevice(QStringLiteral("1-6"), 0x35C7, 0x4031, 0x0200);
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
        QTest::addColumn<int>("release");
        QTest::addColumn<bool>("present");
        QTest::newRow("wired controller") << 0x35C7 << 0x400E << 0x0105 << true;
        QTest::newRow("dongle") << 0x35C7 << 0x401E << 0x0203 << true;
        QTest::newRow("update mode") << 0x2E2C << 0x5826 << 0x0001 << true;
        QTest::newRow("absent product") << 0x35C7 << 0x4010 << 0 << false;
        QTest::newRow("product of another vendor") << 0x35C8 << 0x400E << 0 << false;
    }

    void usbRelease()
    {
        QFETCH(int, vendorId);
        QFETCH(int, productId);
        QFETCH(int, release);
        QFETCH(bool, present);
        const auto vid = static_cast<uint16_t>(vendorId);
        const auto pid = static_cast<uint16_t>(productId);
        // The caller asks twice; both answers must hold.
        QCOMPARE(int(m_platform.UsbRelease(vid, pid)), release);
        QCOMPARE(int(m_platform.UsbRelease(vid, pid)), release);
        QCOMPARE(m_platform.UsbPresent(vid, pid), present);
    }

    void lastOfSeveralWins()
    {
        libusb_context *context = nullptr;
        QCOMPARE(libusb_init(&context), 0);
        libusb_device **devices = nullptr;
        const ssize_t count = libusb_get_device_list(context, &devices);
        QList<int> releases; // of the two twins, in libusb's order
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor descriptor{};
            libusb_get_device_descriptor(devices[i], &descriptor);
            if (descriptor.idVendor == 0x35C7 && descriptor.idProduct == 0x4031)
                releases.append(descriptor.bcdDevice);
        }
        if (count >= 0)
            libusb_free_device_list(devices, 1);
        libusb_exit(context);
        QCOMPARE(releases.size(), 2);
        QVERIFY(releases.first() != releases.last());
        QCOMPARE(int(m_platform.UsbRelease(0x35C7, 0x4031)), releases.last());
    }

    void plugAndUnplug_data()
    {
        QTest::addColumn<int>("productId");
        QTest::addColumn<bool>("dongle");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("wired controller") << 0x4021 << false
                                          << QStringList{"/dev/hidraw10#vid_35c7&pid_4021&ig_00",
                                                         "/dev/hidraw11#vid_35c7&pid_4021&mi_01"};
        QTest::newRow("dongle") << 0x401E << true
                                << QStringList{"/dev/hidraw10#vid_35c7&pid_401e&col01",
                                               "/dev/hidraw10#vid_35c7&pid_401e&col02"};
    }

    void plugAndUnplug()
    {
        QFETCH(int, productId);
        QFETCH(bool, dongle);
        QFETCH(QStringList, texts);
        QSignalSpy arrived(&m_platform, &DevicePlatform::InterfaceArrived);
        QSignalSpy removed(&m_platform, &DevicePlatform::InterfaceRemoved);
        QSignalSpy usbArrived(&m_platform, &DevicePlatform::UsbDeviceArrived);
        QSignalSpy usbRemoved(&m_platform, &DevicePlatform::UsbDeviceRemoved);

        const auto pid = static_cast<uint16_t>(productId);
        const QString usb = m_bed.addUsbDevice(QStringLiteral("2-1"), 0x35C7, pid, 0x0100);
        if (dongle) {
            m_bed.addHidraw(usb, 0, 10, 0x35C7, pid, Testbed::dongleDescriptor());
        } else {
            m_bed.addHidraw(usb, 0, 10, 0x35C7, pid, Testbed::gamepadDescriptor());
            m_bed.addHidraw(usb, 1, 11, 0x35C7, pid, Testbed::vendorDescriptor());
        }
        // The "add" uevents are read from the event loop, after this scan.
        LinuxDevicePlatform scanner;
        QCOMPARE(scannedTexts(scanner, {"/dev/hidraw10", "/dev/hidraw11"}), texts);
        QTRY_COMPARE(sortedTexts(arrived), texts);
        // Events come in order: the hidraw arrivals were last, so the others are handled.
        QCOMPARE(usbArrived.count(), 1);
        QCOMPARE(idsAt(usbArrived, 0), qMakePair(0x35C7, productId));

        // sysfs is gone before the platform reads the removals.
        m_bed.remove(usb);
        QTRY_COMPARE(usbRemoved.count(), 1);
        QCOMPARE(idsAt(usbRemoved, 0), qMakePair(0x35C7, productId));
        QCOMPARE(sortedTexts(removed), texts);
        QCOMPARE(arrived.count(), texts.size());
    }

    void otherVendorsGiveNoInterfaceEvents()
    {
        QSignalSpy arrived(&m_platform, &DevicePlatform::InterfaceArrived);
        QSignalSpy removed(&m_platform, &DevicePlatform::InterfaceRemoved);
        QSignalSpy usbArrived(&m_platform, &DevicePlatform::UsbDeviceArrived);
        QSignalSpy usbRemoved(&m_platform, &DevicePlatform::UsbDeviceRemoved);

        const QString otherUsb = m_bed.addUsbDevice(QStringLiteral("2-2"), 0x046D, 0xC52B, 0x1201);
        m_bed.addHidraw(otherUsb, 0, 20, 0x046D, 0xC52B, Testbed::gamepadDescriptor());
        const QString ownUsb = m_bed.addUsbDevice(QStringLiteral("2-3"), 0x35C7, 0x4022, 0x0100);
        const QString own =
            m_bed.addHidraw(ownUsb, 1, 21, 0x35C7, 0x4022, Testbed::vendorDescriptor());
        const QStringList ownTexts{"/dev/hidraw21#vid_35c7&pid_4022&mi_01"};
        QTRY_COMPARE(sortedTexts(arrived), ownTexts);
        // USB devices of every vendor are announced: the update-mode device is not ours.
        QCOMPARE(usbArrived.count(), 2);
        QCOMPARE(idsAt(usbArrived, 0), qMakePair(0x046D, 0xC52B));

        // A scan of the other vendor does not make its removals announced, and neither a
        // change nor an event of another subsystem announces anything.
        QCOMPARE(m_platform.Scan(0x046D).size(), 2);
        m_bed.uevent(own, "change");
        m_bed.uevent(ownUsb, "change");
        m_bed.uevent(own.left(own.lastIndexOf(QLatin1Char('/'))), "add");
        m_bed.remove(otherUsb);
        m_bed.remove(ownUsb);
        QTRY_COMPARE(usbRemoved.count(), 2);
        QCOMPARE(sortedTexts(removed), ownTexts);
        QCOMPARE(arrived.count(), 1);
        QCOMPARE(usbArrived.count(), 2);
    }

    // Nodes known from a scan and a USB device present before monitoring began, none
    // announced as an arrival, still have their removals named.
    void removalOfDevicesPresentBefore()
    {
        LinuxDevicePlatform platform;
        QVERIFY(platform.StartMonitoring());
        QCOMPARE(scannedTexts(platform, {"/dev/hidraw0", "/dev/hidraw1"}), kWiredTexts);
        QSignalSpy removed(&platform, &DevicePlatform::InterfaceRemoved);
        QSignalSpy usbRemoved(&platform, &DevicePlatform::UsbDeviceRemoved);
        m_bed.remove(m_wired);
        QTRY_COMPARE(usbRemoved.count(), 1);
        QCOMPARE(idsAt(usbRemoved, 0), qMakePair(0x35C7, 0x400E));
        QCOMPARE(sortedTexts(removed), kWiredTexts);
    }
};

QTEST_GUILESS_MAIN(TestLinuxDevicePlatform)
#include "tst_linuxdeviceplatform.moc"
