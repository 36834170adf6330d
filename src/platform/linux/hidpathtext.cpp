#include "hidpathtext.h"

#include <QByteArray>

// The discovery rules match case-insensitive substrings at a position > 0. The text gives
// them Windows-like markers:
//
//   <node>#vid_<vvvv>&pid_<pppp><marker>
//
//   <node>    "/dev/hidrawN" as it is when N has one to three digits; any other node as
//             "node_" and two letters from kLetters per byte, so that it holds no digits
//             and no marker letters (four digits could spell a product id: hidraw4010)
//   <vvvv>    vendor id, <pppp> product id: four lower-case hex digits each
//   <marker>  on a node with several top-level collections (a dongle):
//               gamepad collection (page 0x01, usage 0x04 or 0x05)    "&col01"
//               vendor-defined collection (page >= 0xFF00)            "&col02"
//             on a node with one collection:
//               vendor-defined page (configuration interface)         "&mi_<ii>"
//               gamepad (input interface)                             "&ig_<ii>"
//             nothing for any other collection
//   <ii>      USB interface number as two hex digits, "xx" when unknown
//
// e.g. "/dev/hidraw2#vid_35c7&pid_400e&ig_00", "/dev/hidraw3#vid_35c7&pid_400e&mi_01",
// "/dev/hidraw5#vid_35c7&pid_401e&col01". Nothing but the marker can hold "mi", "ig" or
// "col0", and nothing but the two ids four hex digits in a row: separators break the runs.

namespace {

const QLatin1String kNodePrefix("/dev/hidraw");
const QLatin1String kEncodedPrefix("node_");
constexpr char kLetters[] = "abcdefhjknpqrstu"; // no g, i, l, m, o
constexpr int kMaxPlainDigits = 3;

bool isPlainNode(const QString &node)
{
    if (!node.startsWith(kNodePrefix))
        return false;
    const int digits = node.size() - kNodePrefix.size();
    if (digits < 1 || digits > kMaxPlainDigits)
        return false;
    for (int i = kNodePrefix.size(); i < node.size(); ++i) {
        if (node.at(i) < QLatin1Char('0') || node.at(i) > QLatin1Char('9'))
            return false;
    }
    return true;
}

QString encodeNode(const QString &node)
{
    if (isPlainNode(node))
        return node;
    QString text(kEncodedPrefix);
    for (char byte : node.toUtf8()) {
        const auto value = static_cast<uint8_t>(byte);
        text += QLatin1Char(kLetters[value >> 4]);
        text += QLatin1Char(kLetters[value & 0x0F]);
    }
    return text;
}

int letterValue(QChar letter)
{
    for (int i = 0; i < 16; ++i) {
        if (letter == QLatin1Char(kLetters[i]))
            return i;
    }
    return -1;
}

QString decodeNode(const QString &text)
{
    if (isPlainNode(text))
        return text;
    if (!text.startsWith(kEncodedPrefix))
        return QString();
    const int length = text.size() - kEncodedPrefix.size();
    if (length <= 0 || length % 2 != 0)
        return QString();
    QByteArray bytes;
    for (int i = kEncodedPrefix.size(); i < text.size(); i += 2) {
        const int high = letterValue(text.at(i));
        const int low = letterValue(text.at(i + 1));
        if (high < 0 || low < 0)
            return QString();
        bytes.append(static_cast<char>(high << 4 | low));
    }
    return QString::fromUtf8(bytes);
}

QString hex(unsigned value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0'));
}

QString interfaceText(int interfaceNumber)
{
    if (interfaceNumber < 0 || interfaceNumber > 0xFF)
        return QStringLiteral("xx");
    return hex(static_cast<unsigned>(interfaceNumber), 2);
}

bool isGamepad(const HidCollectionInfo &info)
{
    return info.usagePage == 0x01 && (info.usage == 0x04 || info.usage == 0x05);
}

bool isVendorDefined(const HidCollectionInfo &info)
{
    return info.usagePage >= 0xFF00;
}

QString marker(const HidCollectionInfo &info)
{
    if (info.collectionCount > 1) {
        if (isGamepad(info))
            return QStringLiteral("&col01");
        if (isVendorDefined(info))
            return QStringLiteral("&col02");
        return QString();
    }
    if (isVendorDefined(info))
        return QStringLiteral("&mi_") + interfaceText(info.interfaceNumber);
    if (isGamepad(info))
        return QStringLiteral("&ig_") + interfaceText(info.interfaceNumber);
    return QString();
}

} // namespace

QString HidPathText::build(const HidCollectionInfo &info)
{
    return encodeNode(info.node) + QStringLiteral("#vid_") + hex(info.vendorId, 4) +
           QStringLiteral("&pid_") + hex(info.productId, 4) + marker(info);
}

QString HidPathText::nodeOf(const QString &pathText)
{
    const int separator = pathText.indexOf(QLatin1Char('#'));
    if (separator <= 0 || !pathText.midRef(separator + 1).startsWith(QLatin1String("vid_")))
        return QString();
    return decodeNode(pathText.left(separator));
}
