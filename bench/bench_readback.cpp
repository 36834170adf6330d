// Times a full configuration read-back on the controller simulator, for a plain model
// and a file-profile model, against the reply delay alone (steps × 20 ms).
#include "device/hidconfig.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>

namespace {

struct Result
{
    double ms = 0;
    size_t steps = 0;
};

Result timeReadBack(uint16_t pid, bool fileProfile)
{
    auto device = ctrlsim::SimulatedController::plug(pid);
    HidConfig config;
    config.m_fileProfileModel = fileProfile;
    config.OpenSlot(0, QString::fromStdString(device->path()));
    config.SetReading(true);
    std::unique_ptr<QThread> loop(QThread::create([&] { config.OnReadDevice(); }));
    loop->start();

    // The chain ends with the last name reply (plain) or the active-profile report.
    int done = 0;
    if (fileProfile)
        QObject::connect(&config, &HidConfig::CurrentProfile, [&] { ++done; });
    else
        QObject::connect(&config, &HidConfig::profileChanges, [&] { ++done; });
    QElapsedTimer timer;
    timer.start();
    config.SelectSlot(0);
    while (done == 0 && timer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    Result result{double(timer.nsecsElapsed()) / 1e6, device->firmware().frames().size()};

    config.Stop();
    loop->wait();
    return result;
}

void report(const char *name, const Result &r)
{
    const double floorMs = double(r.steps) * 20.0;
    std::printf("%s: %zu steps in %.1f ms; steps x 20 ms = %.0f ms; ratio %.3f\n", name, r.steps,
                r.ms, floorMs, r.ms / floorMs);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    report("plain model (400C)", timeReadBack(0x400C, false));
    report("file-profile model (400E)", timeReadBack(0x400E, true));
    return 0;
}
