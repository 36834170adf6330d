#include "device/buttonstates.h"
#include "device/deviceplatform.h"
#include "device/hidconfig.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/moduleselection/moduleselection.h"
#include "ui/pageids.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include "controller/simulatedcontroller.h"

namespace {

QStringList g_log;

int Logged(const QString &prefix)
{
    return int(g_log.filter(prefix).size());
}

// Every visible, enabled button and selector of window that a click at its centre would not
// reach, with what lies over it. A widget under a transparent one looks fine to a click
// sent to the widget itself, but not to the mouse.
QStringList Unreachable(QWidget *window)
{
    QStringList covered;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!qobject_cast<QAbstractButton *>(w) && !qobject_cast<QComboBox *>(w))
            continue;
        if (!w->isVisible() || !w->isEnabled() ||
            w->testAttribute(Qt::WA_TransparentForMouseEvents))
            continue;
        const QPoint centre = w->mapTo(window, w->rect().center());
        QWidget *hit = window->childAt(centre);
        if (hit != w && !w->isAncestorOf(hit))
            covered << w->objectName() + QStringLiteral(" under ") +
                           (hit ? hit->objectName() + QLatin1Char(' ') +
                                      hit->metaObject()->className()
                                : QStringLiteral("nothing"));
    }
    return covered;
}

// Hot-plug events raised by the test; records what discovery asks to open, in order.
class FakePlatform : public DevicePlatform
{
public:
    QList<HidInterface> Scan(uint16_t) override { return {}; }
    uint16_t UsbRelease(uint16_t, uint16_t) override { return 0x0130; }
    int UsbCount(uint16_t, uint16_t) override { return 0; }
    QString OpenPathFor(const QString &pathText) const override
    {
        opened.append(pathText);
        return QString();
    }
    bool StartMonitoring() override { return true; }
    mutable QStringList opened;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<MainWindow> m_window;

    HidConfig *config() { return m_window->hidConfig(); }
    template <typename T> T *child(const char *name) { return m_window->findChild<T *>(name); }

