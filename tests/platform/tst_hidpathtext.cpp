#include "platform/linux/hidpathtext.h"

#include <QtTest>

Q_DECLARE_METATYPE(HidCollectionInfo)

namespace {

// The product ids of the family; a text may hold only its own.
const char *const kFamily[] = {"400F", "4021", "4024", "400C", "401E", "4022", "4019", "400E",
                               "4031", "4034", "4032", "402E", "401D", "401B", "4027", "4025",
                               "4013", "401A", "402A", "402D", "402B", "4028", "4017", "4010"};

HidCollectionInfo info(const QString &node, int productId, int interfaceNumber, int usagePage,
                       int usage, int count)
{
    return {
        node, 0x35C7, uint16_t(productId), interfaceNumber, uint16_t(usagePage), uint16_t(usage),
        count};
}

// Occurrences of part in text as the rules see them: any case, overlapping, at index > 0.
int ruleMatches(const QString &text, const QString &part)
{
    int count = 0;
    for (int at = text.indexOf(part, 1, Qt::CaseInsensitive); at > 0;
         at = text.indexOf(part, at + 1, Qt::CaseInsensitive))
        ++count;
    return count;
}

} // namespace

class TestHidPathText : public QObject
{
    Q_OBJECT

private slots:
    void examples_data()
    {
        QTest::addColumn<HidCollectionInfo>("info");
        QTest::addColumn<QString>("text");
        const QString n = QStringLiteral("/dev/hidraw2");
        const QString t = QStringLiteral("/dev/hidraw2#vid_35c7&pid_");
        QTest::newRow("gamepad") << info(n, 0x400E, 0, 0x01, 0x05, 1) << t + "400e&ig_00";
        QTest::newRow("joystick") << info(n, 0x4021, 2, 0x01, 0x04, 1) << t + "4021&ig_02";
        QTest::newRow("configuration") << info(n, 0x400E, 1, 0xFF00, 1, 1) << t + "400e&mi_01";
        QTest::newRow("below vendor range") << info(n, 0x400E, 1, 0xFEFF, 1, 1) << t + "400e";
        QTest::newRow("mouse") << info(n, 0x400E, 0, 0x01, 0x02, 1) << t + "400e";
        QTest::newRow("no collection") << info(n, 0x400E, 0, 0, 0, 0) << t + "400e";
        QTest::newRow("dongle gamepad") << info(n, 0x401E, 0, 0x01, 0x05, 2) << t + "401e&col01";
        QTest::newRow("dongle vendor") << info(n, 0x401E, 0, 0xFF00, 1, 2) << t + "401e&col02";
        QTest::newRow("dongle consumer") << info(n, 0x401E, 0, 0x0C, 1, 3) << t + "401e";
        QTest::newRow("interface unknown") << info(n, 0x400E, -1, 1, 5, 1) << t + "400e&ig_xx";
        QTest::newRow("three-digit node") << info("/dev/hidraw401", 0x400E, 0, 1, 5, 1)
                                          << "/dev/hidraw401#vid_35c7&pid_400e&ig_00";
        QTest::newRow("four-digit node")
            << info("/dev/hidraw4010", 0x400E, 0, 1, 5, 1)
            << "node_cuhehfjhcuhkhnhejchbjjdedadbda#vid_35c7&pid_400e&ig_00";
        // Texts that build() does not make have no node.
        QTest::newRow("empty") << HidCollectionInfo{} << "";
        QTest::newRow("bare node") << HidCollectionInfo{} << "/dev/hidraw3";
        QTest::newRow("no vendor after the node")
            << HidCollectionInfo{} << "/dev/hidraw3#pid_400e&ig_00";
        QTest::newRow("four digits unencoded")
            << HidCollectionInfo{} << "/dev/hidraw4010#vid_35c7&pid_400e";
        QTest::newRow("odd encoding") << HidCollectionInfo{} << "node_abc#vid_35c7&pid_400e";
        QTest::newRow("letter outside the set")
            << HidCollectionInfo{} << "node_ag#vid_35c7&pid_400e";
        QTest::newRow("other system's path")
            << HidCollectionInfo{}
            << "\\\\?\\hid#vid_35c7&pid_400e&mi_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-"
               "001111000030}";
    }

    void examples()
    {
        QFETCH(HidCollectionInfo, info);
        QFETCH(QString, text);
        if (!info.node.isEmpty())
            QCOMPARE(HidPathText::build(info), text);
        QCOMPARE(HidPathText::nodeOf(text), info.node);
    }

    // Every family id, interface number and node: the text holds the vendor id, its own
    // product id once, its marker once and nothing that another rule would take.
    void onlyIntendedMarkers_data()
    {
        QTest::addColumn<int>("usagePage");
        QTest::addColumn<int>("usage");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("marker");
        QTest::newRow("input interface") << 0x01 << 0x05 << 1 << "&ig_";
        QTest::newRow("joystick interface") << 0x01 << 0x04 << 1 << "&ig_";
        QTest::newRow("configuration interface") << 0xFF00 << 0x01 << 1 << "&mi_";
        QTest::newRow("other interface") << 0x01 << 0x06 << 1 << "";
        QTest::newRow("dongle gamepad") << 0x01 << 0x05 << 2 << "&col01";
        QTest::newRow("dongle vendor") << 0xFF01 << 0x02 << 2 << "&col02";
        QTest::newRow("dongle other") << 0x0C << 0x01 << 2 << "";
    }

    void onlyIntendedMarkers()
    {
        QFETCH(int, usagePage);
        QFETCH(int, usage);
        QFETCH(int, count);
        QFETCH(QString, marker);
        const QStringList nodes = {"/dev/hidraw0",
                                   "/dev/hidraw999",
                                   "/dev/hidraw4010",
                                   "/dev/hidraw4021",
                                   "/dev/MI/ig/col01/400e#vid_&",
                                   "/dev/hidraw\u00fc"};
        // Each part is in the text once if it is the vendor, the product or in the marker.
        QStringList parts = {"35c7", "&ig_", "&mi_", "&col01", "&col02", "mi", "ig", "col0"};
        for (const char *id : kFamily)
            parts.append(QLatin1String(id));
        for (const char *id : kFamily) {
            for (const QString &node : nodes) {
                for (int interface : {-1, 0, 1, 0x40, 0x4E, 0xFF, 0x4010}) {
                    const QString text =
                        HidPathText::build(info(node, QByteArray(id).toInt(nullptr, 16), interface,
                                                usagePage, usage, count));
                    for (const QString &part : parts) {
                        const bool once =
                            part == "35c7" || part == QLatin1String(id) || marker.contains(part);
                        QVERIFY2(ruleMatches(text, part) == int(once),
                                 qPrintable(text + ' ' + part));
                    }
                    QCOMPARE(HidPathText::nodeOf(text), node);
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestHidPathText)
#include "tst_hidpathtext.moc"
