#include "app/fileini.h"
#include "device/hidconfig.h"
#include "ui/stickpage/stickpage.h"
#include "widgets/progressbar.h"
#include "widgets/stickdeadzone.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "pagebench.h"

namespace {

using Bytes = QVector<int>;

const Bytes kLinear = {20, 20, 40, 40, 60, 60, 80, 80};
const Bytes kSmooth = {35, 9, 46, 31, 54, 69, 65, 91};
const Bytes kRadical = {8, 32, 26, 46, 72, 55, 92, 69};
const Bytes kCustom = {10, 30, 35, 50, 60, 70, 85, 90};

// A record's stick section: inversions LX LY RX RY, dead zones inner/outer L, inner/outer R,
// the two curves.
struct Sticks
{
    Bytes reverse;
    Bytes deadZones;
    Bytes curveL;
    Bytes curveR;
};

PROFILE_INFO WithSticks(const Sticks &s)
{
    PROFILE_INFO record{};
    for (int i = 0; i < 4; ++i) {
        record.bytes()[23 + i] = uint8_t(s.reverse[i]);
        record.bytes()[27 + i] = uint8_t(s.deadZones[i]);
    }
    for (int i = 0; i < 8; ++i) {
        record.stickCurveL[i] = uint8_t(s.curveL[i]);
        record.stickCurveR[i] = uint8_t(s.curveR[i]);
    }
    return record;
}

Bytes Slice(const PROFILE_INFO &record, int offset, int count)
{
    Bytes bytes;
    for (int i = 0; i < count; ++i)
        bytes << record.bytes()[offset + i];
    return bytes;
}

int ParamCount(uint8_t code)
{
    switch (code) {
    case 0xBA:
        return 9;
    case 0xA7:
    case 0xA5:
        return 4;
    default:
        return 0;
    }
}

} // namespace

