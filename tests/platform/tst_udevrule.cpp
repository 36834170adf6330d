#include "device/devicecatalogue.h"
#include "device/hiddevicereadwrite.h"
#include "platform/linux/udevrules.h"
#include "ui/mainwidget/updateflow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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
        const QList<UdevRules::Grant> rule = UdevRules::Read(QStringLiteral(ORADESK_UDEV_RULE));
        QVERIFY(!rule.isEmpty());
        QVERIFY2(UdevRules::Covers(rule, subsystem, uint16_t(vid), uint16_t(pid)),
                 qPrintable(QStringLiteral("%1 %2:%3 has no rule line")
                                .arg(subsystem)
                                .arg(vid, 4, 16, QLatin1Char('0'))
                                .arg(pid, 4, 16, QLatin1Char('0'))));
    }

    // Whether the update-mode device is given to the user, from the rule files of two
    // directories, the first overriding the second as /etc overrides /lib.
    void updateModeAccessFromTheRuleDirectories_data()
    {
        QTest::addColumn<QString>("first");  // 70-x.rules in the first directory; "-": none
        QTest::addColumn<QString>("second"); // 70-x.rules in the second directory
        QTest::addColumn<bool>("granted");
        const QString hidraw = QStringLiteral(
            "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"2e2c\", ATTRS{idProduct}==\"5826\", "
            "TAG+=\"uaccess\"\n");
        QTest::newRow("no rules") << "-"
                                  << "-" << false;
        QTest::newRow("hidraw line") << hidraw << "-" << true;
        QTest::newRow("in the second directory") << "-" << hidraw << true;
        QTest::newRow("upper-case ids, whole vendor, open mode")
            << "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"2E2C\", MODE=\"0666\"\n"
            << "-" << true;
        QTest::newRow("USB device only")
            << "SUBSYSTEM==\"usb\", ATTRS{idVendor}==\"2e2c\", TAG+=\"uaccess\"\n"
            << "-" << false;
        QTest::newRow("other product")
            << "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"2e2c\", ATTRS{idProduct}==\"0008\", "
               "TAG+=\"uaccess\"\n"
            << "-" << false;
        QTest::newRow("commented out") << "# " + hidraw << "-" << false;
        QTest::newRow("no access given")
            << "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"2e2c\", GROUP=\"plugdev\"\n"
            << "-" << false;
        // An emptied file of the same name in /etc masks the packaged one.
        QTest::newRow("masked by an empty file") << "" << hidraw << false;
    }

    void updateModeAccessFromTheRuleDirectories()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, granted);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QStringList dirs = {tmp.path() + "/etc", tmp.path() + "/lib"};
        const QStringList texts = {first, second};
        for (int i = 0; i < dirs.size(); ++i) {
            QVERIFY(QDir().mkpath(dirs[i]));
            if (texts[i] == "-")
                continue;
            QFile file(dirs[i] + "/70-x.rules");
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(texts[i].toUtf8());
        }
        QCOMPARE(UdevRules::GrantsHidraw(dirs, UpdateFlow::kUpdateVid, UpdateFlow::kUpdatePid),
                 granted);
    }
};

QTEST_MAIN(TestUdevRule)
#include "tst_udevrule.moc"
