#include "app/fileini.h"
#include "device/hidconfig.h"
#include "ui/triggerpage/triggerpage.h"
#include "widgets/verprogressbar.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "pagebench.h"

namespace {

using Bytes = QVector<int>;

// Levels as (left start, left end, right start, right end) for T1, T2, T3.
PROFILE_INFO Triggers(int lockL, int lockR, const QVector<Bytes> &levels)
{
    PROFILE_INFO record{};
    record.triggerLockL = uint8_t(lockL);
    record.triggerLockR = uint8_t(lockR);
    for (int i = 0; i < 3; ++i) {
        record.triggerLStart[i] = uint8_t(levels[i][0]);
        record.triggerLEnd[i] = uint8_t(levels[i][1]);
        record.triggerRStart[i] = uint8_t(levels[i][2]);
        record.triggerREnd[i] = uint8_t(levels[i][3]);
    }
    return record;
}

const QVector<Bytes> kLevels = {{1, 91, 2, 92}, {3, 93, 4, 94}, {5, 95, 6, 96}};

} // namespace

class TestTriggerPage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<PageBench> m_bench;
    std::unique_ptr<TriggerPage> m_page;

    VerProgressBar *bar(bool left)
    {
        return m_page->findChild<VerProgressBar *>(left ? "wdgTriggerL" : "wdgTriggerR");
    }

    void load(const PROFILE_INFO &record, bool keepSync, bool levels = true)
    {
        FileINI().SetSyncCode(keepSync);
        m_bench->Config().m_noTriggerLevels = !levels;
        m_bench->Config().Profiles().SetRecord(0, record);
        m_page->updateTriggerPage();
    }

    // The 0xB4 frames as "level: Ls Le Rs Re", then "fb".
    QStringList frames()
    {
        QStringList texts;
        for (const auto &f : m_bench->Device().firmware().frames())
            texts << (f[4] == 0xB4 ? QStringLiteral("%1,%2: %3 %4 %5 %6")
                                         .arg(f[5])
                                         .arg(f[6])
                                         .arg(f[7])
                                         .arg(f[8])
                                         .arg(f[9])
                                         .arg(f[10])
                                   : QString::number(f[4], 16));
        return texts;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()));
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

    void init()
    {
        m_bench = std::make_unique<PageBench>(0x400C);
        QVERIFY(m_bench->IsOpen());
        m_page = std::make_unique<TriggerPage>(&m_bench->Config());
        m_page->show();
    }

    void cleanup()
    {
        m_page.reset();
        m_bench.reset();
    }

    // A save sends every level's four values, each followed by the pause, then commits; a
    // model without lock levels sends level 0 only and stores T1 as both locks.
    void saveSendsEveryLevel_data()
    {
        QTest::addColumn<bool>("levels");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("with lock levels")
            << true << QStringList{"0,0: 1 91 2 92", "1,1: 3 93 4 94", "2,2: 5 95 6 96", "fb"};
        QTest::newRow("without lock levels") << false << QStringList{"0,0: 1 91 2 92", "fb"};
    }

    void saveSendsEveryLevel()
    {
        QFETCH(bool, levels);
        QFETCH(QStringList, sent);
        load(Triggers(1, 2, kLevels), false, levels);
        for (const char *name : {"btnLT1", "btnRT3", "lblLT2"})
            QCOMPARE(m_page->findChild<QWidget *>(name)->isVisible(), levels);
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        QTest::mouseClick(m_page->findChild<QPushButton *>("btnSave"), Qt::LeftButton);
        QCOMPARE(frames(), sent);
        QCOMPARE(m_bench->Writer().pauses.size(), sent.size() - 1);
        QCOMPARE(notice.count(), 1);
        QCOMPARE(notice[0][0].toInt(), 0);
        const PROFILE_INFO record = m_bench->Config().Profiles().Active();
        QCOMPARE(int(record.triggerLockL), levels ? 1 : 0);
        QCOMPARE(int(record.triggerLockR), levels ? 2 : 0);
    }

    // The device's lock level survives a load and a save; one out of range is T1.
    void lockLevelRoundTrip_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("shown");
        QTest::newRow("T1") << 0 << 0;
        QTest::newRow("T2") << 1 << 1;
        QTest::newRow("T3") << 2 << 2;
        QTest::newRow("out of range") << 7 << 0;
    }

    void lockLevelRoundTrip()
    {
        QFETCH(int, device);
        QFETCH(int, shown);
        load(Triggers(device, device, kLevels), false);
        QCOMPARE(m_page->LevelLeft(), shown);
        QCOMPARE(m_page->LevelRight(), shown);
        QVERIFY(
            m_page->findChild<QPushButton *>(qPrintable(QStringLiteral("btnLT%1").arg(shown + 1)))
                ->isChecked());
        QCOMPARE(bar(true)->upValue(), kLevels[shown][0]);
        m_page->on_btnSave_clicked();
        QCOMPARE(int(m_bench->Config().Profiles().Active().triggerLockL), shown);
        QCOMPARE(int(m_bench->Config().Profiles().Active().triggerLockR), shown);
    }

    void resetZeroesEachLevelThenSaves()
    {
        load(Triggers(0, 0, kLevels), false);
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        QTest::mouseClick(m_page->findChild<QPushButton *>("btnReset"), Qt::LeftButton);
        QCOMPARE(frames(), (QStringList{"0,0: 0 0 0 0", "1,1: 0 0 0 0", "2,2: 0 0 0 0",
                                        "0,0: 0 0 0 0", "1,1: 0 0 0 0", "2,2: 0 0 0 0", "fb"}));
        QCOMPARE(notice.count(), 1);
        QCOMPARE(notice[0][0].toInt(), 1);
        m_page->on_btnSave_clicked();
        QCOMPARE(notice.count(), 2);
        QCOMPARE(notice[1][0].toInt(), 0);
    }

    // With keep-sync a dragged handle also moves the other trigger, on the same level.
    void keepSyncFollowsTheDraggedHandle_data()
    {
        QTest::addColumn<bool>("left");
        QTest::addColumn<bool>("top");
        QTest::addColumn<QString>("sentLevel2");
        QTest::newRow("left start") << true << true << "2,2: 30 95 30 95";
        QTest::newRow("left end") << true << false << "2,2: 5 30 5 30";
        QTest::newRow("right start") << false << true << "2,2: 30 95 30 95";
    }

    void keepSyncFollowsTheDraggedHandle()
    {
        QFETCH(bool, left);
        QFETCH(bool, top);
        QFETCH(QString, sentLevel2);
        load(Triggers(2, 0, kLevels), true);
        // Loaded with keep-sync: the right takes the left's level and values.
        QCOMPARE(m_page->LevelRight(), 2);
        VerProgressBar *dragged = bar(left);
        if (top) {
            dragged->setUpValue(30);
            emit dragged->PosUpValue(30);
        } else {
            dragged->setDownValue(30);
            emit dragged->PosDownValue(30);
        }
        QCOMPARE(bar(!left)->upValue(), bar(left)->upValue());
        QCOMPARE(bar(!left)->downValue(), bar(left)->downValue());
        m_page->on_btnSave_clicked();
        QCOMPARE(frames().value(2), sentLevel2);
    }

    // D-pad editing keeps start + end at most 100 and neither below 0.
    void dpadEditingStaysInBounds_data()
    {
        QTest::addColumn<Bytes>("level0"); // Ls Le Rs Re
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("sent");
        // From the navigation column: Right to T1 of the right trigger, Up to its end handle.
        QTest::newRow("end up blocked at 100") << Bytes{0, 0, 60, 40} << "RUA U A"
                                               << "0,0: 0 0 60 40";
        QTest::newRow("start down blocked at 100") << Bytes{0, 0, 60, 40} << "RUUA D A"
                                                   << "0,0: 0 0 60 40";
        QTest::newRow("end up") << Bytes{0, 0, 10, 20} << "RUA UU A"
                                << "0,0: 0 0 10 22";
        QTest::newRow("start up to 0") << Bytes{0, 0, 1, 20} << "RUUA UUU A"
                                       << "0,0: 0 0 0 20";
        QTest::newRow("end down to 0") << Bytes{0, 0, 5, 1} << "RUA DDD A"
                                       << "0,0: 0 0 5 0";
    }

    void dpadEditingStaysInBounds()
    {
        QFETCH(Bytes, level0);
        QFETCH(QString, keys);
        QFETCH(QString, sent);
        load(Triggers(0, 0, {level0, {0, 0, 0, 0}, {0, 0, 0, 0}}), false);
        for (const QString &group : keys.split(' ')) {
            m_bench->Press(group);
            if (group.endsWith('A') && group.size() > 1)
                QVERIFY(m_page->IsEditing());
        }
        QVERIFY(!m_page->IsEditing());
        m_page->on_btnSave_clicked();
        QCOMPARE(frames().value(0), sent);
    }

    void focusFollowsTheKeys_data()
    {
        QTest::addColumn<bool>("levels");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("index");
        QTest::newRow("right trigger T1") << true << "R" << 1;
        QTest::newRow("across to the left trigger") << true << "RRRR" << 4;
        QTest::newRow("down to keep-sync") << true << "RD" << 7;
        QTest::newRow("up to the right end handle") << true << "RU" << 8;
        QTest::newRow("start handle, then across") << true << "RUUR" << 11;
        QTest::newRow("left to the navigation") << true << "RL" << 0;
        QTest::newRow("without levels: first the end handle") << false << "R" << 8;
        QTest::newRow("without levels: keep-sync") << false << "RD" << 7;
        QTest::newRow("without levels: left bar") << false << "RR" << 10;
    }

    void focusFollowsTheKeys()
    {
        QFETCH(bool, levels);
        QFETCH(QString, keys);
        QFETCH(int, index);
        load(Triggers(0, 0, kLevels), false, levels);
        m_bench->Press(keys);
        QCOMPARE(m_page->FocusIndex(), index);
    }
};

QTEST_MAIN(TestTriggerPage)
#include "tst_triggerpage.moc"
