#include "protocol/crc16.h"

#include <QtTest>

namespace {
// Bit-by-bit reference: reflected CCITT polynomial.
uint16_t referenceKermit(const QByteArray &data)
{
    uint16_t crc = 0;
    for (char c : data) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0x8408)
                            : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}
} // namespace

class TestCrc16 : public QObject
{
    Q_OBJECT

private slots:
    void checkValue()
    {
        const QByteArray text("123456789");
        QCOMPARE(crc16::kermit(reinterpret_cast<const uint8_t *>(text.constData()), 9),
                 uint16_t(0x2189));
    }

    void matchesBitwiseReference_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("zero") << QByteArray(1, '\0');
        QTest::newRow("ff") << QByteArray(1, '\xff');
        QTest::newRow("58 zeros") << QByteArray(58, '\0');
        QByteArray ramp;
        for (int i = 0; i < 256; ++i)
            ramp.append(static_cast<char>(i));
        QTest::newRow("ramp") << ramp;
        QTest::newRow("frame body")
            << QByteArray::fromHex("a1000102030405060708090a0b0c0d0e0f10111213");
    }

    void matchesBitwiseReference()
    {
        QFETCH(QByteArray, data);
        const auto *bytes = reinterpret_cast<const uint8_t *>(data.constData());
        QCOMPARE(crc16::kermit(bytes, static_cast<size_t>(data.size())), referenceKermit(data));
        uint16_t stepped = 0;
        for (int i = 0; i < data.size(); ++i)
            stepped = crc16::kermitStep(stepped, bytes[i]);
        QCOMPARE(stepped, referenceKermit(data));
    }
};

QTEST_GUILESS_MAIN(TestCrc16)
#include "tst_crc16.moc"
