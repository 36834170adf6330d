#include "device/devicecatalogue.h"
#include "device/hiddevicereadwrite.h"
#include "ui/mainwidget/updateflow.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

struct Match
{
    QString subsystem; // "hidraw" or "usb"
    QString vendor;
    QString product; // empty: every product of the vendor
};

// The lines of the shipped rule that give a device to the logged-in user.
QList<Match> RuleMatches(const QString &path)
{
    QList<Match> matches;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return matches;
    const QRegularExpression vendor(QStringLiteral("ATTRS\\{idVendor\\}==\"([0-9a-f]{4})\""));
    const QRegularExpression product(QStringLiteral("ATTRS\\{idProduct\\}==\"([0-9a-f]{4})\""));
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1Char('#')) ||
            !line.contains(QStringLiteral("TAG+=\"uaccess\"")))
            continue;
        Match m;
        if (line.contains(QStringLiteral("KERNEL==\"hidraw*\"")))
            m.subsystem = QStringLiteral("hidraw");
        else if (line.contains(QStringLiteral("SUBSYSTEM==\"usb\"")))
            m.subsystem = QStringLiteral("usb");
        m.vendor = vendor.match(line).captured(1);
        m.product = product.match(line).captured(1);
        matches << m;
    }
    return matches;
}

bool Covered(const QList<Match> &rule, const QString &subsystem, uint16_t vid, uint16_t pid)
{
    const QString v = QStringLiteral("%1").arg(vid, 4, 16, QLatin1Char('0'));
    const QString p = QStringLiteral("%1").arg(pid, 4, 16, QLatin1Char('0'));
    for (const Match &m : rule)
        if (m.subsystem == subsystem && m.vendor == v && (m.product.isEmpty() || m.product == p))
            return true;
    return false;
}

} // namespace

// A normal user reaches a device only through the shipped udev rule: every id the app opens
// must be in it, or the app switches a controller into a mode it then cannot open.
class TestUdevRule : public QObject
{
    Q_OBJECT

private slots:
    void everyOpenedDeviceIsGivenToTheUser_data()
    {
        QTest::addColumn<QString>("subsystem");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        for (const CatalogueEntry &entry : DeviceCatalogue::Entries())
            QTest::newRow(qPrintable(QStringLiteral("controller %1").arg(entry.productId, 4, 16)))
                << "hidraw" << int(DeviceCatalogue::kVendorId) << int(entry.productId);
        QTest::newRow("update mode")
            << "hidraw" << int(UpdateFlow::kUpdateVid) << int(UpdateFlow::kUpdatePid);
        QTest::newRow("button wait") << "hidraw" << int(HidDeviceReadWrite::kButtonWaitVid)
                                     << int(HidDeviceReadWrite::kButtonWaitPid);
        // The build string of a wired controller is read through USB.
        QTest::newRow("controller over USB") << "usb" << int(DeviceCatalogue::kVendorId) << 0x400E;
    }

    void everyOpenedDeviceIsGivenToTheUser()
    {
        QFETCH(QString, subsystem);
        QFETCH(int, vid);
        QFETCH(int, pid);
        const QList<Match> rule = RuleMatches(QStringLiteral(ORADESK_UDEV_RULE));
        QVERIFY(!rule.isEmpty());
        QVERIFY2(Covered(rule, subsystem, uint16_t(vid), uint16_t(pid)),
                 qPrintable(QStringLiteral("%1 %2:%3 has no rule line")
                                .arg(subsystem)
                                .arg(vid, 4, 16, QLatin1Char('0'))
                                .arg(pid, 4, 16, QLatin1Char('0'))));
    }
};

QTEST_MAIN(TestUdevRule)
#include "tst_udevrule.moc"
