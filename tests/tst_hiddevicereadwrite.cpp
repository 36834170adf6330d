#include "device/hiddevicereadwrite.h"

#include "virtualhid/virtualhidbus.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include "loopthread.h"
#include "signalcounter.h"

namespace {

std::shared_ptr<vhid::Node> plug(uint16_t vid, uint16_t pid)
{
    vhid::NodeInfo info;
    info.vendorId = vid;
    info.productId = pid;
    info.collections = {{0x01, 0x05}};
    return vhid::Bus::instance().plug(info);
}

std::vector<uint8_t> buttonReport(bool a)
{
    std::vector<uint8_t> report(64, 0);
    report[10] = a ? 0x01 : 0x02; // bit 1 (B) must not count as A
    return report;
}

} // namespace

class TestHidDeviceReadWrite : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<HidDeviceReadWrite> m_device;
    std::unique_ptr<LoopThread<HidDeviceReadWrite>> m_loop;

private slots:
    void init()
    {
        m_device = std::make_unique<HidDeviceReadWrite>();
        m_loop = std::make_unique<LoopThread<HidDeviceReadWrite>>(*m_device);
    }

    void cleanup()
    {
        QVERIFY(m_loop->stop());
        m_loop.reset();
        m_device.reset();
        vhid::Bus::instance().reset();
    }

    void buttonWaitEndsOnTheAButton()
    {
        auto pad = plug(0x045E, 0x02FF);
        QSignalSpy connected(m_device.get(), &HidDeviceReadWrite::IsConnected);
        SignalCounter pressed(m_device.get(), &HidDeviceReadWrite::pressButtonA);
        QVERIFY(m_device->OpenDevice(0x045E, 0x02FF));
        QCOMPARE(connected.count(), 1);
        QCOMPARE(connected[0][0].toBool(), true);
        QVERIFY(m_device->IsButtonWait());
        QVERIFY(m_device->IsReading());

        for (int i = 0; i < 5; ++i)
            pad->pushInput(buttonReport(false));
        pad->pushInput(buttonReport(true));
        pad->pushInput(buttonReport(true));
        QTRY_COMPARE_WITH_TIMEOUT(pressed.count(), 1, 10000);
        QVERIFY(!m_device->IsReading());
        QTest::qWait(50);
        QCOMPARE(pressed.count(), 1); // reading stopped with the first press
    }

    void otherDevicesWaitForATransfer_data()
    {
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::newRow("update mode") << 0x2E2C << 0x5826;
        QTest::newRow("same vendor, other product") << 0x045E << 0x02FE;
        QTest::newRow("same product, other vendor") << 0x045F << 0x02FF;
    }

    void otherDevicesWaitForATransfer()
    {
        QFETCH(int, vid);
        QFETCH(int, pid);
        auto node = plug(uint16_t(vid), uint16_t(pid));
        QVERIFY(m_device->OpenDevice(uint16_t(vid), uint16_t(pid)));
        QVERIFY(m_device->IsOpen());
        QVERIFY(!m_device->IsButtonWait());
        QVERIFY(!m_device->IsReading());
    }

    void openFailureLeavesReadingOff()
    {
        auto pad = plug(0x045E, 0x02FF);
        QVERIFY(m_device->OpenDevice(0x045E, 0x02FF));
        QSignalSpy connected(m_device.get(), &HidDeviceReadWrite::IsConnected);
        QVERIFY(!m_device->OpenDevice(0x2E2C, 0x5826));
        QVERIFY(!m_device->IsReading());
        QVERIFY(!m_device->IsOpen());
        // The open device was closed first.
        QCOMPARE(connected.count(), 1);
        QCOMPARE(connected[0][0].toBool(), false);
        QCOMPARE(pad->openHandles(), 0);
    }

    void closeReleasesTheDevice()
    {
        auto node = plug(0x2E2C, 0x5826);
        QVERIFY(m_device->OpenDevice(0x2E2C, 0x5826));
        QSignalSpy connected(m_device.get(), &HidDeviceReadWrite::IsConnected);
        const int exits = vhid::Bus::instance().exitCount();
        m_device->CloseDevice();
        QCOMPARE(connected.count(), 1);
        QCOMPARE(connected[0][0].toBool(), false);
        QCOMPARE(node->openHandles(), 0);
        QCOMPARE(vhid::Bus::instance().exitCount(), exits + 1);
        m_device->CloseDevice(); // nothing open: no second signal
        QCOMPARE(connected.count(), 1);
    }

    void unplugDuringButtonWaitKeepsTheLoopAlive()
    {
        auto pad = plug(0x045E, 0x02FF);
        QVERIFY(m_device->OpenDevice(0x045E, 0x02FF));
        vhid::Bus::instance().unplug(pad);
        auto again = plug(0x045E, 0x02FF);
        SignalCounter pressed(m_device.get(), &HidDeviceReadWrite::pressButtonA);
        QVERIFY(m_device->OpenDevice(0x045E, 0x02FF));
        again->pushInput(buttonReport(true));
        QTRY_COMPARE_WITH_TIMEOUT(pressed.count(), 1, 10000);
    }
};

QTEST_GUILESS_MAIN(TestHidDeviceReadWrite)
#include "tst_hiddevicereadwrite.moc"
