#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;
struct udev;
struct udev_device;
struct udev_monitor;

// A libudev monitor of hidraw nodes and USB devices (usb_device only). Its socket is
// read through a socket notifier on the thread that starts it, and each device received
// goes to the handler there; the handler must not keep the device.
class UdevMonitor : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(udev_device *device)>;

    explicit UdevMonitor(Handler handler, QObject *parent = nullptr);
    ~UdevMonitor() override;

    // Opens the monitor; false when libudev cannot make it. Once running, true.
    bool start();
    bool isRunning() const { return m_notifier != nullptr; }

private:
    void drain();
    void release();

    Handler m_handler;
    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};
