#include "device/hidconfig.h"
#include "ui/configpage/configpage.h"
#include "ui/mainwidget/mainwidget.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/moduleselection/moduleselection.h"
#include "ui/pageids.h"

#include "controller/simulatedcontroller.h"
#include "platform/virtualdeviceplatform.h"
#include "virtualhid/virtualhidbus.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QtTest>
#include <mutex>

namespace {

std::mutex g_logLock;
QStringList g_log;

int Logged(const QString &prefix)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    return int(g_log.filter(prefix).size());
}

void ClearLog()
{
    std::lock_guard<std::mutex> lock(g_logLock);
    g_log.clear();
}

const int kConfigPages[] = {PageId::Test,        PageId::Mapping,  PageId::Turbo,
                            PageId::Stick,       PageId::Trigger,  PageId::Vibration,
                            PageId::Calibration, PageId::Profiles, PageId::Lighting};

} // namespace

// The main window over simulated controllers: pages load through their reads without
// blocking, and removals, page changes and button bursts during those reads leave one
// page, the right one, and no write to a device that is gone.
class TestPageLoading : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    std::unique_ptr<VirtualDevicePlatform> m_platform;
    std::vector<std::unique_ptr<ctrlsim::SimulatedController>> m_devices;
    std::unique_ptr<MainWindow> m_window;

    HidConfig *config() { return m_window->hidConfig(); }

    void plug(uint16_t pid)
    {
        m_devices.push_back(
            ctrlsim::SimulatedController::plugWired(pid, ctrlsim::DeviceState::sane(pid)));
    }

    void start()
    {
        m_window = std::make_unique<MainWindow>(m_platform.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->findChild<QWidget *>("wdgUserPermission")->show();
        QMetaObject::invokeMethod(m_window.get(), "on_btnNext_clicked");
        QTRY_COMPARE_WITH_TIMEOUT(config()->DeviceTable().size(), int(m_devices.size()), 10000);
    }

    // Chooses the i-th listed device, as the header's device selector does.
    void choose(int i)
    {
        m_window->on_comBxDeviceList_activated(i);
        QTRY_VERIFY(m_window->Modules()->isVisible());
    }

    QList<int> visiblePages() const
    {
        QList<int> shown;
        for (int id : kConfigPages)
            if (m_window->ConfigPageOf(id)->isVisible())
                shown << id;
        return shown;
    }

    // Waits until no page reads are pending, then a little longer for stray timers.
    void settle()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->IsLoadingPage(), 5000);
        QTest::qWait(700);
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->IsLoadingPage(), 5000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp.path()));
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
            std::lock_guard<std::mutex> lock(g_logLock);
            g_log.append(text);
        });
    }

    void init()
    {
        ClearLog();
        m_platform = std::make_unique<VirtualDevicePlatform>();
    }

    void cleanup()
    {
        m_window.reset();
        m_devices.clear();
        m_platform.reset();
        vhid::Bus::instance().reset();
    }

    void unplugDuringTheReadsOfAPage_data()
    {
        QTest::addColumn<int>("page");
        for (int id : kConfigPages)
            QTest::newRow(qPrintable(QString::number(id))) << id;
    }

    void unplugDuringTheReadsOfAPage()
    {
        QFETCH(int, page);
        plug(0x400E);
        start();
        choose(0);
        m_window->showPage(page);
        m_devices[0]->unplug();
        QTRY_COMPARE_WITH_TIMEOUT(m_window->CurrentPage(), int(PageId::Devices), 5000);
        const int failedWrites = Logged("handle 为空") + Logged("write error");
        QTest::qWait(1000);
        QCOMPARE(visiblePages(), QList<int>());
        QVERIFY(m_window->findChild<MainWidget *>()->isVisible());
        QVERIFY(!m_window->IsLoadingPage());
        // Nothing was sent to the slot the device left.
        if (Logged("handle 为空") + Logged("write error") != failedWrites) {
            std::lock_guard<std::mutex> lock(g_logLock);
            fprintf(stderr, "%s\n", qPrintable(g_log.join(QLatin1Char('\n'))));
        }
        QCOMPARE(Logged("handle 为空") + Logged("write error"), failedWrites);
        QCOMPARE(config()->ConfiguredSlot(), -1);
    }

    void pageChangeDuringTheReadsOfAnother_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("mapping, then stick") << int(PageId::Mapping) << int(PageId::Stick);
        QTest::newRow("stick, then trigger") << int(PageId::Stick) << int(PageId::Trigger);
        QTest::newRow("lighting, then vibration")
            << int(PageId::Lighting) << int(PageId::Vibration);
        QTest::newRow("trigger, then test") << int(PageId::Trigger) << int(PageId::Test);
        QTest::newRow("vibration, then module selection")
            << int(PageId::Vibration) << int(PageId::ModuleSelection);
    }

    void pageChangeDuringTheReadsOfAnother()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        plug(0x400E);
        start();
        choose(0);
        m_window->showPage(first);
        QTest::qWait(5);
        m_window->showPage(second);
        settle();
        QCOMPARE(m_window->CurrentPage(), second);
        const QList<int> expected =
            second == PageId::ModuleSelection ? QList<int>() : QList<int>{second};
        QCOMPARE(visiblePages(), expected);
        QCOMPARE(m_window->Modules()->isVisible(), second == PageId::ModuleSelection);
    }

    // A controller sending presses every few milliseconds while pages load: each A opens
    // at most one page, nothing nests, and the page shown is the one last asked for.
    void burstOfPressesDuringPageLoads()
    {
        plug(0x400E);
        start();
        choose(0);
        m_window->showPage(PageId::Test);
        emit config()->unlockNavigation(true);
        for (int i = 0; i < 1000; ++i) {
            QTimer::singleShot(i / 4, m_window.get(), [this, i] {
                if (i % 7 == 6)
                    emit config()->pressButtonA(true);
                else if (i % 3 == 0)
                    emit config()->pressButtonUp(true);
                else
                    emit config()->pressButtonDown(true);
            });
        }
        QTest::qWait(300);
        settle();
        const int current = m_window->CurrentPage();
        QCOMPARE(visiblePages(), QList<int>{current});
        QVERIFY(MainWindow::FindPage(current)->navIndex >= 0);
    }

    // Choosing the second listed device names it in the header, not the first one.
    void selectorShowsTheConfiguredDevice()
    {
        plug(0x400E);
        plug(0x400C);
        start();
        const auto table = config()->DeviceTable();
        choose(1);
        auto *selector = m_window->findChild<QComboBox *>("comBxDeviceList");
        QCOMPARE(selector->count(), 2);
        QCOMPARE(selector->currentText(),
                 std::next(table.begin())->modelName + QStringLiteral(" Controller"));
        QCOMPARE(config()->ConfiguredSlot(), std::next(table.begin()).key());
    }
};

QTEST_MAIN(TestPageLoading)
#include "tst_pageloading.moc"