class TestStickPage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<PageBench> m_bench;
    std::unique_ptr<StickPage> m_page;

    template <typename T> T *child(const char *name) { return m_page->findChild<T *>(name); }
    ProgressBar *bar(bool left)
    {
        return child<ProgressBar>(left ? "wdgStickprogbarL" : "wdgStickprogbarR");
    }

    void load(const Sticks &sticks, bool keepSync)
    {
        FileINI().SetSyncCode(keepSync);
        m_bench->Config().Profiles().SetRecord(0, WithSticks(sticks));
        m_page->updateStickPage();
    }

    QStringList frames()
    {
        QStringList texts;
        for (const auto &f : m_bench->Device().firmware().frames())
            texts << CommandText(f, ParamCount(f[4]));
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
        m_bench = std::make_unique<PageBench>(0x400E);
        QVERIFY(m_bench->IsOpen());
        m_page = std::make_unique<StickPage>(&m_bench->Config());
        m_page->show();
    }

    void cleanup()
    {
        m_page.reset();
        m_bench.reset();
    }

    void presetsAreRecognisedByAllEightBytes_data()
    {
        QTest::addColumn<Bytes>("curve");
        QTest::addColumn<int>("preset");
        QTest::newRow("linear") << kLinear << int(StickPage::Linear);
        QTest::newRow("smooth") << kSmooth << int(StickPage::Smooth);
        QTest::newRow("radical") << kRadical << int(StickPage::Radical);
        QTest::newRow("all zeros is not dynamic") << Bytes(8, 0) << int(StickPage::NoPreset);
        Bytes nearly = kSmooth;
        nearly[7] = 90;
        QTest::newRow("last byte differs") << nearly << int(StickPage::NoPreset);
    }

    void presetsAreRecognisedByAllEightBytes()
    {
        QFETCH(Bytes, curve);
        QFETCH(int, preset);
        uint8_t bytes[8];
        std::copy(curve.begin(), curve.end(), bytes);
        QCOMPARE(StickPage::curvePreset(bytes), preset);
    }

    // The frames of a save, in order, each write followed by the pause, then the commit;
    // the record afterwards; a curve of no preset goes back as it came.
    void saveSendsTheStickSection_data()
    {
        QTest::addColumn<bool>("fileProfiles");
        QTest::newRow("plain model") << false;
        QTest::newRow("file-profile model") << true;
    }

    void saveSendsTheStickSection()
    {
        QFETCH(bool, fileProfiles);
        m_bench->Config().m_fileProfileModel = fileProfiles;
        const Sticks sticks{{1, 0, 0, 1}, {10, 20, 5, 15}, kSmooth, kCustom};
        load(sticks, false);
        QVERIFY(child<QPushButton>("btnCureVeSmoothL")->isChecked());
        for (const char *name : {"btnCureveLinearR", "btnCureVeSmoothR", "btnCurveRadicalR"})
            QVERIFY(!child<QPushButton>(name)->isChecked());
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        QSignalSpy mirrored(&m_bench->Config(), &HidConfig::CreateProfile);

        QTest::mouseClick(child<QPushButton>("btnSave"), Qt::LeftButton);

        QCOMPARE(
            frames(),
            (QStringList{CommandText(0xBA, Bytes{0} + kSmooth),
                         CommandText(0xBA, Bytes{1} + kCustom), CommandText(0xA7, {1, 0, 0, 1}),
                         CommandText(0xA5, {10, 20, 5, 15}), CommandText(0xFB, {})}));
        QCOMPARE(m_bench->Writer().pauses, (QVector<size_t>{1, 2, 3, 4}));
        const PROFILE_INFO record = m_bench->Config().Profiles().Active();
        QCOMPARE(Slice(record, 23, 8), (Bytes{1, 0, 0, 1, 10, 20, 5, 15}));
        QCOMPARE(int(record.stickCurveSide), 1);
        QCOMPARE(Slice(record, 32, 8), kSmooth);
        QCOMPARE(Slice(record, 40, 8), kCustom);
        QCOMPARE(notice.count(), 1);
        QCOMPARE(notice[0][0].toInt(), 0);
        QCOMPARE(mirrored.count(), fileProfiles ? 1 : 0);
    }

    void resetSendsZerosThenSavesLinear()
    {
        load({{1, 1, 1, 1}, {30, 30, 20, 20}, kRadical, kSmooth}, false);
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        QTest::mouseClick(child<QPushButton>("btnReset"), Qt::LeftButton);
        QCOMPARE(
            frames(),
            (QStringList{CommandText(0xA5, {0, 0, 0, 0}), CommandText(0xBA, Bytes{0} + kLinear),
                         CommandText(0xBA, Bytes{1} + kLinear), CommandText(0xA7, {0, 0, 0, 0}),
                         CommandText(0xA5, {0, 0, 0, 0}), CommandText(0xFB, {})}));
        QCOMPARE(m_bench->Writer().pauses, (QVector<size_t>{1, 2, 3, 4, 5}));
        QCOMPARE(notice.count(), 1);
        QCOMPARE(notice[0][0].toInt(), 1);
        QCOMPARE(bar(true)->leftValue(), 0);
        QCOMPARE(bar(false)->rightValue(), 0);
        // The next save is an ordinary one again.
        QTest::mouseClick(child<QPushButton>("btnSave"), Qt::LeftButton);
        QCOMPARE(notice.count(), 2);
        QCOMPARE(notice[1][0].toInt(), 0);
    }

    void hiddenPageNeitherSavesNorResets()
    {
        load({{0, 0, 0, 0}, {1, 2, 3, 4}, kLinear, kLinear}, false);
        m_page->hide();
        m_page->on_btnSave_clicked();
        m_page->on_btnReset_clicked();
        QVERIFY(frames().isEmpty());
    }

    // Keep-sync: the right stick follows the left one, after a load and after each change
    // on either side. Checked through what a save sends.
    void keepSyncMirrors_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("sent"); // A7, A5 and the right curve of the next save
        // Loaded with different sides: the right takes the left's values.
        QTest::newRow("load") << ""
                              << QStringList{CommandText(0xA7, {1, 0, 1, 0}),
                                             CommandText(0xA5, {10, 20, 10, 20}),
                                             CommandText(0xBA, Bytes{1} + kRadical)};
        QTest::newRow("left X inversion")
            << "btnReverseLX"
            << QStringList{CommandText(0xA7, {0, 0, 0, 0}), CommandText(0xA5, {10, 20, 10, 20}),
                           CommandText(0xBA, Bytes{1} + kRadical)};
        QTest::newRow("right Y inversion")
            << "btnReverseRY"
            << QStringList{CommandText(0xA7, {1, 1, 1, 1}), CommandText(0xA5, {10, 20, 10, 20}),
                           CommandText(0xBA, Bytes{1} + kRadical)};
        QTest::newRow("right curve")
            << "btnCureVeSmoothR"
            << QStringList{CommandText(0xA7, {1, 0, 1, 0}), CommandText(0xA5, {10, 20, 10, 20}),
                           CommandText(0xBA, Bytes{1} + kSmooth)};
        QTest::newRow("left outer dragged")
            << "dragLeftOuter"
            << QStringList{CommandText(0xA7, {1, 0, 1, 0}), CommandText(0xA5, {10, 33, 10, 33}),
                           CommandText(0xBA, Bytes{1} + kRadical)};
        QTest::newRow("right inner dragged")
            << "dragRightInner"
            << QStringList{CommandText(0xA7, {1, 0, 1, 0}), CommandText(0xA5, {44, 20, 44, 20}),
                           CommandText(0xBA, Bytes{1} + kRadical)};
        QTest::newRow("sync turned off keeps the copy")
            << "btnKeepSync"
            << QStringList{CommandText(0xA7, {1, 0, 1, 0}), CommandText(0xA5, {10, 20, 10, 20}),
                           CommandText(0xBA, Bytes{1} + kRadical)};
    }

    void keepSyncMirrors()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, sent);
        load({{1, 0, 0, 1}, {10, 20, 30, 40}, kRadical, kLinear}, true);
        QVERIFY(m_page->IsKeepSync());
        // A drag moves its own handle, then tells the page.
        if (action == "dragLeftOuter") {
            bar(true)->setRightValue(33);
            emit bar(true)->PosRightValueZ(33);
        } else if (action == "dragRightInner") {
            bar(false)->setLeftValue(44);
            emit bar(false)->PosLeftValueZ(44);
        }
        if (action.startsWith("btn"))
            QTest::mouseClick(child<QPushButton>(action.toLatin1().constData()), Qt::LeftButton);
        if (action == "btnKeepSync") {
            QVERIFY(!m_page->IsKeepSync());
            QVERIFY(!FileINI().SyncCode());
        }
        // The bars show what goes out.
        QCOMPARE(bar(false)->leftValue(), bar(true)->leftValue());
        QCOMPARE(bar(false)->rightValue(), bar(true)->rightValue());
        m_page->on_btnSave_clicked();
        const QStringList all = frames();
        QCOMPARE(all.size(), 5);
        QCOMPARE((QStringList{all[2], all[3], all[1]}), sent);
    }

    // D-pad editing of a handle: A starts and ends it, Left and Right step by one and never
    // take inner + outer past 100 or a value below 0. Keep-sync steps the other stick too.
    void dpadEditingStaysInBounds_data()
    {
        QTest::addColumn<Bytes>("deadZones"); // inner L, outer L, inner R, outer R
        QTest::addColumn<bool>("keepSync");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<Bytes>("sent");
        QTest::newRow("inner up") << Bytes{10, 20, 0, 0} << false << "RA RRR A"
                                  << Bytes{13, 20, 0, 0};
        QTest::newRow("inner held at the sum of 100")
            << Bytes{40, 58, 0, 0} << false << "RA RRRRR A" << Bytes{42, 58, 0, 0};
        QTest::newRow("inner not below 0")
            << Bytes{2, 20, 0, 0} << false << "RA LLLLL A" << Bytes{0, 20, 0, 0};
        // The outer handle sits on the right: Right makes the outer dead zone smaller.
        QTest::newRow("outer down")
            << Bytes{0, 2, 0, 0} << false << "RRA RRRR A" << Bytes{0, 0, 0, 0};
        QTest::newRow("outer up to the sum")
            << Bytes{40, 57, 0, 0} << false << "RRA LLLLL A" << Bytes{40, 60, 0, 0};
        QTest::newRow("right stick inner")
            << Bytes{0, 0, 5, 90} << false << "RRRA RRRRRRRR A" << Bytes{0, 0, 10, 90};
        QTest::newRow("keep-sync steps both")
            << Bytes{10, 20, 30, 40} << true << "RA RR A" << Bytes{12, 20, 12, 20};
    }

    void dpadEditingStaysInBounds()
    {
        QFETCH(Bytes, deadZones);
        QFETCH(bool, keepSync);
        QFETCH(QString, keys);
        QFETCH(Bytes, sent);
        load({{0, 0, 0, 0}, deadZones, kLinear, kLinear}, keepSync);
        for (const QString &group : keys.split(' ')) {
            m_bench->Press(group);
            if (group.endsWith('A') && group.size() > 1)
                QVERIFY(m_page->IsEditing());
        }
        QVERIFY(!m_page->IsEditing());
        m_page->on_btnSave_clicked();
        QCOMPARE(frames().value(3), CommandText(0xA5, sent));
    }

    // Where the controller focus goes, as the page's tables say: a key sequence and the
    // item it ends on (the tab shown after it: D dead zones, C curves).
    void focusFollowsTheKeys_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("tab");
        QTest::newRow("into the page") << "R" << 1 << "D";
        QTest::newRow("across to the right stick") << "RRR" << 7 << "D";
        QTest::newRow("down the left side") << "RDD" << 4 << "D";
        QTest::newRow("to keep-sync") << "RDDD" << 6 << "D";
        QTest::newRow("up to the tab button") << "RDDDU" << 5 << "D";
        QTest::newRow("right inversions") << "RRRDD" << 10 << "D";
        QTest::newRow("from the right back to keep-sync") << "RRRDDD" << 6 << "D";
        QTest::newRow("left leaves the page") << "RDL" << 0 << "D";
        QTest::newRow("up and down need the page") << "UD" << 0 << "D";
        QTest::newRow("curve tab by A") << "RDDDUA" << 0 << "C";
        QTest::newRow("first curve button") << "RDDDUAD" << 1 << "C";
        QTest::newRow("curve, across") << "RDDDUADR" << 6 << "C";
        QTest::newRow("curve, down to keep-sync") << "RDDDUADDDD" << 5 << "C";
        QTest::newRow("curve, up to the tab button") << "RDDDUADU" << 4 << "C";
        QTest::newRow("back to dead zones by A") << "RDDDUADUA" << 0 << "D";
    }

    void focusFollowsTheKeys()
    {
        QFETCH(QString, keys);
        QFETCH(int, index);
        QFETCH(QString, tab);
        load({{0, 0, 0, 0}, {10, 20, 10, 20}, kLinear, kLinear}, false);
        m_bench->Press(keys);
        QCOMPARE(m_page->FocusIndex(), index);
        QCOMPARE(m_page->IsDeadZoneTab(), tab == "D");
        QCOMPARE(child<QWidget>("wdgStickCurVeL")->isVisible(), tab == "C");
    }

    void mouseMovementTakesTheFocus()
    {
        load({{0, 0, 0, 0}, {10, 20, 10, 20}, kLinear, kLinear}, false);
        m_bench->Press("RRA");
        QVERIFY(m_page->IsEditing());
        QSignalSpy navigation(&m_bench->Config(), &HidConfig::unlockNavigation);
        QMouseEvent move(QEvent::MouseMove, QPointF(500, 10), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(m_page.get(), &move);
        QCOMPARE(m_page->FocusIndex(), 0);
        QVERIFY(!m_page->IsEditing());
        QCOMPARE(navigation.count(), 1);
        QCOMPARE(navigation[0][0].toBool(), false);
        // Right takes the page again from the first item.
        m_bench->Press("R");
        QCOMPARE(m_page->FocusIndex(), 1);
    }

    // The circles show where the sticks are once input arrives, only while shown.
    void circlesShowTheLiveStick()
    {
        load({{0, 0, 0, 0}, {10, 20, 10, 20}, kLinear, kLinear}, false);
        auto *left = child<StickDeadZone>("wdgStikcLeft");
        auto *right = child<StickDeadZone>("wdgStikcRight");
        QVERIFY(!left->HasStickPosition());
        m_page->hide();
        emit m_bench->Config().stickValue(65535, 32768, 0, 32768);
        QVERIFY(!left->HasStickPosition());
        m_page->show();
        emit m_bench->Config().stickValue(65535, 32768, 0, 32768);
        QVERIFY(left->HasStickPosition() && right->HasStickPosition());
        // Full right on the left stick, full left on the right one.
        QVERIFY(left->StickDot().x() > left->width() / 2 + 20);
        QVERIFY(right->StickDot().x() < right->width() / 2 - 20);
    }
};

QTEST_MAIN(TestStickPage)
#include "tst_stickpage.moc"
