#include "gifwriter.h"
#include "icowriter.h"

#include <QBuffer>
#include <QImageReader>
#include <QtTest>
#include <random>

// The artwork generator's own GIF and ICO writers, read back by Qt's decoders.
class TestArtFormats : public QObject
{
    Q_OBJECT

private slots:
    void gifRoundTrip_data();
    void gifRoundTrip();
    void gifRejectsMixedSizes();
    void icoKeepsOrderAndSizes();
};

namespace {

// An image of w x h pixels drawn from `colours` distinct opaque colours; with `holes`,
// every third pixel is fully transparent.
QImage pattern(int w, int h, int colours, bool holes, unsigned seed)
{
    std::mt19937 random(seed);
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int k = int(random() % unsigned(colours));
            const QRgb c = qRgb(k * 37 % 256, k * 91 % 256, k);
            image.setPixel(x, y, holes && (x + y * w) % 3 == 0 ? 0u : c);
        }
    }
    return image;
}

QVector<QImage> decode(const QByteArray &gif)
{
    QBuffer buffer;
    buffer.setData(gif);
    QImageReader reader(&buffer, "gif");
    QVector<QImage> frames;
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read())
        frames.append(frame.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return frames;
}

} // namespace

void TestArtFormats::gifRoundTrip_data()
{
    QTest::addColumn<QVector<QImage>>("frames");
    QTest::newRow("one colour") << QVector<QImage>{pattern(64, 64, 1, false, 1)};
    QTest::newRow("single pixel") << QVector<QImage>{pattern(1, 1, 1, false, 2)};
    // Random pixels fill the 4096-entry code table several times over.
    QTest::newRow("table resets") << QVector<QImage>{pattern(256, 256, 200, false, 3)};
    QTest::newRow("transparent holes") << QVector<QImage>{pattern(48, 40, 30, true, 4)};
    QTest::newRow("three frames") << QVector<QImage>{
        pattern(32, 32, 255, false, 5), pattern(32, 32, 12, true, 6), pattern(32, 32, 1, false, 7)};
}

// With at most 255 colours the palette holds them all, so every pixel comes back exactly.
void TestArtFormats::gifRoundTrip()
{
    QFETCH(QVector<QImage>, frames);
    GifWriter writer(Qt::black, 8);
    for (const QImage &frame : frames)
        writer.addFrame(frame);
    const QVector<QImage> decoded = decode(writer.encode());
    QCOMPARE(decoded.size(), frames.size());
    // Premultiplied, every transparent pixel compares equal whatever colour it carries.
    for (int i = 0; i < frames.size(); ++i)
        QCOMPARE(decoded[i], frames[i].convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void TestArtFormats::gifRejectsMixedSizes()
{
    GifWriter writer(Qt::black, 8);
    QCOMPARE(writer.encode(), QByteArray());
    writer.addFrame(pattern(8, 8, 2, false, 8));
    writer.addFrame(pattern(9, 8, 2, false, 9));
    QCOMPARE(writer.encode(), QByteArray());
}

void TestArtFormats::icoKeepsOrderAndSizes()
{
    QVector<QImage> images;
    const QVector<int> sides{32, 16, 48, 256};
    for (int side : sides) {
        QImage image(side, side, QImage::Format_ARGB32);
        image.fill(qRgba(side - 1, 0, 255 - side + 1, 255));
        images.append(image);
    }
    QBuffer buffer;
    buffer.setData(icoFile(images));
    QImageReader reader(&buffer, "ico");
    QCOMPARE(reader.imageCount(), sides.size());
    for (int i = 0; i < sides.size(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(sides[i], sides[i]));
        QCOMPARE(image.pixel(sides[i] / 2, sides[i] / 2), images[i].pixel(0, 0));
    }
}

QTEST_MAIN(TestArtFormats)
#include "tst_artformats.moc"
