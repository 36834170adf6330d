// Measures the configuration read loop over the virtual HID bus: how long a report
// waits between arriving on a device and being dispatched, and how much CPU the loop
// takes while the open devices are silent.
#include "device/hidconfig.h"

#include "virtualhid/virtualhidbus.h"

#include <QApplication>
#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <pthread.h>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class TimedConfig : public HidConfig
{
public:
    std::atomic<int64_t> dispatchedAt{0};
    std::atomic<int> dispatched{0};

protected:
    void OnLongInputReport(const uint8_t *, int) override
    {
        dispatchedAt.store(Clock::now().time_since_epoch().count());
        dispatched.fetch_add(1);
    }
};

std::shared_ptr<vhid::Node> plugNode(uint16_t pid)
{
    vhid::NodeInfo info;
    info.vendorId = 0x35C7;
    info.productId = pid;
    info.collections = {{0x01, 0x05}};
    return vhid::Bus::instance().plug(info);
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size())));
    return values[index];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    TimedConfig config;
    auto active = plugNode(0x400C);
    auto silent = plugNode(0x401E);
    config.OpenSlot(0, QString::fromStdString(silent->path()));
    config.OpenSlot(1, QString::fromStdString(active->path()));
    config.SetReading(true);
    std::thread loop([&] { config.OnReadDevice(); });

    constexpr int kReports = 10000;
    std::vector<double> latencyMs;
    latencyMs.reserve(kReports);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> gapUs(0, 2000);
    const std::vector<uint8_t> report(20, 0x01);
    for (int i = 0; i < kReports; ++i) {
        // Arrivals at random phases of the polling pass.
        std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
        const int before = config.dispatched.load();
        const auto pushed = Clock::now();
        active->pushInput(report);
        while (config.dispatched.load() == before)
            std::this_thread::yield();
        const auto at = Clock::time_point(Clock::duration(config.dispatchedAt.load()));
        latencyMs.push_back(std::chrono::duration<double, std::milli>(at - pushed).count());
    }
    std::printf("dispatch latency over %d reports: median %.3f ms, p99 %.3f ms, max %.3f ms\n",
                kReports, percentile(latencyMs, 0.5), percentile(latencyMs, 0.99),
                percentile(latencyMs, 1.0));

    // A short report pressing A, to pressButtonA reaching a receiver on this (GUI) thread.
    constexpr int kPresses = 2000;
    std::vector<double> pressMs;
    QObject receiver;
    int received = 0;
    Clock::time_point receivedAt;
    QObject::connect(
        &config, &HidConfig::pressButtonA, &receiver,
        [&] {
            receivedAt = Clock::now();
            ++received;
        },
        Qt::QueuedConnection);
    std::vector<uint8_t> shortReport(14, 0);
    for (int i = 0; i < kPresses; ++i) {
        shortReport[10] = 0x00; // release, so that the next report is a new press
        active->pushInput(shortReport);
        std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
        const int before = received;
        shortReport[10] = 0x01;
        const auto pushed = Clock::now();
        active->pushInput(shortReport);
        while (received == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        pressMs.push_back(std::chrono::duration<double, std::milli>(receivedAt - pushed).count());
    }
    std::printf("input report to pressButtonA on the GUI thread over %d presses: median %.3f ms, "
                "p99 %.3f ms\n",
                kPresses, percentile(pressMs, 0.5), percentile(pressMs, 0.99));

    // Idle: both devices silent. The loop thread's own CPU clock, user and system time.
    clockid_t loopClock;
    pthread_getcpuclockid(loop.native_handle(), &loopClock);
    auto cpuNow = [&] {
        timespec t{};
        clock_gettime(loopClock, &t);
        return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
    };
    constexpr double kIdleSeconds = 5.0;
    const double cpuStart = cpuNow();
    const auto wallStart = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(kIdleSeconds));
    const double cpu = cpuNow() - cpuStart;
    const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
    std::printf("idle read loop with two open silent devices: %.2f %% of one core\n",
                100.0 * cpu / wall);

    config.Stop();
    loop.join();
    return 0;
}
