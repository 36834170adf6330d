#include "app/profilefiles.h"
#include "device/hidconfig.h"
#include "ui/configpage/configpage.h"
#include "ui/lightpage/lightpage.h"
#include "ui/mappingpage/mappingpage.h"
#include "ui/profilepage/profilebutton.h"
#include "ui/profilepage/profilepage.h"
#include "ui/stickpage/stickpage.h"
#include "ui/triggerpage/triggerpage.h"
#include "ui/turbopage/turbopage.h"
#include "ui/vibratepage/vibratepage.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "pagebench.h"

namespace {

QStringList g_log;

// A page as its save needs it, the write command a fault aims at and the section the log
// line names (the stick page's first section read is its curves).
struct PageKind
{
    std::function<ConfigPage *(HidConfig *)> make;
    bool reset;  // saved by its reset (the page writes nothing unchanged otherwise)
    bool polled; // the window re-reads it every 500 ms
    int code;
    QString section;
};

QMap<QString, PageKind> Pages()
{
    return {
        {"mapping",
         {[](HidConfig *c) { return new MappingPage(c); }, false, true, 0xA1, "button mapping"}},
        {"turbo", {[](HidConfig *c) { return new TureboPage(c); }, true, true, 0xB8, "turbo"}},
        {"stick", {[](HidConfig *c) { return new StickPage(c); }, false, false, 0xA5, "stick"}},
        {"trigger",
         {[](HidConfig *c) { return new TriggerPage(c); }, false, false, 0xB4,
          "trigger dead zones"}},
        {"vibration",
         {[](HidConfig *c) { return new VibratePage(c); }, false, false, 0xA9, "vibration"}},
        {"lighting",
         {[](HidConfig *c) { return new LightPage(c); }, false, false, 0xAD, "lighting"}},
    };
}

} // namespace

// Saves of every page against a controller that answers, or fails to hold what was sent.
class TestCheckedSave : public QObject
{
    Q_OBJECT

    std::unique_ptr<PageBench> m_bench;
    std::unique_ptr<ConfigPage> m_page;

    // The controller's working and saved records move away from what the page shows, so
    // that a write or commit that does not land leaves it holding something else.
    void moveDeviceAway()
    {
        auto &firmware = m_bench->Device().firmware();
        ctrlsim::DeviceState state = firmware.state();
        for (auto *records : {&state.profiles, &state.saved})
            for (uint8_t &byte : (*records)[size_t(state.activeProfile)])
                byte = uint8_t(byte + 1);
        firmware.setState(state);
    }