    void accept()
    {
        child<QWidget>("wdgUserPermission")->show();
        QMetaObject::invokeMethod(m_window.get(), "on_btnNext_clicked");
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &text) { g_log.append(text); });
    }

    void init()
    {
        g_log.clear();
        m_platform = std::make_unique<FakePlatform>();
        m_window = std::make_unique<MainWindow>(m_platform.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        m_platform.reset();
    }

    void nothingChangesBeforeAcceptance()
    {
        auto *title = child<QLabel>("lbl_MinTitle");
        m_window->showPage(PageId::Turbo);
        m_window->SetMainWindowMintitle(QStringLiteral("changed"), true);
        QCOMPARE(m_window->CurrentPage(), 0);
        QVERIFY(title->text().isEmpty());
        QVERIFY(!child<QWidget>("wdgModel")->isVisible());

        accept();
        QVERIFY(m_window->IsAccepted());
        QCOMPARE(m_window->CurrentPage(), int(PageId::Devices));
        m_window->SetMainWindowMintitle(QStringLiteral("changed"), true);
        QCOMPARE(title->text(), QStringLiteral("changed"));
    }

    void splashLeadsToTheAgreementNotice()
    {
        QVERIFY(child<QWidget>("wdgHead_1")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(child<QWidget>("wdgUserPermission")->isVisible(), 5000);
        QVERIFY(!child<QWidget>("wdgHead_1")->isVisible());
        QVERIFY(child<QWidget>("wdgHead_2")->isVisible());
    }

    void focusFrameStopsAtTheLastButton_data()
    {
        QTest::addColumn<bool>("extended");
        QTest::addColumn<int>("last");
        QTest::newRow("plain") << false << 5;
        QTest::newRow("file profiles") << true << 7;
    }

    void focusFrameStopsAtTheLastButton()
    {
        QFETCH(bool, extended);
        QFETCH(int, last);
        config()->m_fileProfileModel = extended;
        accept();
        m_window->showPage(PageId::Test);
        emit config()->unlockNavigation(true);
        for (int i = 0; i < 10; ++i)
            emit config()->pressButtonDown(true);
        QCOMPARE(m_window->SelectIndex(), last);
        for (int i = 0; i < 10; ++i)
            emit config()->pressButtonUp(true);
        QCOMPARE(m_window->SelectIndex(), 0);
        QVERIFY(child<QLabel>("lblNavFocu")->isVisible());
        // Locked again, the D-pad does nothing.
        emit config()->unlockNavigation(false);
        emit config()->pressButtonDown(true);
        QCOMPARE(m_window->SelectIndex(), 0);
    }

    void aOnTheShownPageDoesNotReopenIt()
    {
        accept();
        m_window->showPage(PageId::Turbo);
        QCOMPARE(m_window->SelectIndex(), 2);
        emit config()->unlockNavigation(true);
        const int shown = Logged("m_currenSelect show page:");
        emit config()->pressButtonA(true);
        QCOMPARE(Logged("m_currenSelect show page:"), shown);
        emit config()->pressButtonDown(true); // to the stick page's button
        emit config()->pressButtonA(true);
        QCOMPARE(Logged("m_currenSelect show page:"), shown + 1);
        QCOMPARE(m_window->CurrentPage(), int(PageId::Stick));
    }

    // A motor under test stops with one zero report whatever ends the test page: another
    // page, the device's removal, the window closing.
    void motorTestNeverOutlivesThePage_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("another page") << "page";
        QTest::newRow("device removed") << "removed";
        QTest::newRow("window closed") << "closed";
    }

    void motorTestNeverOutlivesThePage()
    {
        QFETCH(QString, end);
        auto device = ctrlsim::SimulatedController::plug(0x400E);
        const QString path = QString::fromStdString(device->path());
        QVERIFY(config()->OpenSlot(0, path));
        config()->SelectWriteSlot(0);
        accept();
        m_window->showPage(PageId::Test);
        QTRY_VERIFY(child<QWidget>("TestPage")->isVisible());
        ButtonStates a;
        a[0] = true;
        emit config()->pressButtons(a);
        emit config()->triggerValue(1023, 0);
        if (end == "page")
            m_window->showPage(PageId::Turbo);
        else if (end == "removed")
            emit m_platform->InterfaceRemoved(path);
        else
            m_window.reset();
        QStringList motors;
        for (const auto &frame : device->firmware().frames())
            if (frame[4] == 0xBD)
                motors << QStringLiteral("%1 %2").arg(frame[7]).arg(frame[8]);
        QCOMPARE(motors, (QStringList{"100 0", "0 0"}));
    }

    void dongleNeedsBothCollectionsGamepadFirst()
    {
        const QString col01 = QStringLiteral("/dev/hidraw7#vid_35c7&pid_4013&mi_00&col01");
        const QString col02 = QStringLiteral("/dev/hidraw7#vid_35c7&pid_4013&mi_00&col02");
        emit m_platform->InterfaceArrived(col01);
        QTest::qWait(1500);
        QVERIFY(m_platform->opened.isEmpty()); // one collection alone starts nothing
        emit m_platform->InterfaceArrived(col02);
        QTRY_COMPARE_WITH_TIMEOUT(m_platform->opened.size(), 2, 5000);
        QCOMPARE(m_platform->opened, (QStringList{col02, col01}));
        QCOMPARE(Logged("DInput"), 2);
    }

    void profileChangeOnTheProfilesPageIsPassedOn()
    {
        config()->m_fileProfileModel = true;
        for (int i = 0; i < 3; ++i)
            config()->Profiles().SetName(i, QStringLiteral("P%1").arg(i + 1));
        accept();
        m_window->showPage(PageId::Profiles);
        emit config()->CurrentProfile(); // the selector gets the three names
        QCOMPARE(child<QComboBox>("comBxProfile")->count(), 3);
        QSignalSpy passed(m_window.get(), &MainWindow::currentProfileIndex);
        g_log.clear();
        child<QComboBox>("comBxProfile")->setCurrentIndex(2);
        QTRY_COMPARE(passed.count(), 1);
        QCOMPARE(passed[0][0].toInt(), 2);
        // Only the profile switch went to the device: no page re-read.
        QCOMPARE(Logged("handle 为空"), 1);
    }

    // Every resource path the sources name exists, and the window renders with them.
    void everyNamedResourceExists()
    {
#ifndef ORADESK_SOURCE_DIR
        QSKIP("built without the resource bundles: this run checks that pages build without");
#else
        // Quoted paths and style-sheet urls.
        const QRegularExpression literal(
            QStringLiteral("(?:\"|url\\()\"?:(/[^\")]+\\.(png|gif|ico|ttf))"));
        QStringList missing;
        int named = 0;
        QDirIterator files(QStringLiteral(ORADESK_SOURCE_DIR "/src"), {"*.cpp", "*.h", "*.ui"},
                           QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            for (auto m = literal.globalMatch(text); m.hasNext();) {
                const QString path = QLatin1Char(':') + m.next().captured(1);
                ++named;
                if (!QFile::exists(path))
                    missing << path + QStringLiteral(" (") + files.fileName() + QLatin1Char(')');
            }
        }
        QVERIFY(named > 10);
        QCOMPARE(missing, QStringList());

        accept();
        m_window->showPage(PageId::ModuleSelection);
        const QImage shot = m_window->grab().toImage();
        QCOMPARE(shot.size(), QSize(1280, 720));
#endif
    }

    void everyVisibleButtonTakesTheMouse_data()
    {
        QTest::addColumn<int>("page");
        QTest::newRow("agreement notice") << 0;
        for (int id : {PageId::Devices, PageId::ModuleSelection, PageId::Test, PageId::Mapping,
                       PageId::Turbo, PageId::Stick, PageId::Trigger, PageId::Vibration,
                       PageId::Calibration, PageId::Profiles, PageId::Lighting, PageId::AppUpdate})
            QTest::newRow(qPrintable(QString::number(id))) << id;
    }

    void everyVisibleButtonTakesTheMouse()
    {
        QFETCH(int, page);
        config()->m_fileProfileModel = true;
        QTRY_VERIFY_WITH_TIMEOUT(child<QWidget>("wdgUserPermission")->isVisible(), 5000);
        if (page) {
            accept();
            m_window->showPage(page);
            QTRY_VERIFY_WITH_TIMEOUT(!m_window->IsLoadingPage(), 5000);
            QCOMPARE(m_window->CurrentPage(), page);
        }
        QCoreApplication::processEvents();
        QCOMPARE(Unreachable(m_window.get()), QStringList());
        if (!page)
            QVERIFY(child<QWidget>("btnNext")->isVisible());
    }

    void savedNoticeStaysAfterTheLastSave_data()
    {
        QTest::addColumn<int>("flag");
        QTest::addColumn<QString>("text");
        QTest::newRow("save") << 0 << "Save Successfully";
        QTest::newRow("reset") << 1 << "Reset Successfully";
    }

    void savedNoticeStaysAfterTheLastSave()
    {
        QFETCH(int, flag);
        QFETCH(QString, text);
        config()->m_isChinese = false;
        auto *notice = child<QLabel>("lblSaveSuccessText");
        auto *timer = child<QTimer>("savedNoticeTimer");
        m_window->saveShowAndCloseText(flag);
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text(), text);
        QTest::qWait(300);
        m_window->saveShowAndCloseText(flag);
        QVERIFY(timer->remainingTime() > 2300); // counted from the second save
        QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), 6000);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
