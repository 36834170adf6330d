#include "demobench.h"

#include "keyboardpad.h"

#include "controller/inputreport.h"
#include "controller/simulatedcontroller.h"
#include "updatemode/updatabledevice.h"
#include "virtualhid/node.h"

#include <QApplication>
#include <QDebug>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

// Vexalon Pro by cable: a file-profile model, so the profiles and lighting pages show.
constexpr uint16_t kWiredPid = 0x400E;
// Vexalon Adv dongle: a plain model, so the other navigation column can be seen too.
constexpr uint16_t kDonglePid = 0x4013;
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

// The node a controller reports its buttons on: the gamepad collection, which is
// interface 0 of a wired controller and shares the single node of a dongle.
vhid::Node &InputNode(ctrlsim::SimulatedController &controller)
{
    for (const auto &node : controller.nodes())
        for (const vhid::Collection &c : node->info().collections)
            if (c.usagePage == 0x01)
                return *node;
    return controller.node();
}

} // namespace

DemoBench::DemoBench(QObject *parent) : QObject(parent)
{
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
    std::fflush(stdout);

    ScheduleScreenshot();
}

// The pad is a child and goes with the QObject base, after the devices have unplugged.
DemoBench::~DemoBench()
{
    qApp->removeEventFilter(m_pad);
}

void DemoBench::SendInput(const ctrlsim::InputState &state)
{
    const bool sent =
        m_devices[m_target]->withController([&](ctrlsim::SimulatedController &controller) {
            InputNode(controller).pushInput(ctrlsim::makeLongReport(state));
        });
    if (!sent)
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
    if (file.isEmpty())
        return;
    bool ok = false;
    int seconds = qEnvironmentVariableIntValue("ORADESK_DEMO_SCREENSHOT_AFTER", &ok);
    if (!ok || seconds < 0)
        seconds = kScreenshotDefaultSeconds;
    QTimer::singleShot(seconds * 1000, this, [file] {
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
