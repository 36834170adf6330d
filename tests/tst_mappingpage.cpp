#include "device/hidconfig.h"
#include "ui/mappingpage/mappingpage.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "pagebench.h"

namespace {

ButtonStates Pressed(std::initializer_list<int> indices)
{
    ButtonStates state;
    for (int i : indices)
        state[i] = true;
    return state;
}

QVector<int> Params(const std::vector<uint8_t> &frame, int count)
{
    QVector<int> bytes;
    for (int i = 0; i < count; ++i)
        bytes << frame[size_t(5 + i)];
    return bytes;
}

} // namespace

class TestMappingPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<PageBench> m_bench;
    std::unique_ptr<MappingPage> m_page;

    QPushButton *button(const char *name) { return m_page->findChild<QPushButton *>(name); }
    QString label(const char *name) { return m_page->findChild<QLabel *>(name)->text(); }

    // A record with the standard table and these back-button codes at offsets 14..19.
    void load(bool sixButtons, QVector<int> back)
    {
        m_bench->Config().m_fileProfileModel = sixButtons;
        PROFILE_INFO record{};
        for (int i = 0; i < 14; ++i)
            record.buttonMap[i] = uint8_t(i + 1);
        for (int i = 0; i < 6; ++i)
            record.buttonMap[14 + i] = uint8_t(back[i]);
        m_bench->Config().Profiles().SetRecord(0, record);
        m_page->updateMappingPage();
    }

    void report(const ButtonStates &state) { emit m_bench->Config().pressButtons(state); }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

    void init()
    {
        m_bench = std::make_unique<PageBench>(0x400E);
        QVERIFY(m_bench->IsOpen());
        m_page = std::make_unique<MappingPage>(&m_bench->Config());
        m_page->show();
    }

    void cleanup()
    {
        m_page.reset();
        m_bench.reset();
    }

    void codesFollowTheReportIndex_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("A") << 0 << 20 << "A";
        QTest::newRow("Menu") << 5 << 18 << "Menu";
        QTest::newRow("Right") << 13 << 35 << "Right";
        QTest::newRow("LT fully pulled") << 8 << 40 << "LT";
        QTest::newRow("LT past the threshold") << 16 << 40 << "LT";
        QTest::newRow("RT fully pulled") << 9 << 41 << "RT";
        QTest::newRow("RT past the threshold") << 17 << 41 << "RT";
        QTest::newRow("outside the report") << 18 << 64 << "None";
        QTest::newRow("negative") << -1 << 64 << "None";
    }

    void codesFollowTheReportIndex()
    {
        QFETCH(int, index);
        QFETCH(int, code);
        QFETCH(QString, name);
        QCOMPARE(int(MappingPage::CodeOfIndex(index)), code);
        QCOMPARE(MappingPage::NameOfCode(uint8_t(code)), name);
    }

    // A click on a back button, then a press on the controller: the label, and on save the
    // 20 bytes with the new code at that back button's offset, then the commit.
    void assignmentIsSavedAtItsOffset_data()
    {
        QTest::addColumn<bool>("six");
        QTest::addColumn<QString>("backButton");
        QTest::addColumn<int>("index"); // pressed
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("code");
        QTest::newRow("AGR1 takes RT, four buttons") << false << "AGR1" << 17 << 15 << 41;
        QTest::newRow("AGL2 takes LB, four buttons") << false << "AGL2" << 6 << 16 << 36;
        QTest::newRow("AGR3 takes X, six buttons") << true << "AGR3" << 2 << 19 << 22;
        QTest::newRow("AGL3 takes LT, six buttons") << true << "AGL3" << 16 << 18 << 40;
    }

    void assignmentIsSavedAtItsOffset()
    {
        QFETCH(bool, six);
        QFETCH(QString, backButton);
        QFETCH(int, index);
        QFETCH(int, offset);
        QFETCH(int, code);
        load(six, {64, 64, 64, 64, 64, 64});
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        QTest::mouseClick(button(qPrintable("btn" + backButton)), Qt::LeftButton);
        QVERIFY(m_page->IsWaiting());
        report(Pressed({index}));
        QVERIFY(!m_page->IsWaiting());
        QCOMPARE(label(qPrintable("lblBtn" + backButton)), MappingPage::NameOfCode(uint8_t(code)));
        QTest::mouseClick(button("btnSave"), Qt::LeftButton);

        const auto frames = m_bench->Device().firmware().frames();
        QCOMPARE(int(frames.size()), 2);
        QCOMPARE(int(frames[0][4]), 0xA1);
        QVector<int> table;
        for (int i = 0; i < 14; ++i)
            table << i + 1;
        table << 64 << 64 << 64 << 64 << 64 << 64;
        table[offset] = code;
        QCOMPARE(Params(frames[0], 20), table);
        QCOMPARE(int(frames[1][4]), 0xFB);
        QCOMPARE(m_bench->Writer().pauses, (QVector<size_t>{1}));
        QCOMPARE(notice.count(), 1);
        QCOMPARE(notice[0][0].toInt(), 0);
    }

    // The A press that starts the wait is never the assignment, even held past the arming
    // time; the next press is.
    void theArmingPressIsNotAssigned()
    {
        load(false, {64, 64, 64, 64, 64, 64});
        emit m_bench->Config().pressButtonRight(true);
        report(Pressed({0}));
        emit m_bench->Config().pressButtonA(true);
        QTRY_VERIFY(m_page->IsWaiting());
        QCOMPARE(m_page->Target(), 1);
        report(Pressed({0})); // still held
        report(Pressed({0}));
        QVERIFY(m_page->IsWaiting());
        report(Pressed({}));
        report(Pressed({3}));
        QVERIFY(!m_page->IsWaiting());
        QCOMPARE(int(m_page->AssignedCode(1)), 23);
    }

    // Ways out of a wait that assign nothing; B tapped is an assignment like any other.
    void waitCanBeGivenUp_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("code"); // AGR2 afterwards
        QTest::newRow("same back button again") << "click" << 64;
        QTest::newRow("mouse away from the rows") << "mouse" << 64;
        QTest::newRow("B held a second") << "holdB" << 64;
        QTest::newRow("B tapped") << "tapB" << 21;
    }

    void waitCanBeGivenUp()
    {
        QFETCH(QString, how);
        QFETCH(int, code);
        load(false, {64, 64, 64, 64, 64, 64});
        QTest::mouseClick(button("btnAGR2"), Qt::LeftButton);
        QVERIFY(m_page->IsWaiting());
        if (how == "click") {
            QTest::mouseClick(button("btnAGR2"), Qt::LeftButton);
        } else if (how == "mouse") {
            QMouseEvent inside(QEvent::MouseMove, QPointF(700, 120), Qt::NoButton, Qt::NoButton,
                               Qt::NoModifier);
            QApplication::sendEvent(m_page.get(), &inside);
            QVERIFY(m_page->IsWaiting());
            QMouseEvent away(QEvent::MouseMove, QPointF(200, 200), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QApplication::sendEvent(m_page.get(), &away);
        } else {
            report(Pressed({1}));
            QVERIFY(m_page->IsWaiting());
            if (how == "holdB")
                QTRY_VERIFY_WITH_TIMEOUT(!m_page->IsWaiting(), 3000);
            report(Pressed({}));
        }
        QVERIFY(!m_page->IsWaiting());
        QCOMPARE(int(m_page->AssignedCode(2)), code);
        // Nothing is waiting any more: a later press assigns nothing.
        report(Pressed({2}));
        QCOMPARE(int(m_page->AssignedCode(2)), code);
    }

    void saveAndResetWaitForTheAssignment()
    {
        load(false, {36, 37, 64, 64, 64, 64});
        QTest::mouseClick(button("btnAGL1"), Qt::LeftButton);
        m_page->on_btnSave_clicked();
        m_page->on_btnReset_clicked();
        QVERIFY(m_bench->Device().firmware().frames().empty());
    }

    // Reset then save: the default codes, 64 on every back button, the reset notice.
    void resetWritesTheDefaultTable_data()
    {
        QTest::addColumn<bool>("six");
        QTest::newRow("four buttons") << false;
        QTest::newRow("six buttons") << true;
    }

    void resetWritesTheDefaultTable()
    {
        QFETCH(bool, six);
        load(six, {36, 37, 38, 39, 40, 41});
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        QTest::mouseClick(button("btnReset"), Qt::LeftButton);
        const auto frames = m_bench->Device().firmware().frames();
        QCOMPARE(int(frames.size()), 2);
        QCOMPARE(Params(frames[0], 20), (QVector<int>{18, 19, 20, 21, 22, 23, 32, 33, 34, 35,
                                                      36, 37, 38, 39, 64, 64, 64, 64, 64, 64}));
        QCOMPARE(int(frames[1][4]), 0xFB);
        QCOMPARE(notice.count(), 1);
        QCOMPARE(notice[0][0].toInt(), 1);
        QCOMPARE(label("lblBtnAGR1"), QStringLiteral("None"));
    }

    // The periodic re-read shows a mapping changed on the controller; a change only in the
    // standard buttons leaves an unsaved assignment on screen.
    void pollShowsBackButtonChangesOnly_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<bool>("refreshed");
        QTest::newRow("AGL1 changed on the device") << 14 << true;
        QTest::newRow("AGR2 changed on the device") << 17 << true;
        QTest::newRow("a standard button changed") << 3 << false;
    }

    void pollShowsBackButtonChangesOnly()
    {
        QFETCH(int, offset);
        QFETCH(bool, refreshed);
        load(false, {64, 64, 64, 64, 64, 64});
        QTest::mouseClick(button("btnAGR1"), Qt::LeftButton);
        report(Pressed({7}));
        QCOMPARE(label("lblBtnAGR1"), QStringLiteral("RB"));
        const uint8_t value = 22;
        m_bench->Config().Profiles().StoreActive(offset, &value, 1);
        m_page->Load(PageLoad::Poll);
        QCOMPARE(label("lblBtnAGR1"), refreshed ? QStringLiteral("None") : QStringLiteral("RB"));
        if (offset == 14)
            QCOMPARE(label("lblBtnAGL1"), QStringLiteral("X"));
    }

    void controllerFocusFollowsTheTargets_data()
    {
        QTest::addColumn<bool>("six");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("index");
        QTest::newRow("into the page") << false << "R" << 1;
        QTest::newRow("down stops at the last, four") << false << "RDDDDD" << 4;
        QTest::newRow("down stops at the last, six") << true << "RDDDDDDD" << 6;
        QTest::newRow("up stops at the first") << true << "RDUU" << 1;
    }

    void controllerFocusFollowsTheTargets()
    {
        QFETCH(bool, six);
        QFETCH(QString, keys);
        QFETCH(int, index);
        load(six, {64, 64, 64, 64, 64, 64});
        m_bench->Press(keys);
        QCOMPARE(m_page->FocusIndex(), index);
    }
};

QTEST_MAIN(TestMappingPage)
#include "tst_mappingpage.moc"