    void save(const PageKind &kind)
    {
        if (kind.reset)
            m_page->on_btnReset_clicked();
        else
            m_page->on_btnSave_clicked();
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &text) { g_log << text; });
    }

    void init()
    {
        g_log.clear();
        m_bench = std::make_unique<PageBench>();
        QVERIFY(m_bench->IsOpen());
        // The profiles page needs a file-profile model: its read-back covers all three.
        m_bench->Config().m_fileProfileModel =
            QByteArray(QTest::currentTestFunction()) == "profileLoadIsChecked";
        // Queued to this thread: the read loop signals from its own. A plain model's
        // read-back goes on with the lights after it has finished; a save waits for them.
        bool read = false, lights = m_bench->Config().m_fileProfileModel;
        QMetaObject::Connection finished =
            connect(&m_bench->Config(), &HidConfig::ReadFinished, this, [&read] { read = true; });
        QMetaObject::Connection lit = connect(&m_bench->Config(), &HidConfig::UpdateLightPage, this,
                                              [&lights] { lights = true; });
        m_bench->StartReading();
        QTRY_VERIFY_WITH_TIMEOUT(read && lights, 10000);
        disconnect(finished);
        disconnect(lit);
    }

    void cleanup()
    {
        m_page.reset();
        m_bench.reset();
    }

    // The notice follows the controller's replies: the saved (or reset) notice when it
    // holds every byte sent, the failure notice and one log line naming the section when
    // it does not. The page keeps its values, and the next save after the fault succeeds.
    void saveIsConfirmed_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("fault");
        for (const QString &page : Pages().keys())
            for (const char *fault :
                 {"none", "drop-write", "corrupt-write", "drop-commit", "delay-replies"})
                QTest::newRow(qPrintable(page + QLatin1Char(' ') + QLatin1String(fault)))
                    << page << QString::fromLatin1(fault);
    }

    void saveIsConfirmed()
    {
        QFETCH(QString, page);
        QFETCH(QString, fault);
        const PageKind kind = Pages().value(page);
        m_page.reset(kind.make(&m_bench->Config()));
        m_page->show();
        m_page->Load(PageLoad::Show);
        moveDeviceAway();
        auto &firmware = m_bench->Device().firmware();
        if (fault == "drop-write")
            firmware.dropNextWrite(uint8_t(kind.code));
        else if (fault == "corrupt-write")
            firmware.corruptNextWrite(uint8_t(kind.code), 5);
        else if (fault == "drop-commit")
            firmware.dropNextCommit();
        else if (fault == "delay-replies")
            firmware.setReplyDelay(std::chrono::milliseconds(SaveCheck::kReplyTimeoutMs + 300));

        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        g_log.clear();
        save(kind);
        // Nothing before the controller has answered.
        QCOMPARE(notice.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(notice.count(), 1, 5000);
        const int ok = kind.reset ? ConfigPage::kReset : ConfigPage::kSaved;
        if (fault == "none") {
            QCOMPARE(notice[0][0].toInt(), ok);
            QVERIFY(g_log.filter("save not confirmed").isEmpty());
            return;
        }
        QCOMPARE(notice[0][0].toInt(), int(ConfigPage::kSaveFailed));
        const QStringList lines = g_log.filter("save not confirmed");
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].contains(kind.section), qPrintable(lines[0]));

        // A poll of the controller meanwhile leaves the player's values on the page.
        if (kind.polled)
            m_page->Load(PageLoad::Poll);
        // Cleared, the same save again: confirmed.
        firmware.clearFaults();
        QTest::qWait(fault == "delay-replies" ? 400 : 0); // the late replies come in first
        save(kind);
        QTRY_COMPARE_WITH_TIMEOUT(notice.count(), 2, 5000);
        QCOMPARE(notice[1][0].toInt(), ok);
    }

    // A profile file loaded into the controller, and its name, are read back too: no
    // notice when the controller holds them, the failure notice when it does not.
    void profileLoadIsChecked_data()
    {
        QTest::addColumn<int>("dropped");
        QTest::addColumn<QString>("section");
        QTest::newRow("held") << 0 << QString();
        QTest::newRow("vibration lost") << 0xA9 << "vibration";
        QTest::newRow("a light lost") << 0xAD << "lighting";
        QTest::newRow("name lost") << 0xC0 << "profile name";
    }

    void profileLoadIsChecked()
    {
        QFETCH(int, dropped);
        QFETCH(QString, section);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString dir = root.path() + "/Profiles/";
        PROFILE_INFO record = ProfileFiles::NewProfileRecord();
        for (int i = 0; i < PROFILE_INFO::kSize; ++i)
            record.bytes()[i] = uint8_t(record.bytes()[i] ^ 0x40);
        QVERIFY(ProfileFiles(dir).Write("Race", record));
        auto *page = new ProfilePage(&m_bench->Config(), nullptr, dir);
        m_page.reset(page);
        page->show();
        page->updateProfilePage();
        if (dropped)
            m_bench->Device().firmware().dropNextWrite(uint8_t(dropped));
        QSignalSpy notice(page, qOverload<int>(&ConfigPage::saveShowAndCloseText));
        g_log.clear();
        // Slot 1 is controller profile 2.
        QTest::mouseClick(page->Button(3)->findChild<QPushButton *>("btnProfile_1"),
                          Qt::LeftButton);
        if (section.isEmpty()) {
            QTest::qWait(2000);
            QCOMPARE(notice.count(), 0);
            QVERIFY(g_log.filter("save not confirmed").isEmpty());
            QCOMPARE(QString::fromStdString(m_bench->Device().firmware().state().names[2]),
                     QStringLiteral("Race"));
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(notice.count(), 1, 5000);
        QCOMPARE(notice[0][0].toInt(), int(ConfigPage::kSaveFailed));
        const QStringList lines = g_log.filter("save not confirmed");
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].contains(section), qPrintable(lines[0]));
    }

    // Hiding the page or the device leaving while the replies are awaited ends the check
    // without any notice.
    void cancelledWithoutNotice_data()
    {
        QTest::addColumn<bool>("removal");
        QTest::newRow("page hidden") << false;
        QTest::newRow("device left") << true;
    }

    void cancelledWithoutNotice()
    {
        QFETCH(bool, removal);
        m_page.reset(new VibratePage(&m_bench->Config()));
        m_page->show();
        m_page->Load(PageLoad::Show);
        m_bench->Device().firmware().setReplyDelay(std::chrono::milliseconds(100));
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        m_page->on_btnSave_clicked();
        if (removal)
            emit m_bench->Config().backMainPage();
        else
            m_page->hide();
        QTest::qWait(SaveCheck::kReplyTimeoutMs + 300);
        QCOMPARE(notice.count(), 0);
    }
};

QTEST_MAIN(TestCheckedSave)
#include "tst_checkedsave.moc"
