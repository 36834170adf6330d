// Times a firmware transfer of a 160 KB application to the simulated update-mode device
// answering each report after 1 ms, against the device's own latency alone (round trips
// × 1 ms).
#include "device/hiddevicereadwrite.h"

#include "firmware/imagebuilder.h"
#include "updatemode/updatemodedevice.h"
#include "virtualhid/virtualhidbus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <cstdio>
#include <thread>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const QByteArray application = ImageBuilder::Payload(160 * 1024, 1);
    const int runs = 3;
    for (int run = 0; run < runs; ++run) {
        ctrlsim::UpdateModeDevice target(
            std::vector<uint8_t>(application.begin(), application.end()));
        target.setReplyDelay(std::chrono::milliseconds(1));

        HidDeviceReadWrite device;
        std::atomic<int> result{-1};
        QObject::connect(&device, &HidDeviceReadWrite::UpdateStatic,
                         [&](bool ok) { result.store(ok ? 1 : 0); });
        std::thread loop([&] { device.OnReadDevice(); });
        device.OpenDevice(ctrlsim::UpdateModeDevice::kVendorId,
                          ctrlsim::UpdateModeDevice::kProductId);
        device.LoadImage(ImageBuilder::Standard("1.1.4", application).Build());

        QElapsedTimer timer;
        timer.start();
        device.StartUpdate();
        while (result.load() < 0 && timer.elapsed() < 120000)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        device.Stop();
        loop.join();

        const auto transfer = target.transfer();
        const int roundTrips = transfer.reports - 1; // End is not acknowledged
        std::printf("run %d: %s, %d round trips in %.0f ms; round trips x 1 ms = %d ms; "
                    "ratio %.3f\n",
                    run + 1, transfer.complete && result.load() == 1 ? "complete" : "FAILED",
                    roundTrips, ms, roundTrips, ms / roundTrips);
        vhid::Bus::instance().reset();
    }
    return 0;
}
