#include "app/startup.h"
#include "platform/linux/linuxdeviceplatform.h"

int main(int argc, char **argv)
{
    return RunApplication(argc, argv, [] { return std::make_unique<LinuxDevicePlatform>(); });
}
