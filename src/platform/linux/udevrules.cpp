#include "udevrules.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace UdevRules {

namespace {

QString Hex(uint16_t value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

QString Captured(const QRegularExpression &pattern, const QString &line)
{
    return pattern.match(line).captured(1).toLower();
}

} // namespace

QStringList SystemDirectories()
{
    return {QStringLiteral("/etc/udev/rules.d"), QStringLiteral("/run/udev/rules.d"),
            QStringLiteral("/usr/lib/udev/rules.d"), QStringLiteral("/lib/udev/rules.d")};
}

QList<Grant> Read(const QString &path)
{
    static const QRegularExpression vendor(
        QStringLiteral("ATTRS\\{idVendor\\}==\"([0-9a-fA-F]{4})\""));
    static const QRegularExpression product(
        QStringLiteral("ATTRS\\{idProduct\\}==\"([0-9a-fA-F]{4})\""));
    static const QRegularExpression openMode(QStringLiteral("MODE:?=\"0?666\""));
    static const QRegularExpression hidraw(
        QStringLiteral("KERNEL==\"hidraw\\*?\"|SUBSYSTEM==\"hidraw\""));
    QList<Grant> grants;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return grants;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (!line.contains(QStringLiteral("TAG+=\"uaccess\"")) && !openMode.match(line).hasMatch())
            continue;
        Grant grant;
        if (hidraw.match(line).hasMatch())
            grant.subsystem = QStringLiteral("hidraw");
        else if (line.contains(QStringLiteral("SUBSYSTEM==\"usb\"")))
            grant.subsystem = QStringLiteral("usb");
        grant.vendor = Captured(vendor, line);
        grant.product = Captured(product, line);
        if (!grant.subsystem.isEmpty() && !grant.vendor.isEmpty())
            grants << grant;
    }
    return grants;
}

bool Covers(const QList<Grant> &grants, const QString &subsystem, uint16_t vendorId,
            uint16_t productId)
{
    for (const Grant &grant : grants)
        if (grant.subsystem == subsystem && grant.vendor == Hex(vendorId) &&
            (grant.product.isEmpty() || grant.product == Hex(productId)))
            return true;
    return false;
}

bool GrantsHidraw(const QStringList &dirs, uint16_t vendorId, uint16_t productId)
{
    QSet<QString> seen;
    for (const QString &dir : dirs) {
        const QFileInfoList files =
            QDir(dir).entryInfoList({QStringLiteral("*.rules")}, QDir::Files | QDir::System);
        for (const QFileInfo &file : files) {
            // A link to /dev/null masks the file of that name: it is read as empty.
            if (seen.contains(file.fileName()))
                continue;
            seen.insert(file.fileName());
            if (Covers(Read(file.filePath()), QStringLiteral("hidraw"), vendorId, productId))
                return true;
        }
    }
    return false;
}

} // namespace UdevRules
