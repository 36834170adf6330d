#include "testbed.h"

#include <umockdev.h>

namespace {

QByteArray hex4(uint16_t value)
{
    return QByteArray::number(value, 16).rightJustified(4, '0');
}

void appendLittleEndian(QByteArray &bytes, uint16_t value)
{
    bytes.append(static_cast<char>(value & 0xFF));
    bytes.append(static_cast<char>(value >> 8));
}

} // namespace

Testbed::Testbed() : m_testbed(umockdev_testbed_new()) {}

Testbed::~Testbed()
{
    g_object_unref(m_testbed);
}

bool Testbed::inMockEnvironment()
{
    return umockdev_in_mock_environment();
}

QByteArray Testbed::gamepadDescriptor()
{
    return QByteArray::fromHex("05010905a101"                 // Gamepad, Application
                               "8501"                         // Report ID 1
                               "0901a100093009311500"         // Pointer, Physical: X, Y
                               "26ff00750895028102c0"         //   8-bit axes, End
                               "0509190129101500250175019510" // 16 buttons
                               "8102c0");
}

QByteArray Testbed::vendorDescriptor()
{
    return QByteArray::fromHex("0600ff0901a101"                 // Vendor 0xFF00, Application
                               "85050902150026ff007508953f8102" // Report ID 5, 63 bytes in
                               "09039102c0");                   // and out
}

QByteArray Testbed::dongleDescriptor()
{
    return gamepadDescriptor() + vendorDescriptor();
}

QString Testbed::addUsbDevice(const QString &name, uint16_t vendorId, uint16_t productId,
                              uint16_t release)
{
    const QByteArray number = QByteArray::number(++m_lastDevnum);
    const QByteArray product = QByteArray::number(vendorId, 16) + '/' +
                               QByteArray::number(productId, 16) + '/' +
                               QByteArray::number(release, 16);
    const QByteArray devname = "/dev/bus/usb/001/" + number.rightJustified(3, '0');
    gchar *syspath = umockdev_testbed_add_device(
        m_testbed, "usb", name.toUtf8().constData(), nullptr,
        // attributes
        "idVendor", hex4(vendorId).constData(), "idProduct", hex4(productId).constData(),
        "bcdDevice", hex4(release).constData(), "busnum", "1", "devnum", number.constData(),
        "bConfigurationValue", "1", "manufacturer", "Quorel", "product", "Controller", nullptr,
        // properties
        "DEVTYPE", "usb_device", "PRODUCT", product.constData(), "BUSNUM", "001", "DEVNUM",
        number.rightJustified(3, '0').constData(), "DEVNAME", devname.constData(), nullptr);
    // Device descriptor (USB 2.0, 64-byte packets, one configuration), then a
    // configuration without interfaces: what libusb reads.
    QByteArray descriptors = QByteArray::fromHex("1201000200000040");
    appendLittleEndian(descriptors, vendorId);
    appendLittleEndian(descriptors, productId);
    appendLittleEndian(descriptors, release);
    descriptors += QByteArray::fromHex("01020001"
                                       "090209000001008032");
    umockdev_testbed_set_attribute_binary(m_testbed, syspath, "descriptors",
                                          reinterpret_cast<guint8 *>(descriptors.data()),
                                          descriptors.size());
    return made(syspath);
}

QString Testbed::addHidraw(const QString &usbDevice, int interfaceNumber, int number,
                           uint16_t vendorId, uint16_t productId, const QByteArray &descriptor)
{
    const QByteArray usbName = usbDevice.mid(usbDevice.lastIndexOf(QLatin1Char('/')) + 1).toUtf8();
    const QByteArray interfaceName = usbName + ":1." + QByteArray::number(interfaceNumber);
    gchar *interface = umockdev_testbed_add_device(
        m_testbed, "usb", interfaceName.constData(), usbDevice.toUtf8().constData(),
        "bInterfaceNumber",
        QByteArray::number(interfaceNumber, 16).rightJustified(2, '0').constData(),
        "bInterfaceClass", "03", nullptr, "DEVTYPE", "usb_interface", nullptr);
    const QByteArray hidName = "0003:" + hex4(vendorId).toUpper() + ':' +
                               hex4(productId).toUpper() + '.' +
                               QByteArray::number(number + 1, 16).rightJustified(4, '0');
    const QByteArray hidId =
        "0003:0000" + hex4(vendorId).toUpper() + ":0000" + hex4(productId).toUpper();
    gchar *hid = umockdev_testbed_add_device(m_testbed, "hid", hidName.constData(), interface,
                                             nullptr, "HID_ID", hidId.constData(), "HID_NAME",
                                             "Quorel Controller", "HID_UNIQ", "", nullptr);
    umockdev_testbed_set_attribute_binary(
        m_testbed, hid, "report_descriptor",
        reinterpret_cast<guint8 *>(const_cast<char *>(descriptor.constData())), descriptor.size());
    const QByteArray name = "hidraw" + QByteArray::number(number);
    gchar *hidraw = umockdev_testbed_add_device(m_testbed, "hidraw", name.constData(), hid, nullptr,
                                                "DEVNAME", ("/dev/" + name).constData(), nullptr);
    // hidapi reads <hidraw>/device/report_descriptor, as the kernel lays it out.
    umockdev_testbed_set_attribute_link(m_testbed, hidraw, "device", "..");
    made(interface);
    made(hid);
    return made(hidraw);
}

void Testbed::uevent(const QString &syspath, const char *action)
{
    umockdev_testbed_uevent(m_testbed, syspath.toUtf8().constData(), action);
}

void Testbed::remove(const QString &syspath)
{
    for (int i = m_devices.size() - 1; i >= 0; --i) {
        const QString device = m_devices.at(i);
        if (device != syspath && !device.startsWith(syspath + QLatin1Char('/')))
            continue;
        uevent(device, "remove");
        umockdev_testbed_remove_device(m_testbed, device.toUtf8().constData());
        m_devices.removeAt(i);
    }
}

QString Testbed::made(char *syspath)
{
    const QString path = QString::fromUtf8(syspath);
    g_free(syspath);
    m_devices.append(path);
    return path;
}
