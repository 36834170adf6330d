// The lighting page over a simulated controller: controller focus, brightness editing, the
// mode list, the frames of save and reset, and the colours it draws against the bytes sent.
#include "device/hidconfig.h"
#include "ui/lightpage/lightpage.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "pagebench.h"

namespace {

using Bytes = QVector<int>;
constexpr int kLightOffset = 66;

// Zone z as brightness, speed, mode, red, green, blue.
PROFILE_INFO Lights(const QVector<Bytes> &zones)
{
    PROFILE_INFO record{};
    for (int z = 0; z < 4; ++z)
        for (int k = 0; k < 6; ++k)
            record.lightAreas[6 * z + k] = uint8_t(zones[z][k]);
    return record;
}

const QVector<Bytes> kZones = {
    {40, 0, 1, 10, 20, 30}, {55, 2, 2, 40, 50, 60}, {70, 1, 0, 70, 80, 90}, {85, 0, 2, 1, 2, 3}};

QColor CentreColour(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

class TestLightPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<PageBench> m_bench;
    std::unique_ptr<LightPage> m_page;

    void load(const PROFILE_INFO &record)
    {
        m_bench->Config().Profiles().SetRecord(0, record);
        m_page->UpdateUI();
    }

    template <typename T> T *child(const QString &name) { return PageChild<T>(m_page.get(), name); }

    void click(const QString &name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }

    // Every frame the device received as hex from the command byte on, only as far as
    // the command carries data: "ad 00 01 37", "ae 01 02", "fb".
    QStringList frames()
    {
        QStringList texts;
        for (const auto &f : m_bench->Frames()) {
            const int length = f[4] == 0xAD ? (f[5] == 3 ? 6 : 4) : f[4] == 0xAE ? 3 : 1;
            QStringList bytes;
            for (int i = 0; i < length; ++i)
                bytes << QStringLiteral("%1").arg(int(f[size_t(4 + i)]), 2, 16, QLatin1Char('0'));
            texts << bytes.join(' ');
        }
        return texts;
    }

    static QString hex(const Bytes &bytes)
    {
        QStringList texts;
        for (int b : bytes)
            texts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
        return texts.join(' ');
    }

    // The frames a save of these zones must send, in order.
    static QStringList saveFrames(const QVector<Bytes> &zones)
    {
        QStringList texts;
        for (int z = 0; z < 4; ++z) {
            for (int item = 0; item < 3; ++item)
                texts << hex({0xAD, item, z, zones[z][item]});
            texts << hex({0xAD, 3, z, zones[z][3], zones[z][4], zones[z][5]});
        }
        return texts << QStringLiteral("fb");
    }

    // The committed lighting bytes of the simulated controller's active profile.
    QVector<Bytes> savedOnDevice()
    {
        const auto state = m_bench->Device().firmware().state();
        const auto &record = state.saved[size_t(state.activeProfile)];
        QVector<Bytes> zones(4);
        for (int z = 0; z < 4; ++z)
            for (int k = 0; k < 6; ++k)
                zones[z] << record[size_t(kLightOffset + 6 * z + k)];
        return zones;
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

    void init()
    {
        m_bench = std::make_unique<PageBench>();
        QVERIFY(m_bench->IsOpen());
        m_page = std::make_unique<LightPage>(&m_bench->Config());
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    }

    void cleanup()
    {
        m_page.reset();
        m_bench.reset();
    }

    // D-pad moves from the navigation column (index 0 after loading).
    void focusMoves_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("focus");
        QTest::newRow("right enters at area 1") << 1 << "R" << 30;
        QTest::newRow("down from area 1 to swatch 1") << 1 << "RD" << 1;
        QTest::newRow("left from swatch 1 to the column") << 1 << "RDL" << 0;
        QTest::newRow("left from swatch 7 to the column") << 1 << "RDDL" << 0;
        QTest::newRow("left from swatch 19 to the column") << 1 << "RDDDDL" << 0;
        QTest::newRow("left inside a row") << 1 << "RDDRRL" << 8;
        QTest::newRow("right from swatch 6 to the list") << 1 << "RDRRRRRR" << 26;
        QTest::newRow("right from swatch 12 to the list") << 1 << "RDDRRRRRR" << 26;
        QTest::newRow("right from swatch 24 to the list") << 1 << "RDDDDRRRRRR" << 26;
        QTest::newRow("down from swatch 19 stops at 24") << 1 << "RDDDDD" << 24;
        QTest::newRow("down from swatch 24 stays") << 1 << "RDDDDRRRRRD" << 24;
        QTest::newRow("up from the first row to area 1") << 1 << "RDRRU" << 30;
        QTest::newRow("area 3 down to the bar") << 1 << "RRRD" << 25;
        QTest::newRow("up from the bar returns to area 3") << 1 << "RRRDU" << 32;
        QTest::newRow("left from the bar to swatch 6") << 1 << "RRDL" << 6;
        QTest::newRow("left from the list to swatch 12") << 1 << "RRDDL" << 12;
        QTest::newRow("down from the list to slow") << 1 << "RRDDD" << 27;
        QTest::newRow("colour cycle: down from the list stays") << 0 << "RRDDD" << 26;
        QTest::newRow("speed buttons left and right") << 2 << "RRDDDRRRL" << 28;
        QTest::newRow("left from slow to swatch 24") << 2 << "RRDDDL" << 24;
        QTest::newRow("right from area 4 stays") << 1 << "RRRRRR" << 33;
        QTest::newRow("left from area 1 to the column") << 1 << "RL" << 0;
    }

    void focusMoves()
    {
        QFETCH(int, mode);
        QFETCH(QString, keys);
        QFETCH(int, focus);
        QVector<Bytes> zones = kZones;
        zones[0][2] = mode;
        load(Lights(zones));
        m_bench->Press(keys);
        QCOMPARE(m_page->FocusIndex(), focus);
        // The one frame shown is the focused swatch's.
        for (int i = 1; i <= LightPage::kSwatches; ++i)
            QCOMPARE(child<QLabel>(QStringLiteral("lblColorFocus_%1").arg(i))->isVisible(),
                     i == focus);
        QCOMPARE(child<QLabel>("lblModelFocus")->isVisible(), focus == 26);
        QCOMPARE(child<QLabel>("lblAreaFocus")->isVisible(), focus >= 30);
    }

    // A on the bar, then Left and Right step the selected area's brightness within 0..100.
    void brightnessEditing_data()
    {
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("brightness");
        QTest::newRow("right at 100 is ignored") << 100 << "RRDARR" << 100;
        QTest::newRow("left at 0 is ignored") << 0 << "RRDALL" << 0;
        QTest::newRow("99 up to the top") << 99 << "RRDARRR" << 100;
        QTest::newRow("1 down to the bottom") << 1 << "RRDALLL" << 0;
        QTest::newRow("two steps down") << 50 << "RRDALL" << 48;
        QTest::newRow("A again ends editing") << 50 << "RRDARARR" << 51;
        QTest::newRow("a device byte past 100") << 200 << "RRDAR" << 100;
    }

    void brightnessEditing()
    {
        QFETCH(int, loaded);
        QFETCH(QString, keys);
        QFETCH(int, brightness);
        QVector<Bytes> zones = kZones;
        zones[0][0] = loaded;
        load(Lights(zones));
        m_bench->Press(keys);
        QCOMPARE(m_page->AreaBrightness(1), brightness);
        QCOMPARE(child<QLabel>("lblLight")->x(), brightness * 37 / 10 + 7);
        QCOMPARE(child<QProgressBar>("progressBar")->value(), std::max(brightness, 3));
    }

    // Dragging the handle: its x is held on the bar and gives the brightness.
    void brightnessDrag_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("brightness");
        QTest::newRow("left end") << 7 << 0;
        QTest::newRow("past the left end") << -40 << 0;
        QTest::newRow("middle") << 192 << 50;
        QTest::newRow("right end") << 377 << 100;
        QTest::newRow("past the right end") << 600 << 100;
    }

