// Measures checked saves: for each page, the time from the end of a save (its commit sent)
// to the saved notice, which waits for the controller's replies to the read-back of what
// was written. The simulated controller answers each read 1 ms after it; the model pauses
// 20 ms before it parses each reply, as in the app.
#include "device/hidconfig.h"
#include "ui/configpage/configpage.h"
#include "ui/lightpage/lightpage.h"
#include "ui/mappingpage/mappingpage.h"
#include "ui/stickpage/stickpage.h"
#include "ui/triggerpage/triggerpage.h"
#include "ui/turbopage/turbopage.h"
#include "ui/vibratepage/vibratepage.h"

#include "pagebench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Page
{
    const char *name;
    std::function<ConfigPage *(HidConfig *)> make;
    bool reset;
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    const Page pages[] = {
        {"mapping", [](HidConfig *c) { return new MappingPage(c); }, false},
        {"turbo", [](HidConfig *c) { return new TureboPage(c); }, true},
        {"stick", [](HidConfig *c) { return new StickPage(c); }, false},
        {"trigger", [](HidConfig *c) { return new TriggerPage(c); }, false},
        {"vibration", [](HidConfig *c) { return new VibratePage(c); }, false},
        {"lighting", [](HidConfig *c) { return new LightPage(c); }, false},
    };
    constexpr int kRuns = 10;
    std::printf("checked save, commit to notice, %d saves each, controller replying after 1 ms, "
                "20 ms parse pause per reply:\n",
                kRuns);
    for (const Page &page : pages) {
        PageBench bench;
        bench.StartReading(20);
        QElapsedTimer waited;
        waited.start();
        bool read = false;
        QObject::connect(&bench.Config(), &HidConfig::ReadFinished, &app, [&] { read = true; });
        while (!read && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        bench.Device().firmware().setReplyDelay(std::chrono::milliseconds(1));
        std::unique_ptr<ConfigPage> shown(page.make(&bench.Config()));
        shown->show();
        shown->Load(PageLoad::Show);
        std::vector<double> ms;
        int replies = 0;
        QObject::connect(&bench.Config(), &HidConfig::ConfigReplyArrived, &app, [&] { ++replies; });
        for (int run = 0; run < kRuns; ++run) {
            bool noticed = false;
            int notice = -1;
            auto connection = QObject::connect(
                shown.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText), [&](int flag) {
                    noticed = true;
                    notice = flag;
                });
            // Between saves the reads that follow by themselves come to an end.
            QElapsedTimer quiet;
            quiet.start();
            while (quiet.elapsed() < 600)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (page.reset)
                shown->on_btnReset_clicked();
            else
                shown->on_btnSave_clicked();
            QElapsedTimer clock;
            clock.start();
            replies = 0;
            while (!noticed && clock.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            QObject::disconnect(connection);
            if (notice == ConfigPage::kSaveFailed || !noticed)
                std::printf("  %s: save %d not confirmed\n", page.name, run);
            ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("  %-9s median %6.1f ms, max %6.1f ms (%d replies read)\n", page.name,
                    ms[ms.size() / 2], ms.back(), replies);
    }
    return 0;
}
