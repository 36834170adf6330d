#include "demobench.h"

#include "demoinput.h"
#include "demoscript.h"
#include "demoscriptparser.h"
#include "demoserver.h"
#include "keyboardpad.h"

#include "app/fileini.h"
#include "controller/inputreport.h"
#include "controller/simulatedcontroller.h"
#include "ui/mainwidget/mainwidget.h"
#include "ui/mainwidget/updateflow.h"
#include "ui/moduleselection/moduleselection.h"
#include "update/downloader.h"
#include "updatemode/updatabledevice.h"
#include "virtualhid/node.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

// Vexalon Pro by cable: a file-profile model, so the profiles and lighting pages show.
constexpr uint16_t kWiredPid = 0x400E;
// Vexalon Adv dongle: a plain model, so the other navigation column can be seen too.
constexpr uint16_t kDonglePid = 0x4013;
// Vexalon Adv by cable, for the recovery from update mode.
constexpr uint16_t kWaitingPid = 0x4010;
constexpr int kScreenshotDefaultSeconds = 3;

ctrlsim::UpdatableDevice::Options WiredOptions()
{
    ctrlsim::UpdatableDevice::Options options;
    options.kind = ctrlsim::UpdatableDevice::Kind::Wired;
    options.productId = kWiredPid;
    // An old firmware, so that the updater has something to offer.
    options.state = ctrlsim::DeviceState::sane(kWiredPid);
    options.state.version = {1, 0, 0};
    options.release = 0x0100;
    options.stateAfterUpdate = ctrlsim::DeviceState::sane(kWiredPid);
    options.stateAfterUpdate.version = {1, 1, 4};
    options.releaseAfterUpdate = 0x0114;
    return options;
}

ctrlsim::UpdatableDevice::Options DongleOptions()
{
    ctrlsim::UpdatableDevice::Options options;
    options.kind = ctrlsim::UpdatableDevice::Kind::Dongle;
    options.productId = kDonglePid;
    options.state = ctrlsim::DeviceState::sane(kDonglePid);
    options.stateAfterUpdate = options.state;
    return options;
}

} // namespace

DemoBench::DemoBench(QObject *parent) : QObject(parent)
{
    m_server = new DemoServer(this);
    m_devices.push_back(std::make_unique<ctrlsim::UpdatableDevice>(WiredOptions()));
    m_devices.push_back(std::make_unique<ctrlsim::UpdatableDevice>(DongleOptions()));

    m_pad = new KeyboardPad([this](const ctrlsim::InputState &s) { SendInput(s); }, this);
    connect(m_pad, &KeyboardPad::SwitchTarget, this, &DemoBench::SwitchTarget);
    qApp->installEventFilter(m_pad);

    std::printf("Quorel Oradesk demo: a wired Vexalon Pro (35c7:%04x, firmware 1.0.0) and a\n"
                "Vexalon Adv dongle (35c7:%04x) are plugged in. The keyboard is the controller:\n"
                "%s"
                "Keys drive the %s now.\n",
                kWiredPid, kDonglePid, qPrintable(KeyboardPad::KeyMap()), qPrintable(TargetName()));
    std::printf("A local download server offers firmware 1.1.4: select the wired controller to\n"
                "update it. ORADESK_DEMO_RECOVERY=1 also plugs a controller (35c7:%04x) that\n"
                "waits in update mode, which the app offers to recover; with =2 its model is\n"
                "not remembered, and the app asks for it.\n",
                kWaitingPid);
    std::fflush(stdout);

    const int recovery = qEnvironmentVariableIntValue("ORADESK_DEMO_RECOVERY");
    if (recovery == 1 || recovery == 2)
        PlugWaitingDevice(recovery == 1);
    ScheduleScreenshot();
    ScheduleBenchmark();
    // The benchmark walks to the module selection, which an offer would stand in front of.
    if (qEnvironmentVariableIntValue("ORADESK_DEMO_BENCH") != 1)
        QTimer::singleShot(0, this, &DemoBench::FetchWiredImage);
    StartScript();
}

void DemoBench::StartScript()
{
    const QString path = qEnvironmentVariable("ORADESK_DEMO_SCRIPT");
    if (path.isEmpty())
        return;
    QFile file(path);
    DemoScriptParser::Result parsed;
    if (!file.open(QIODevice::ReadOnly))
        parsed.error = QStringLiteral("cannot read it: %1").arg(file.errorString());
    else
        parsed = DemoScriptParser::Parse(QString::fromUtf8(file.readAll()));
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "demo script %s: %s\n", qUtf8Printable(path),
                     qUtf8Printable(parsed.error));
        std::fflush(stderr);
        // Exit only works once the event loop runs.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(1); });
        return;
    }
    std::printf("demo script %s: steps: %d\n", qUtf8Printable(path), int(parsed.steps.size()));
    std::fflush(stdout);
    auto *script = new DemoScript(parsed.steps, {m_devices[0].get(), m_devices[1].get()}, this);
    connect(script, &DemoScript::Finished, qApp, [](int code) { QCoreApplication::exit(code); });
    script->Start();
}

