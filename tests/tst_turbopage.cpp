#include "device/hidconfig.h"
#include "ui/turbopage/turbopage.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QPushButton>
#include <QtTest>

#include "pagebench.h"

class TestTurboPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<PageBench> m_bench;
    std::unique_ptr<TureboPage> m_page;

    void load(uint8_t mask)
    {
        PROFILE_INFO record{};
        record.turboMask = mask;
        m_bench->Config().Profiles().SetRecord(0, record);
        m_page->updateTurboPage();
    }

    void click(const QString &row)
    {
        QTest::mouseClick(m_page->findChild<QPushButton *>("btnTurbo" + row), Qt::LeftButton);
    }

    // "b8 mask" and "fb" for each frame the device received.
    QStringList frames()
    {
        QStringList texts;
        for (const auto &f : m_bench->Device().firmware().frames())
            texts << (f[4] == 0xB8 ? QStringLiteral("b8 %1").arg(f[5], 2, 16, QLatin1Char('0'))
                                   : QString::number(f[4], 16));
        return texts;
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

    void init()
    {
        m_bench = std::make_unique<PageBench>(0x400C);
        QVERIFY(m_bench->IsOpen());
        m_page = std::make_unique<TureboPage>(&m_bench->Config());
        m_page->show();
    }

    void cleanup()
    {
        m_page.reset();
        m_bench.reset();
    }

    // Clicks on switches, then save: the mask sent, or nothing when it did not change.
    void saveSendsTheChangedMask_data()
    {
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("RT is bit 7") << 0 << QStringList{"RT"} << QStringList{"b8 80", "fb"};
        QTest::newRow("RB is bit 5, LB bit 4")
            << 0 << QStringList{"RB", "LB"} << QStringList{"b8 30", "fb"};
        QTest::newRow("all eight") << 0 << QStringList{"A", "B", "X", "Y", "RB", "LB", "LT", "RT"}
                                   << QStringList{"b8 ff", "fb"};
        QTest::newRow("one off") << 0xFF << QStringList{"X"} << QStringList{"b8 fb", "fb"};
        QTest::newRow("unchanged") << 0x21 << QStringList{} << QStringList{};
        QTest::newRow("toggled back") << 0x21 << QStringList{"Y", "Y"} << QStringList{};
    }

    void saveSendsTheChangedMask()
    {
        QFETCH(int, loaded);
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, sent);
        load(uint8_t(loaded));
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        for (const QString &row : clicks)
            click(row);
        QTest::mouseClick(m_page->findChild<QPushButton *>("btnSave"), Qt::LeftButton);
        QCOMPARE(frames(), sent);
        QCOMPARE(notice.count(), sent.isEmpty() ? 0 : 1);
        if (!sent.isEmpty()) {
            QCOMPARE(notice[0][0].toInt(), 0);
            QCOMPARE(int(m_bench->Config().Profiles().Active().turboMask),
                     int(m_page->WorkingMask()));
        }
    }

    void resetClearsEveryButton()
    {
        load(0xA5);
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        QTest::mouseClick(m_page->findChild<QPushButton *>("btnReset"), Qt::LeftButton);
        QCOMPARE(frames(), (QStringList{"b8 00", "fb"}));
        QCOMPARE(notice.count(), 1);
        QCOMPARE(notice[0][0].toInt(), 1);
        // Every switch is off: the first click on one turns it on.
        click("A");
        QCOMPARE(int(m_page->WorkingMask()), 0x01);
    }

    // A change made on the controller shows with the next periodic re-read.
    void pollFollowsTheController()
    {
        load(0x01);
        const uint8_t mask = 0x42;
        m_bench->Config().Profiles().StoreActive(20, &mask, 1);
        m_page->Load(PageLoad::Poll);
        QCOMPARE(int(m_page->WorkingMask()), 0x42);
    }

    void controllerTogglesTheFocusedRow_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("mask");
        QTest::newRow("A on the first row") << "RA" << 0x01;
        QTest::newRow("down to RB") << "RDDDDA" << 0x20;
        QTest::newRow("past the last row stays on RT") << "RDDDDDDDDDDA" << 0x80;
        QTest::newRow("left gives the focus back") << "RLA" << 0x00;
    }

    void controllerTogglesTheFocusedRow()
    {
        QFETCH(QString, keys);
        QFETCH(int, mask);
        load(0);
        m_bench->Press(keys);
        QCOMPARE(int(m_page->WorkingMask()), mask);
    }
};

QTEST_MAIN(TestTurboPage)
#include "tst_turbopage.moc"
