#include "testbed.h"

#include <umockdev.h>

namespace {

QByteArray hex4(uint16_t value)
{
    return QByteArray::number(value, 16).rightJustified(4, '0');
}

QByteArray littleEndian(uint16_t value)
{
    return hex4(uint16_t(value << 8 | value >> 8));
}

void setBinary(UMockdevTestbed *testbed, const char *syspath, const char *name, QByteArray bytes)
{
    umockdev_testbed_set_attribute_binary(testbed, syspath, name,
                                          reinterpret_cast<guint8 *>(bytes.data()), bytes.size());
}

// A gamepad with a nested physical collection, and a vendor-defined configuration interface.
const QByteArray kGamepad = QByteArray::fromHex("05010905a1018501" // Gamepad, Report ID 1
                                                "0901a10009300931150026ff00750895028102c0"
                                                "05091901291015002501750195108102c0");
const QByteArray kVendor = QByteArray::fromHex("0600ff0901a10185050902150026ff007508953f8102"
                                               "09039102c0"); // 63 bytes in and out

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

QString Testbed::plug(const QString &name, uint16_t vendorId, uint16_t productId, uint16_t release,
                      const QString &kinds, int firstNode, QStringList *hidraws)
{
    const QByteArray number = QByteArray::number(++m_lastDevnum);
    const QByteArray padded = number.rightJustified(3, '0');
    const QByteArray product = QByteArray::number(vendorId, 16) + '/' +
                               QByteArray::number(productId, 16) + '/' +
                               QByteArray::number(release, 16);
    gchar *syspath = umockdev_testbed_add_device(
        m_testbed, "usb", name.toUtf8().constData(), nullptr,
        // attributes
        "idVendor", hex4(vendorId).constData(), "idProduct", hex4(productId).constData(),
        "bcdDevice", hex4(release).constData(), "busnum", "1", "devnum", number.constData(),
        "bConfigurationValue", "1", "manufacturer", "Quorel", "product", "Controller", nullptr,
        // properties
        "DEVTYPE", "usb_device", "PRODUCT", product.constData(), "BUSNUM", "001", "DEVNUM",
        padded.constData(), "DEVNAME", ("/dev/bus/usb/001/" + padded).constData(), nullptr);
    // Device descriptor (USB 2.0, 64-byte packets, one configuration), then a
    // configuration without interfaces: what libusb reads.
    setBinary(m_testbed, syspath, "descriptors",
              QByteArray::fromHex("1201000200000040" + littleEndian(vendorId) +
                                  littleEndian(productId) + littleEndian(release) + "01020001" +
                                  "090209000001008032"));
    const QString usb = made(syspath);
    const QByteArray ids = hex4(vendorId).toUpper() + ':' + hex4(productId).toUpper();
    for (int i = 0; i < kinds.size(); ++i) {
        const char kind = kinds.at(i).toLatin1();
        if (kind == '-')
            continue;
        const QString hidraw = addHidraw(usb, i, firstNode++, ids,
                                         kind == 'g'   ? kGamepad
                                         : kind == 'v' ? kVendor
                                                       : kGamepad + kVendor);
        if (hidraws)
            hidraws->append(hidraw);
    }
    return usb;
}

QString Testbed::addHidraw(const QString &usbDevice, int interfaceNumber, int number,
                           const QByteArray &ids, const QByteArray &descriptor)
{
    const QByteArray interfaceName = usbDevice.section(QLatin1Char('/'), -1).toUtf8() + ":1." +
                                     QByteArray::number(interfaceNumber);
    gchar *interface = umockdev_testbed_add_device(
        m_testbed, "usb", interfaceName.constData(), usbDevice.toUtf8().constData(),
        "bInterfaceNumber",
        QByteArray::number(interfaceNumber, 16).rightJustified(2, '0').constData(),
        "bInterfaceClass", "03", nullptr, "DEVTYPE", "usb_interface", nullptr);
    const QByteArray hidName =
        "0003:" + ids + '.' + QByteArray::number(number + 1, 16).rightJustified(4, '0');
    const QByteArray hidId = "0003:0000" + QByteArray(ids).replace(':', ":0000");
    gchar *hid = umockdev_testbed_add_device(m_testbed, "hid", hidName.constData(), interface,
                                             nullptr, "HID_ID", hidId.constData(), "HID_NAME",
                                             "Quorel Controller", "HID_UNIQ", "", nullptr);
    setBinary(m_testbed, hid, "report_descriptor", descriptor);
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
        if (device == syspath || device.startsWith(syspath + QLatin1Char('/'))) {
            uevent(device, "remove");
            umockdev_testbed_remove_device(m_testbed, device.toUtf8().constData());
            m_devices.removeAt(i);
        }
    }
}

QString Testbed::made(char *syspath)
{
    const QString path = QString::fromUtf8(syspath);
    g_free(syspath);
    m_devices.append(path);
    return path;
}
