#include "announceddevices.h"

void AnnouncedDevices::rememberNode(const QString &devnode, const QStringList &pathTexts)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_nodes.insert(devnode, pathTexts);
}

QStringList AnnouncedDevices::takeNode(const QString &devnode)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nodes.take(devnode);
}

void AnnouncedDevices::rememberUsb(const QString &syspath, UsbIds ids)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_usb.insert(syspath, ids);
}

std::optional<UsbIds> AnnouncedDevices::takeUsb(const QString &syspath)
{
    std::lock_guard<std::mutex> guard(m_lock);
    const auto found = m_usb.find(syspath);
    if (found == m_usb.end())
        return std::nullopt;
    const UsbIds ids = found.value();
    m_usb.erase(found);
    return ids;
}
