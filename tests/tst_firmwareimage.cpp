#include "protocol/versionnumber.h"
#include "update/firmwareimage.h"

#include "firmware/imagebuilder.h"

#include <QtTest>

using namespace FirmwareImage;

class TestFirmwareImage : public QObject
{
    Q_OBJECT

private:
    static QByteArray app() { return ImageBuilder::Payload(1000, 1); }

private slots:
    // Newer is decided part by part; joined digits (2.0.10 as 2010) would get it wrong.
    void versionsCompareByParts_data()
    {
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QString>("installed");
        QTest::addColumn<bool>("newer");
        QTest::newRow("2.0.10 over 2.1.0") << "2.0.10"
                                           << "2.1.0" << false;
        QTest::newRow("2.1.0 over 2.0.10") << "2.1.0"
                                           << "2.0.10" << true;
        QTest::newRow("1.4.0 over 1.30.0") << "1.4.0"
                                           << "1.30.0" << false;
        QTest::newRow("1.30.0 over 1.4.0") << "1.30.0"
                                           << "1.4.0" << true;
        QTest::newRow("equal") << "1.1.4"
                               << "1.1.4" << false;
        QTest::newRow("patch") << "1.1.5"
                               << "1.1.4" << true;
        QTest::newRow("major beats minor") << "2.0.0"
                                           << "1.99.99" << true;
        QTest::newRow("missing parts are 0") << "2"
                                             << "1.9" << true;
        QTest::newRow("blanks around") << " 1.2.0\r"
                                       << "1.1.9" << true;
        QTest::newRow("unknown installed is 0.0.0") << "0.0.1"
                                                    << "" << true;
        QTest::newRow("garbage installed is 0.0.0") << "1.0.0"
                                                    << "v1.x" << true;
        QTest::newRow("garbage offer") << "1.2.x"
                                       << "1.0.0" << false;
        QTest::newRow("empty offer") << ""
                                     << "" << false;
        QTest::newRow("four parts") << "1.2.3.4"
                                    << "1.0.0" << false;
        QTest::newRow("sign") << "-1.0.0"
                              << "0.0.0" << false;
        QTest::newRow("huge part") << "99999.0.0"
                                   << "1.0.0" << false;
        QTest::newRow("empty part") << "1..2"
                                    << "1.0.0" << false;
    }

    void versionsCompareByParts()
    {
        QFETCH(QString, offered);
        QFETCH(QString, installed);
        QFETCH(bool, newer);
        QCOMPARE(
            VersionNumber::IsNewer(VersionNumber::Parse(offered), VersionNumber::Parse(installed)),
            newer);
    }

    void initTestCase()
    {
        // The readers log their results; keep the output to failures.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

    void versionNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1.1.4") << "1.1.4" << 114 << "v1.1.4";
        QTest::newRow("2.0.10") << "2.0.10" << 2010 << "v2.0.10";
        QTest::newRow("empty") << "" << 0 << "v0.0.0";
        QTest::newRow("text") << "beta" << 0 << "v0.0.0";
    }

