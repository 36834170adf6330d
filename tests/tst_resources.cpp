#include "app/appstyle.h"
#include "app/fonts.h"

#include <QFile>
#include <QImage>
#include <QMovie>
#include <QRawFont>
#include <QResource>
#include <QTextStream>
#include <QtTest>

// The bundles hold every picture of the artwork manifest at its size, the loading
// animation and the interface fonts, and the font loaders behave as the pages expect.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void image_data();
    void image();
    void animation();
    void familyStableAcrossPages();
    void missingFontResource();
    void loadFont_data();
    void loadFont();
    void interfaceCharacters_data();
    void interfaceCharacters();
    void styleStrings_data();
    void styleStrings();
};

void TestResources::image_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QFile manifest(QStringLiteral(ORADESK_ART_MANIFEST));
    QVERIFY(manifest.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream in(&manifest);
    in.setCodec("UTF-8");
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        QVERIFY2(fields.size() >= 4, qPrintable(line));
        const QStringList wh = fields[2].split(QLatin1Char('x'));
        QTest::newRow(qPrintable(fields[1]))
            << QStringLiteral(":/") + fields[1] << QSize(wh.value(0).toInt(), wh.value(1).toInt());
    }
}

void TestResources::image()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
    // Pictures are already compressed; the bundles store them as they are.
    QCOMPARE(QResource(path).compressionAlgorithm(), QResource::NoCompression);
}

void TestResources::animation()
{
    QMovie movie(QStringLiteral(":/Images/QuorelAPP/loading.gif"));
    QVERIFY(movie.isValid());
    QVERIFY(movie.frameCount() > 1);
    QVERIFY(movie.jumpToFrame(movie.frameCount() - 1));
    QVERIFY(movie.currentImage() != QImage(QStringLiteral(":/Images/QuorelAPP/loading.gif")));
}

void TestResources::familyStableAcrossPages()
{
    if (!ORADESK_CJK_FONTS)
        QSKIP("Noto Sans CJK or pyftsubset was missing at build time; no NotoSansSC fonts");
    const QString path = QStringLiteral(":/font/NotoSansSC/NotoSansSC-Regular.ttf");
    const QString first = Fonts::LoadFontFamily(path);
    QVERIFY(!first.isEmpty());
    QCOMPARE(Fonts::LoadFontFamily(path), first);
}

void TestResources::missingFontResource()
{
    QTest::ignoreMessage(QtDebugMsg, "Open font file error");
    QTest::ignoreMessage(QtDebugMsg, "open failed");
    QCOMPARE(Fonts::LoadFontFamily(QStringLiteral(":/font/NotoSansSC/Missing.ttf")), QString());
}

void TestResources::loadFont_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("loads");
    QTest::newRow("title bar") << ":/font/segoeui.ttf" << true;
    QTest::newRow("updater regular") << ":/Assets/Rubik-Regular.ttf" << true;
    QTest::newRow("updater medium") << ":/Assets/Rubik-Medium.ttf" << true;
    QTest::newRow("missing") << ":/font/none.ttf" << false;
}

void TestResources::loadFont()
{
    QFETCH(QString, path);
    QFETCH(bool, loads);
    if (loads && !QFile::exists(path))
        QSKIP("No Latin font or pyftsubset at build time; the font was left out");
    QTest::ignoreMessage(QtDebugMsg, loads ? "font successed" : "Load font failed");
    const QFont font = Fonts::LoadFont(path);
    if (loads) {
        QVERIFY(!font.family().isEmpty());
        QVERIFY(QResource(path).compressionAlgorithm() != QResource::NoCompression);
    } else {
        QCOMPARE(font, QFont());
    }
}

void TestResources::interfaceCharacters_data()
{
    QTest::addColumn<QString>("path");
    for (const char *weight : {"Thin", "Regular", "Medium"})
        QTest::newRow(weight)
            << QStringLiteral(":/font/NotoSansSC/NotoSansSC-%1.ttf").arg(QLatin1String(weight));
}

// Each weight draws every character the sources use, not only a sample.
void TestResources::interfaceCharacters()
{
    if (!ORADESK_CJK_FONTS)
        QSKIP("Noto Sans CJK or pyftsubset was missing at build time; no NotoSansSC fonts");
    QFETCH(QString, path);
    QFile font(path), charset(QStringLiteral(ORADESK_FONT_CHARSET));
    QVERIFY(font.open(QIODevice::ReadOnly));
    QVERIFY(charset.open(QIODevice::ReadOnly));
    const QRawFont raw(font.readAll(), 14);
    QVERIFY(raw.isValid());
    const QVector<uint> chars = QString::fromUtf8(charset.readAll()).toUcs4();
    QVERIFY(chars.contains(QChar(0x5347).unicode())); // 升, of 升级
    for (uint c : chars) {
        if (c >= 0x20)
            QVERIFY2(raw.supportsCharacter(c), qPrintable(QString::number(c, 16)));
    }
}

void TestResources::styleStrings_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("expected");
    const QString f = QStringLiteral("Noto Sans CJK SC");
    QTest::newRow("colour first") << AppStyle::WhiteFont(20, f)
                                  << "color:white;font:20px Noto Sans CJK SC;";
    QTest::newRow("colour last") << AppStyle::FontWhite(10, f)
                                 << "font:10px Noto Sans CJK SC; color:white;";
}

void TestResources::styleStrings()
{
    QFETCH(QString, style);
    QFETCH(QString, expected);
    QCOMPARE(style, expected);
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