void DemoBench::PlugWaitingDevice(bool typeRemembered)
{
    ctrlsim::UpdatableDevice::Options options;
    options.kind = ctrlsim::UpdatableDevice::Kind::Wired;
    options.productId = kWaitingPid;
    options.state = ctrlsim::DeviceState::sane(kWaitingPid);
    options.stateAfterUpdate = options.state;
    options.stateAfterUpdate.version = {1, 1, 4};
    options.releaseAfterUpdate = 0x0114;
    // The type its failed update left in the settings file, or none.
    if (typeRemembered)
        FileINI().SetUpdateDeviceCode(UpdateFlow::TypeOfProduct(kWaitingPid));
    else
        FileINI().write(FileINI::kUpdateDeviceCodeKey, QString());
    m_waiting =
        std::make_unique<ctrlsim::UpdatableDevice>(options, ctrlsim::UpdatableDevice::Mode::Update);
}

void DemoBench::FetchWiredImage()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        for (MainWidget *devices : window->findChildren<MainWidget *>())
            devices->Flow()->downLoader()->downloadFirmware(UpdateFlow::TypeOfProduct(kWiredPid));
}

// The pad is a child and goes with the QObject base, after the devices have unplugged.
DemoBench::~DemoBench()
{
    qApp->removeEventFilter(m_pad);
}

void DemoBench::SendInput(const ctrlsim::InputState &state)
{
    if (!SendDemoInput(*m_devices[m_target], state))
        qDebug() << "demo: the" << TargetName() << "is in update mode, key not sent";
}

void DemoBench::SwitchTarget()
{
    m_target = (m_target + 1) % m_devices.size();
    qDebug() << "demo: keys now drive the" << TargetName();
    std::printf("Keys drive the %s now.\n", qPrintable(TargetName()));
    std::fflush(stdout);
}

QString DemoBench::TargetName() const
{
    return m_target == 0 ? QStringLiteral("wired controller") : QStringLiteral("dongle");
}

void DemoBench::ScheduleScreenshot()
{
    const QString file = qEnvironmentVariable("ORADESK_DEMO_SCREENSHOT");
    if (file.isEmpty() || qEnvironmentVariableIntValue("ORADESK_DEMO_BENCH") == 1)
        return; // the benchmark walk takes its picture at the module selection
    bool ok = false;
    double seconds = qEnvironmentVariable("ORADESK_DEMO_SCREENSHOT_AFTER").toDouble(&ok);
    if (!ok || seconds < 0)
        seconds = kScreenshotDefaultSeconds;
    QTimer::singleShot(int(seconds * 1000), this, [file] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible())
                continue;
            const bool saved = widget->grab().save(file);
            qDebug() << "demo screenshot" << file << (saved ? "saved" : "not saved");
            break;
        }
        QCoreApplication::quit();
    });
}

void DemoBench::Press(void (*set)(ctrlsim::InputState &))
{
    ctrlsim::InputState pressed;
    set(pressed);
    SendInput(pressed);
    QTimer::singleShot(60, this, [this] { SendInput(ctrlsim::InputState()); });
}

namespace {

// Resident memory of this process in kB, from /proc.
long ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Reports the first Show of a top-level widget once, on the steady clock.
class FirstShow : public QObject
{
public:
    using QObject::QObject;
    std::function<void()> shown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow() && shown) {
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                std::chrono::steady_clock::now().time_since_epoch())
                                .count();
            std::printf("bench first-window-steady-ns %lld\n", static_cast<long long>(ns));
            std::fflush(stdout);
            auto done = std::move(shown);
            shown = nullptr;
            done();
        }
        return false;
    }
};

} // namespace

void DemoBench::ScheduleBenchmark()
{
    if (qEnvironmentVariableIntValue("ORADESK_DEMO_BENCH") != 1)
        return;
    auto *first = new FirstShow(this);
    qApp->installEventFilter(first);
    first->shown = [this] {
        // The agreement notice comes a second after the window; X accepts it, A then
        // chooses the first device in the device window.
        QTimer::singleShot(1500, this,
                           [this] { Press([](ctrlsim::InputState &s) { s.x = true; }); });
        QTimer::singleShot(2500, this,
                           [this] { Press([](ctrlsim::InputState &s) { s.a = true; }); });
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll] {
            for (QWidget *window : QApplication::topLevelWidgets())
                for (ModuleSelection *page : window->findChildren<ModuleSelection *>())
                    if (page->isVisible()) {
                        poll->stop();
                        std::printf("bench module-selection-rss-kb %ld\n", ResidentKb());
                        std::fflush(stdout);
                        const QString shot = qEnvironmentVariable("ORADESK_DEMO_SCREENSHOT");
                        if (shot.isEmpty()) {
                            QCoreApplication::quit();
                            return;
                        }
                        // Once the configuration has been read and the page settled.
                        QTimer::singleShot(1500, window, [window, shot] {
                            window->grab().save(shot);
                            QCoreApplication::quit();
                        });
                        return;
                    }
        });
        poll->start(100);
        QTimer::singleShot(20000, qApp, [] {
            std::printf("bench module-selection-not-reached\n");
            QCoreApplication::exit(1);
        });
    };
}