    void versionNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        QFETCH(QString, shown);
        QCOMPARE(FirmwareImage::VersionNumber(text), number);
        QCOMPARE(VersionDisplay(number), shown);
    }

    void standardImageReadsBack()
    {
        const QByteArray file = ImageBuilder::Standard("1.1.4", app()).Build();
        const Validation v = ValidateDownload(file, 3);
        QVERIFY(v.valid);
        QCOMPARE(v.version, 114);
        QCOMPARE(v.metadata.toLatin1(), ImageBuilder::Metadata(0x35C7, 0x4004, "1.1.4"));
        TransferImage image;
        QVERIFY(LoadForTransfer(file, image));
        QCOMPARE(image.application, app());
        QVERIFY(image.loader.isEmpty()); // read only when there is no application
    }

    void sectionsInAnotherOrderReadTheSame()
    {
        ImageBuilder builder = ImageBuilder::Standard("2.0.10", app());
        builder.LayOutAs({3, 2, 1, 0});
        const QByteArray file = builder.Build();
        QCOMPARE(ValidateDownload(file, 0).version, 2010);
        TransferImage image;
        QVERIFY(LoadForTransfer(file, image));
        QCOMPARE(image.application, app());
    }

    // One changed byte in each section: only the checked sections reject the file.
    void changedByte_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<bool>("downloadValid");
        QTest::addColumn<bool>("transferLoads");
        QTest::newRow("metadata") << 0 << false << true;
        QTest::newRow("type 4") << 1 << true << true;
        QTest::newRow("application") << 2 << true << false;
        QTest::newRow("loader") << 3 << true << true;
    }

    void changedByte()
    {
        QFETCH(int, section);
        QFETCH(bool, downloadValid);
        QFETCH(bool, transferLoads);
        ImageBuilder builder = ImageBuilder::Standard("1.1.4", app());
        builder.Sections()[section].badChecksum = true;
        const QByteArray file = builder.Build();
        QCOMPARE(ValidateDownload(file, 0).valid, downloadValid);
        TransferImage image;
        QCOMPARE(LoadForTransfer(file, image), transferLoads);
    }

    void malformedFilesFailBothReaders_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray good = ImageBuilder::Standard("1.1.4", app()).Build();
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only, cut") << good.left(11);
        QTest::newRow("table cut") << good.left(12 + 16 * 3);
        QTest::newRow("last section cut") << good.left(good.size() - 1);
        QByteArray magic = good;
        magic[1] = 'E'; // only the exact "WFKW" is a firmware image
        QTest::newRow("magic WEKW") << magic;
        QByteArray offset = good;
        offset[12 + 16 * 2 + 8] = char(0xFF); // the application's offset, far past the end
        offset[12 + 16 * 2 + 11] = char(0x7F);
        QTest::newRow("offset past end") << offset;
        QByteArray size = good;
        size[12 + 16 * 2 + 7] = char(0xFF); // size near 4 GiB: offset + size overflows 32 bits
        QTest::newRow("size wraps") << size;
    }

    void malformedFilesFailBothReaders()
    {
        QFETCH(QByteArray, file);
        QVERIFY(!ValidateDownload(file, 0).valid);
        TransferImage image;
        image.application = "previous";
        QVERIFY(!LoadForTransfer(file, image));
        QCOMPARE(image.application, QByteArray("previous"));
    }

    void metadataKeys_data()
    {
        QTest::addColumn<QByteArray>("metadata");
        QTest::addColumn<bool>("downloadValid");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("transferLoads");
        QTest::newRow("empty version")
            << QByteArray("[METADATA]\nVID=0x35c7\nSOFTWARE_VERSION=\n") << true << 0 << true;
        QTest::newRow("no version") << QByteArray("[METADATA]\nVID=0x35c7\n") << false << 0 << true;
        QTest::newRow("version at 0")
            << QByteArray("SOFTWARE_VERSION=1.1.4\nVID=1\n") << false << 0 << true;
        QTest::newRow("no VID") << QByteArray("[METADATA]\nSOFTWARE_VERSION=1.2.3\n") << true << 123
                                << false;
        QTest::newRow("last line unterminated")
            << QByteArray("[METADATA]\nVID=0x35c7\nSOFTWARE_VERSION=1.2.7") << true << 127 << true;
    }

    void metadataKeys()
    {
        QFETCH(QByteArray, metadata);
        QFETCH(bool, downloadValid);
        QFETCH(int, version);
        QFETCH(bool, transferLoads);
        ImageBuilder builder;
        builder.Add({ImageBuilder::kMeta, metadata}).Add({1, app()});
        const QByteArray file = builder.Build();
        const Validation v = ValidateDownload(file, 0);
        QCOMPARE(v.valid, downloadValid);
        if (downloadValid)
            QCOMPARE(v.version, version);
        TransferImage image;
        QCOMPARE(LoadForTransfer(file, image), transferLoads);
    }

    void noSectionsFailsAndKeepsTheHeldImage()
    {
        ImageBuilder builder;
        const QByteArray file = builder.Build(); // N = 0: no metadata, so no "VID="
        TransferImage image;
        image.application = "held";
        QVERIFY(!LoadForTransfer(file, image));
        QCOMPARE(image.application, QByteArray("held"));
    }

    void shortApplicationIsRefused()
    {
        const QByteArray file =
            ImageBuilder::Standard("1.1.4", ImageBuilder::Payload(47, 3)).Build();
        TransferImage image;
        QVERIFY(!LoadForTransfer(file, image));
        const QByteArray ok = ImageBuilder::Standard("1.1.4", ImageBuilder::Payload(48, 3)).Build();
        QVERIFY(LoadForTransfer(ok, image));
    }

    void loaderOnlyImageDropsTheEarlierApplication()
    {
        TransferImage image;
        QVERIFY(LoadForTransfer(ImageBuilder::Standard("1.1.4", app()).Build(), image));
        ImageBuilder loaderOnly;
        loaderOnly.Add({ImageBuilder::kMeta, ImageBuilder::Metadata(0x35C7, 0x4004, "1.1.5")})
            .Add({2, ImageBuilder::Payload(80, 9)});
        QVERIFY(LoadForTransfer(loaderOnly.Build(), image));
        QCOMPARE(image.loader, ImageBuilder::Payload(80, 9));
        QVERIFY(image.application.isEmpty());
        QVERIFY(image.metadata.contains("SOFTWARE_VERSION=1.1.5"));
    }

    void metadataIsReadBySizeOnly()
    {
        // The key right after the metadata section is not part of its text.
        ImageBuilder builder;
        builder.Add({ImageBuilder::kMeta, QByteArray("[METADATA]\nVID=0x35c7\n")})
            .Add({4, QByteArray("SOFTWARE_VERSION=9.9.9\n")});
        const Validation v = ValidateDownload(builder.Build(), 0);
        QVERIFY(!v.valid);
    }

    void bundledSampleImagesAreValid_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("pid");
        QTest::newRow("A") << ":/Update File/MDX7201A-230713-ap1.1.4-ld1.0.0.wkfw"
                           << "PID=0x4004";
        QTest::newRow("D") << ":/Update File/MDX7201D-230713-ap1.1.4-ld1.0.0.wkfw"
                           << "PID=0x4007";
    }

    void bundledSampleImagesAreValid()
    {
        QFETCH(QString, path);
        QFETCH(QString, pid);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const Validation v = ValidateDownload(bytes, 0);
        QVERIFY(v.valid);
        QCOMPARE(v.version, 114);
        QVERIFY(v.metadata.contains(pid));
        TransferImage image;
        QVERIFY(LoadForTransfer(bytes, image));
    }
};

QTEST_GUILESS_MAIN(TestFirmwareImage)
#include "tst_firmwareimage.moc"