    void brightnessDrag()
    {
        QFETCH(int, x);
        QFETCH(int, brightness);
        load(Lights(kZones));
        click("btnArea_2");
        QLabel *handle = child<QLabel>("lblLight");
        const QPoint centre(handle->width() / 2, handle->height() / 2);
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, centre);
        const QPoint to(x - handle->x() + handle->width() / 2, centre.y());
        QMouseEvent move(QEvent::MouseMove, to, handle->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, to);
        QCOMPARE(m_page->AreaBrightness(2), brightness);
        QCOMPARE(m_page->AreaBrightness(1), kZones[0][0]);
        QCOMPARE(handle->x(), std::clamp(x, 7, 377));
    }

    // The mode list with the controller: A opens, Up/Down move, A chooses, B restores.
    void modeList_data()
    {
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("B with the list closed does nothing") << 2 << "RRDDB" << 2 << QStringList{};
        QTest::newRow("B restores the opening index") << 0 << "RRDDADDB" << 0 << QStringList{};
        QTest::newRow("moving in the list sends nothing") << 0 << "RRDDADD" << 2 << QStringList{};
        QTest::newRow("down twice and A") << 0 << "RRDDADDA" << 2 << QStringList{"ae 01 00"};
        QTest::newRow("down stops at static") << 1 << "RRDDADDDA" << 2 << QStringList{"ae 01 00"};
        QTest::newRow("up stops at colour cycle")
            << 2 << "RRDDAUUUA" << 0 << QStringList{"ae 01 00"};
        QTest::newRow("area 3 asks for zone 2") << 0 << "RRRADDADA" << 1 << QStringList{"ae 01 02"};
    }

    void modeList()
    {
        QFETCH(int, loaded);
        QFETCH(QString, keys);
        QFETCH(int, mode);
        QFETCH(QStringList, sent);
        QVector<Bytes> zones = kZones;
        zones[0][2] = loaded;
        zones[2][2] = loaded;
        load(Lights(zones));
        m_bench->Press(keys);
        auto *combo = child<QComboBox>("comBxModel");
        QCOMPARE(combo->currentIndex(), mode);
        QCOMPARE(m_page->IsPopupOpen(), combo->view()->isVisible());
        if (!sent.isEmpty()) {
            QCOMPARE(m_page->AreaMode(m_page->AreaNum()), mode);
            QCOMPARE(child<QWidget>("wdgSpeed")->isVisible(), mode != 0);
            QTRY_COMPARE(frames(), sent);
            // Down from the list reaches the speed buttons only when they show.
            m_bench->Press("D");
            QCOMPARE(m_page->FocusIndex(), mode != 0 ? 27 : 26);
        } else {
            QTest::qWait(150);
            QCOMPARE(frames(), sent);
        }
    }

    // 50 ms after the read the device's speed byte for the zone shows; a byte out of range
    // leaves the speed as it was.
    void speedAfterModeChange_data()
    {
        QTest::addColumn<int>("area");
        QTest::addColumn<int>("deviceSpeed");
        QTest::addColumn<int>("speed");
        QTest::newRow("slow on area 2") << 2 << 0 << 0;
        QTest::newRow("fast on area 4") << 4 << 2 << 2;
        QTest::newRow("out of range") << 1 << 9 << kZones[0][1];
    }

    void speedAfterModeChange()
    {
        QFETCH(int, area);
        QFETCH(int, deviceSpeed);
        QFETCH(int, speed);
        load(Lights(kZones));
        click(QStringLiteral("btnArea_%1").arg(area));
        m_page->on_comBxModel_activated(1);
        // What the device's reply stores before the speed timer fires.
        const uint8_t byte = uint8_t(deviceSpeed);
        m_bench->Config().Profiles().StoreActive(kLightOffset + 6 * (area - 1) + 1, &byte, 1);
        QTRY_COMPARE(frames(), QStringList{hex({0xAE, 1, area - 1})});
        QTRY_COMPARE(m_page->AreaSpeed(area), speed);
        QTRY_COMPARE(m_page->SpeedSel(), speed + 1);
    }

    // Save: four 0xAD per zone (brightness, speed, mode, colour), each with its pause, then
    // 0xFB; the device commits exactly what the page shows.
    void saveSendsEveryZone_data()
    {
        QTest::addColumn<bool>("fileProfile");
        QTest::addColumn<QVector<Bytes>>("loaded");
        QTest::addColumn<int>("area");
        QTest::addColumn<QString>("click");
        QTest::addColumn<QVector<Bytes>>("expected");
        QVector<Bytes> swatch = kZones;
        swatch[2][3] = 30, swatch[2][4] = 144, swatch[2][5] = 255;
        QVector<Bytes> fast = kZones;
        fast[3][1] = 2;
        QVector<Bytes> wild = kZones;
        wild[1] = {250, 7, 9, 200, 201, 202};
        QVector<Bytes> bounded = wild;
        bounded[1] = {100, 1, 0, 200, 201, 202};
        QTest::newRow("unchanged") << true << kZones << 1 << QString() << kZones;
        QTest::newRow("plain model") << false << kZones << 1 << QString() << kZones;
        QTest::newRow("swatch 21 on area 3") << true << kZones << 3 << "btnColor_21" << swatch;
        QTest::newRow("fast on area 4") << true << kZones << 4 << "btnFast" << fast;
        QTest::newRow("out-of-range device bytes") << true << wild << 1 << QString() << bounded;
    }

    void saveSendsEveryZone()
    {
        QFETCH(bool, fileProfile);
        QFETCH(QVector<Bytes>, loaded);
        QFETCH(int, area);
        QFETCH(QString, click);
        QFETCH(QVector<Bytes>, expected);
        m_bench->Config().m_fileProfileModel = fileProfile;
        load(Lights(loaded));
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        QSignalSpy mirrored(&m_bench->Config(), &HidConfig::CreateProfile);
        this->click(QStringLiteral("btnArea_%1").arg(area));
        if (!click.isEmpty())
            this->click(click);
        this->click("btnSave");
        QCOMPARE(frames(), saveFrames(expected));
        QVector<size_t> pauses;
        for (size_t n = 1; n <= 16; ++n)
            pauses << n;
        QCOMPARE(m_bench->Writer().pauses, pauses);
        QCOMPARE(savedOnDevice(), expected);
        QCOMPARE(notice.count(), 1);
        QCOMPARE(notice[0][0].toInt(), 0);
        QCOMPARE(mirrored.count(), fileProfile ? 1 : 0);
        const PROFILE_INFO active = m_bench->Config().Profiles().Active();
        for (int z = 0; z < 4; ++z)
            for (int k = 0; k < 6; ++k)
                QCOMPARE(int(active.lightAreas[6 * z + k]), expected[z][k]);
    }

    // Reset: zones 4 to 1 back to (30,144,255), medium, colour cycle, 100 %; one speed read
    // per zone, then the commit; nothing written.
    void resetRestoresDefaults_data()
    {
        QTest::addColumn<int>("loadedMode");
        QTest::newRow("from static") << 2;
        QTest::newRow("from colour cycle") << 0;
    }

    void resetRestoresDefaults()
    {
        QFETCH(int, loadedMode);
        QVector<Bytes> zones = kZones;
        for (Bytes &zone : zones)
            zone[2] = loadedMode;
        load(Lights(zones));
        // A mode change still waiting for its read is replaced by the reset's reads.
        click("btnArea_2");
        m_page->on_comBxModel_activated(1);
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        click("btnReset");
        const QStringList reads{hex({0xAE, 1, 3}), hex({0xAE, 1, 2}), hex({0xAE, 1, 1}),
                                hex({0xAE, 1, 0})};
        QCOMPARE(frames(), reads + QStringList{"fb"});
        QCOMPARE(notice.count(), 1);
        QCOMPARE(notice[0][0].toInt(), 1);
        QCOMPARE(m_page->AreaNum(), 1);
        QVERIFY(!child<QWidget>("wdgSpeed")->isVisible());
        QCOMPARE(child<QComboBox>("comBxModel")->currentIndex(), 0);
        QTest::qWait(150);
        QCOMPARE(frames().size(), reads.size() + 1);
        for (int area = 1; area <= 4; ++area) {
            QCOMPARE(m_page->AreaColor(area), QColor(30, 144, 255));
            QCOMPARE(m_page->AreaSpeed(area), 1);
            QCOMPARE(m_page->AreaMode(area), 0);
            QCOMPARE(m_page->AreaBrightness(area), 100);
        }
        // The next save writes the reset values.
        this->click("btnSave");
        const QVector<Bytes> reset(4, Bytes{100, 1, 0, 30, 144, 255});
        QCOMPARE(frames().mid(reads.size() + 1), saveFrames(reset));
    }

    // A re-read that brings back what the page shows (the zones' read chain, the reload
    // after the device confirmed its profile) keeps an unsaved colour and the focus; new
    // lighting bytes or another active profile reload the page.
    void rereadKeepsUnsavedEdits_data()
    {
        QTest::addColumn<bool>("profileChange");
        QTest::addColumn<int>("changedByte");
        QTest::addColumn<int>("otherProfile");
        QTest::addColumn<bool>("kept");
        QTest::newRow("read chain, same bytes") << false << -1 << -1 << true;
        QTest::newRow("profile reload, same bytes") << true << -1 << -1 << true;
        QTest::newRow("read chain, zone 4 colour changed") << false << 23 << -1 << false;
        QTest::newRow("profile reload, zone 1 brightness changed") << true << 0 << -1 << false;
        QTest::newRow("profile reload, other profile alike") << true << -1 << 1 << false;
    }

    void rereadKeepsUnsavedEdits()
    {
        QFETCH(bool, profileChange);
        QFETCH(int, changedByte);
        QFETCH(int, otherProfile);
        QFETCH(bool, kept);
        ProfileStore &profiles = m_bench->Config().Profiles();
        PROFILE_INFO record = Lights(kZones);
        profiles.SetRecord(0, record);
        profiles.SetRecord(1, record);
        m_page->Load(PageLoad::Show);
        m_bench->Press("RDRRA"); // area 1 takes swatch 3
        QCOMPARE(m_page->AreaColor(1), LightPage::Swatch(3));

        if (changedByte >= 0) {
            record.lightAreas[changedByte] ^= 1;
            profiles.SetRecord(0, record);
        }
        if (otherProfile >= 0)
            profiles.SetActiveIndex(otherProfile);
        if (profileChange)
            m_page->Load(PageLoad::ProfileChange);
        else
            emit m_bench->Config().UpdateLightPage();

        QCOMPARE(m_page->AreaColor(1) == LightPage::Swatch(3), kept);
        QCOMPARE(m_page->FocusIndex(), kept ? 3 : 0);
    }

    // The preview and the focused swatch show exactly the colour the save sends.
    void previewMatchesSentColour_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("swatch");
        QTest::newRow("swatch 1 on area 1") << "RDA" << 1;
        QTest::newRow("swatch 18 on area 2") << "RRAULDDDRRRRRA" << 18;
        QTest::newRow("swatch 23 on area 4") << "RRRRALLLDDDDRRRRA" << 23;
        QTest::newRow("swatch 7 on area 3") << "RRRALLDDA" << 7;
    }

    void previewMatchesSentColour()
    {
        QFETCH(QString, keys);
        QFETCH(int, swatch);
        load(Lights(kZones));
        m_bench->Press(keys);
        QCOMPARE(m_page->FocusIndex(), swatch);
        QVERIFY(child<QLabel>(QStringLiteral("lblColorFocus_%1").arg(swatch))->isVisible());
        const int zone = m_page->AreaNum() - 1;
        const QColor preview = CentreColour(child<QLabel>("lblColor"));
        const QColor cell =
            CentreColour(child<QPushButton>(QStringLiteral("btnColor_%1").arg(swatch)));
        click("btnSave");
        const auto colour = m_bench->Frames()[size_t(4 * zone + 3)];
        QCOMPARE(int(colour[4]), 0xAD);
        QCOMPARE(int(colour[6]), zone);
        const QColor sent(colour[7], colour[8], colour[9]);
        QCOMPARE(preview, sent);
        QCOMPARE(cell, sent);
    }
};

QTEST_MAIN(TestLightPage)
#include "tst_lightpage.moc"
