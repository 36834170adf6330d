#include "app/startup.h"
#include "demobench.h"
#include "platform/virtualdeviceplatform.h"

int main(int argc, char **argv)
{
    // The factory runs once the application object exists and before the window scans,
    // so the devices are on the bus for the first scan. The bench is a child of the
    // platform: it goes after the window and before the application.
    return RunApplication(argc, argv, [] {
        auto platform = std::make_unique<VirtualDevicePlatform>();
        new DemoBench(platform.get());
        return platform;
    });
}
