#include "udevmonitor.h"

#include <QSocketNotifier>
#include <libudev.h>
#include <utility>

namespace {
// Devices taken per wake-up; the notifier fires again while more are queued.
constexpr int kDevicesPerWake = 64;
} // namespace

UdevMonitor::UdevMonitor(Handler handler, QObject *parent)
    : QObject(parent), m_handler(std::move(handler))
{
}

UdevMonitor::~UdevMonitor()
{
    release();
}

bool UdevMonitor::start()
{
    if (isRunning())
        return true;
    m_udev = udev_new();
    if (m_udev)
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    const bool made =
        m_monitor &&
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) >= 0 &&
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "usb", "usb_device") >= 0 &&
        udev_monitor_enable_receiving(m_monitor) >= 0;
    const int fd = made ? udev_monitor_get_fd(m_monitor) : -1;
    if (fd < 0) {
        release();
        return false;
    }
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UdevMonitor::drain);
    return true;
}

void UdevMonitor::drain()
{
    for (int i = 0; i < kDevicesPerWake && m_monitor; ++i) {
        udev_device *device = udev_monitor_receive_device(m_monitor);
        if (!device)
            return;
        m_handler(device);
        udev_device_unref(device);
    }
}

void UdevMonitor::release()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    m_monitor = nullptr;
    if (m_udev)
        udev_unref(m_udev);
    m_udev = nullptr;
}
