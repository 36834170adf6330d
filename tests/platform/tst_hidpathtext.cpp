#include "platform/linux/hidpathtext.h"

#include <QtTest>

namespace {

// The product ids of the family; a text may hold only its own.
const char *const kFamily[] = {"400F", "4021", "4024", "400C", "401E", "4022", "4019", "400E",
                               "4031", "4034", "4032", "402E", "401D", "401B", "4027", "4025",
                               "4013", "401A", "402A", "402D", "402B", "4028", "4017", "4010"};

HidCollectionInfo collection(const QString &node, uint16_t productId, int interfaceNumber,
                             uint16_t usagePage, uint16_t usage, int count)
{
    HidCollectionInfo info;
    info.node = node;
    info.vendorId = 0x35C7;
    info.productId = productId;
    info.interfaceNumber = interfaceNumber;
    info.usagePage = usagePage;
    info.usage = usage;
    info.collectionCount = count;
    return info;
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
        QTest::addColumn<QString>("node");
        QTest::addColumn<int>("productId");
        QTest::addColumn<int>("interfaceNumber");
        QTest::addColumn<int>("usagePage");
        QTest::addColumn<int>("usage");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");

        const QString n2 = QStringLiteral("/dev/hidraw2");
        QTest::newRow("gamepad interface")
            << n2 << 0x400E << 0 << 0x01 << 0x05 << 1 << "/dev/hidraw2#vid_35c7&pid_400e&ig_00";
        QTest::newRow("joystick interface")
            << n2 << 0x4021 << 2 << 0x01 << 0x04 << 1 << "/dev/hidraw2#vid_35c7&pid_4021&ig_02";
        QTest::newRow("configuration interface")
            << n2 << 0x400E << 1 << 0xFF00 << 0x01 << 1 << "/dev/hidraw2#vid_35c7&pid_400e&mi_01";
        QTest::newRow("page below vendor range")
            << n2 << 0x400E << 1 << 0xFEFF << 0x01 << 1 << "/dev/hidraw2#vid_35c7&pid_400e";
        QTest::newRow("mouse interface")
            << n2 << 0x400E << 0 << 0x01 << 0x02 << 1 << "/dev/hidraw2#vid_35c7&pid_400e";
        QTest::newRow("no collection")
            << n2 << 0x400E << 0 << 0x00 << 0x00 << 0 << "/dev/hidraw2#vid_35c7&pid_400e";
        QTest::newRow("dongle gamepad")
            << n2 << 0x401E << 0 << 0x01 << 0x05 << 2 << "/dev/hidraw2#vid_35c7&pid_401e&col01";
        QTest::newRow("dongle vendor")
            << n2 << 0x401E << 0 << 0xFF00 << 0x01 << 2 << "/dev/hidraw2#vid_35c7&pid_401e&col02";
        QTest::newRow("dongle consumer")
            << n2 << 0x401E << 0 << 0x0C << 0x01 << 3 << "/dev/hidraw2#vid_35c7&pid_401e";
        QTest::newRow("interface unknown")
            << n2 << 0x400E << -1 << 0x01 << 0x05 << 1 << "/dev/hidraw2#vid_35c7&pid_400e&ig_xx";
        QTest::newRow("three-digit node") << "/dev/hidraw401" << 0x400E << 0 << 0x01 << 0x05 << 1
                                          << "/dev/hidraw401#vid_35c7&pid_400e&ig_00";
        QTest::newRow("four-digit node")
            << "/dev/hidraw4010" << 0x400E << 0 << 0x01 << 0x05 << 1
            << "node_cuhehfjhcuhkhnhejchbjjdedadbda#vid_35c7&pid_400e&ig_00";
    }

    void examples()
    {
        QFETCH(QString, node);
        QFETCH(int, productId);
        QFETCH(int, interfaceNumber);
        QFETCH(int, usagePage);
        QFETCH(int, usage);
        QFETCH(int, count);
        QFETCH(QString, text);
        const HidCollectionInfo info =
            collection(node, static_cast<uint16_t>(productId), interfaceNumber,
                       static_cast<uint16_t>(usagePage), static_cast<uint16_t>(usage), count);
        QCOMPARE(HidPathText::build(info), text);
        QCOMPARE(HidPathText::nodeOf(text), node);
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
        const QStringList nodes = {QStringLiteral("/dev/hidraw0"),
                                   QStringLiteral("/dev/hidraw999"),
                                   QStringLiteral("/dev/hidraw4010"),
                                   QStringLiteral("/dev/hidraw4021"),
                                   QStringLiteral("/dev/MI/ig/col01/400e#vid_&"),
                                   QStringLiteral("/dev/hidraw\u00fc")};
        const int interfaces[] = {-1, 0, 1, 0x40, 0x4E, 0xFF, 0x4010};
        for (const char *id : kFamily) {
            const auto productId = static_cast<uint16_t>(QByteArray(id).toUInt(nullptr, 16));
            for (const QString &node : nodes) {
                for (int interfaceNumber : interfaces) {
                    const QString text = HidPathText::build(collection(
                        node, productId, interfaceNumber, static_cast<uint16_t>(usagePage),
                        static_cast<uint16_t>(usage), count));
                    const QByteArray what = text.toUtf8();
                    QVERIFY2(ruleMatches(text, QStringLiteral("35c7")) == 1, what);
                    for (const char *other : kFamily) {
                        const int expected = qstrcmp(other, id) == 0 ? 1 : 0;
                        QVERIFY2(ruleMatches(text, QLatin1String(other)) == expected, what);
                    }
                    const auto markers = {QStringLiteral("&ig_"), QStringLiteral("&mi_"),
                                          QStringLiteral("&col01"), QStringLiteral("&col02")};
                    for (const QString &candidate : markers)
                        QVERIFY2(ruleMatches(text, candidate) == (candidate == marker ? 1 : 0),
                                 what);
                    const bool mi = marker == QLatin1String("&mi_");
                    const bool ig = marker == QLatin1String("&ig_");
                    const bool col = marker.startsWith(QLatin1String("&col"));
                    QVERIFY2(ruleMatches(text, QStringLiteral("mi")) == (mi ? 1 : 0), what);
                    QVERIFY2(ruleMatches(text, QStringLiteral("ig")) == (ig ? 1 : 0), what);
                    QVERIFY2(ruleMatches(text, QStringLiteral("col0")) == (col ? 1 : 0), what);
                    QCOMPARE(HidPathText::nodeOf(text), node);
                }
            }
        }
    }

    void foreignTextsHaveNoNode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("bare node") << "/dev/hidraw3";
        QTest::newRow("no vendor after the node") << "/dev/hidraw3#pid_400e&ig_00";
        QTest::newRow("four digits unencoded") << "/dev/hidraw4010#vid_35c7&pid_400e";
        QTest::newRow("odd encoding") << "node_abc#vid_35c7&pid_400e";
        QTest::newRow("letter outside the set") << "node_ag#vid_35c7&pid_400e";
        QTest::newRow("other system's path")
            << "\\\\?\\hid#vid_35c7&pid_400e&mi_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-"
               "001111000030}";
    }

    void foreignTextsHaveNoNode()
    {
        QFETCH(QString, text);
        QCOMPARE(HidPathText::nodeOf(text), QString());
    }
};

QTEST_GUILESS_MAIN(TestHidPathText)
#include "tst_hidpathtext.moc"
