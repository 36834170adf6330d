// Measures the test page following a controller that streams input reports every 1 ms:
// the time from a report arriving on the virtual device to the page's widgets showing it,
// and the GUI thread's CPU meanwhile. Reports the page never shows (a later one arrived
// before the next frame) have no latency of their own.
#include "device/hidconfig.h"
#include "ui/testpage/testpage.h"

#include "controller/inputstream.h"
#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    auto device = ctrlsim::SimulatedController::plug(0x400E);
    HidConfig config;
    config.OpenSlot(0, QString::fromStdString(device->path()));
    config.SelectWriteSlot(0);
    config.SetReading(true);
    std::thread loop([&] { config.OnReadDevice(); });

    TestPage page(&config);
    page.resize(1060, 450);
    page.show();
    page.StartTest();

    // Each report carries its number in the left stick, so that the page tells which one
    // it shows; its send time is kept by number.
    constexpr int kSeconds = 5;
    constexpr uint32_t kReports = kSeconds * 1000;
    std::vector<Clock::time_point> sentAt(kReports + 1);
    std::atomic<uint32_t> next{1};
    ctrlsim::InputStream stream([&](const ctrlsim::InputState &) {
        const uint32_t n = next.fetch_add(1);
        if (n > kReports)
            return;
        ctrlsim::InputState input;
        input.lx = uint16_t(n & 0xFFFF);
        input.ly = uint16_t(n >> 16);
        input.a = (n / 500) % 2; // the indicators change too
        input.lt = uint16_t(n % 1024);
        sentAt[n] = Clock::now();
        device->sendInput(input);
    });

    std::vector<double> latencyMs;
    int frames = 0;
    QObject::connect(&page, &TestPage::InputShown, [&] {
        const QPoint shown = page.ShownLeftStick();
        const uint32_t n = uint32_t(shown.x()) | uint32_t(shown.y()) << 16;
        if (n == 0 || n > kReports)
            return;
        ++frames;
        latencyMs.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - sentAt[n]).count());
    });

    ctrlsim::StreamOptions options;
    options.interval = std::chrono::microseconds(1000);
    const double cpuStart = threadCpuSeconds();
    const auto wallStart = Clock::now();
    stream.start(options);
    QTimer::singleShot(kSeconds * 1000 + 200, &app, &QApplication::quit);
    QString health;
    QTimer::singleShot(kSeconds * 1000, &app, [&] { health = config.InputHealthLine(); });
    app.exec();
    stream.stop();
    const double cpu = threadCpuSeconds() - cpuStart;
    const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();

    std::printf("test page, input streamed every 1 ms for %d s (%u reports): %d frames shown\n",
                kSeconds, std::min(next.load() - 1, kReports), frames);
    std::printf("report to widgets updated: median %.3f ms, p99 %.3f ms, max %.3f ms\n",
                percentile(latencyMs, 0.5), percentile(latencyMs, 0.99),
                percentile(latencyMs, 1.0));
    std::printf("GUI thread: %.1f %% of one core\n", 100.0 * cpu / wall);
    std::printf("input-health line at the end: %s\n", qPrintable(health));

    page.StopTest();
    config.Stop();
    loop.join();
    return 0;
}
