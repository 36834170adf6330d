#pragma once

#include "usbids.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <mutex>
#include <optional>

// What was announced for each device, so that its removal, when sysfs is already gone,
// names it the same way: path texts per hidraw devnode, ids per USB device syspath.
// Scans and the hot-plug handler may run on different threads.
class AnnouncedDevices
{
public:
    void rememberNode(const QString &devnode, const QStringList &pathTexts);
    // The texts remembered for devnode, forgotten by this call; empty when none.
    QStringList takeNode(const QString &devnode);

    void rememberUsb(const QString &syspath, UsbIds ids);
    std::optional<UsbIds> takeUsb(const QString &syspath);

private:
    std::mutex m_lock;
    QHash<QString, QStringList> m_nodes;
    QHash<QString, UsbIds> m_usb;
};
