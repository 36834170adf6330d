#include "update/downloader.h"
#include "update/securefetch.h"

#include "firmware/imagebuilder.h"
#include "httpsserver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryFile>
#include <QtTest>
#include <climits>
#include <memory>

namespace {

QStringList g_log;

const QString kCerts = QStringLiteral(ORADESK_TEST_CERTS);
constexpr int kWaitMs = 15000;

int Logged(const QString &line)
{
    return int(g_log.count(line));
}

QStringList Errors()
{
    return g_log.filter(QStringLiteral("Error downloading file:"));
}

QString Sending(int type)
{
    return QStringLiteral("正在发送下载请求ID: %1").arg(type);
}

QString AlreadySent(int type)
{
    return QStringLiteral("已发送下载请求ID: %1").arg(type);
}

QByteArray Image(const QByteArray &version)
{
    return ImageBuilder::Standard(version, ImageBuilder::Payload(1000, 1)).Build();
}

// Managers are the downloader's children until their reply has finished and been deleted.
int InFlight(const Downloader &d)
{
    return d.findChildren<QNetworkAccessManager *>().size();
}

} // namespace

class TestDownloader : public QObject
{
    Q_OBJECT

    std::unique_ptr<HttpsServer> m_server;    // signed by the trusted test CA
    std::unique_ptr<HttpsServer> m_untrusted; // self-signed
    std::unique_ptr<HttpsServer> m_plain;     // plain http

    enum Fault
    {
        NotFound,
        Untrusted,
        DowngradeRedirect,
        EmptyUrl,
        Oversized,
    };

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &text) { g_log.append(text); });
    }

    void init()
    {
        g_log.clear();
        m_server = HttpsServer::FromCertDir(kCerts, "server");
        m_untrusted = HttpsServer::FromCertDir(kCerts, "untrusted");
        m_plain = std::make_unique<HttpsServer>();
        QVERIFY(m_server->start() && m_untrusted->start() && m_plain->start());
        SecureFetch::SetTestServer(m_server->host(), QSslCertificate::fromPath(kCerts + "/ca.pem"));
    }

    void cleanup()
    {
        SecureFetch::SetTestServer({}, {});
        m_server.reset();
        m_untrusted.reset();
        m_plain.reset();
    }

    void goodImageFillsItsOwnSlot_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("sharer");
        QTest::addColumn<bool>("redirected");
        QTest::newRow("0 shares with 19")
            << 0 << QByteArray("/6102/Dongle/MDJ6102DA-Dongle.wkfw") << 19 << false;
        QTest::newRow("9 shares with 4")
            << 9 << QByteArray("/6103/Dongle/MDJ6103D-Dongle.wkfw") << 4 << false;
        QTest::newRow("20") << 20 << QByteArray("/6101/MDJ6101B.wkfw") << -1 << false;
        QTest::newRow("13 via an https redirect")
            << 13 << QByteArray("/6102/Controller/MDJ6102B-Controller.wkfw") << -1 << true;
    }

    void goodImageFillsItsOwnSlot()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, path);
        QFETCH(int, sharer);
        QFETCH(bool, redirected);
        const QByteArray image = Image("2.0.10");
        if (redirected) {
            m_server->serve(path, {302, {}, m_server->url("/moved.wkfw")});
            m_server->serve("/moved.wkfw", {200, image, {}});
        } else {
            m_server->serve(path, {200, image, {}});
        }
        Downloader d;
        QSignalSpy loaded(&d, &Downloader::finishedLoad);
        d.downloadFirmware(type);
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, kWaitMs);
        QCOMPARE(loaded.first().first().toInt(), type);
        QVERIFY(d.IsdownloadSuccessed(type));
        QCOMPARE(d.firmwareVersion(type), 2010);
        QCOMPARE(d.firmwareData(type), image);
        QVERIFY(d.metadata().contains("SOFTWARE_VERSION=2.0.10"));
        QTRY_COMPARE_WITH_TIMEOUT(InFlight(d), 0, kWaitMs);

        // Held images are not fetched again.
        d.downloadFirmware(type);
        QCOMPARE(Logged(AlreadySent(type)), 1);
        QCOMPARE(InFlight(d), 0);
        QCOMPARE(m_server->gets(path), 1);

        if (sharer < 0)
            return;
        QVERIFY(!d.IsdownloadSuccessed(sharer));
        QCOMPARE(d.firmwareVersion(sharer), 0);
        d.downloadFirmware(sharer);
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 2, kWaitMs);
        QCOMPARE(loaded.last().first().toInt(), sharer);
        QCOMPARE(d.firmwareVersion(sharer), 2010);
        QCOMPARE(m_server->gets(path), 2);
    }

    void secondRequestWhileInFlightSendsNoGet()
    {
        const QByteArray path = "/6102/Controller/MDJ6102A-Controller.wkfw";
        m_server->serve(path, {200, Image("1.1.4"), {}});
        m_server->hold();
        Downloader d;
        QSignalSpy loaded(&d, &Downloader::finishedLoad);
        d.downloadFirmware(12);
        QTRY_COMPARE_WITH_TIMEOUT(m_server->gets(path), 1, kWaitMs);
        d.downloadFirmware(12);
        QCOMPARE(Logged(AlreadySent(12)), 1);
        QCOMPARE(Logged(Sending(12)), 1);
        QCOMPARE(InFlight(d), 1);
        QVERIFY(!d.IsdownloadSuccessed(12));

        m_server->release();
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, kWaitMs);
        QCOMPARE(d.firmwareVersion(12), 114);
        QCOMPARE(m_server->gets(path), 1);
    }

    // The download arrives but is no image: the slot stays requested and is not re-fetched.
    void invalidImageIsNeverSignalled_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("not an image") << QByteArray("<html>maintenance</html>");
        ImageBuilder badChecksum = ImageBuilder::Standard("1.1.4", ImageBuilder::Payload(1000, 1));
        badChecksum.Sections()[0].badChecksum = true;
        QTest::newRow("bad metadata checksum") << badChecksum.Build();
        ImageBuilder noVersion;
        noVersion.Add({ImageBuilder::kMeta, "[METADATA]\nVID=0x35c7\nPID=0x4013\n"})
            .Add({1, ImageBuilder::Payload(1000, 1)});
        QTest::newRow("no version key") << noVersion.Build();
    }

    void invalidImageIsNeverSignalled()
    {
        QFETCH(QByteArray, body);
        const QByteArray path = "/6102/Dongle/MDJ6102DB-Dongle.wkfw";
        m_server->serve(path, {200, body, {}});
        Downloader d;
        QSignalSpy loaded(&d, &Downloader::finishedLoad);
        QSignalSpy failed(&d, &Downloader::downloadFailed);
        d.downloadFirmware(1);
        QTRY_COMPARE_WITH_TIMEOUT(m_server->gets(path), 1, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(InFlight(d), 0, kWaitMs);
        QCOMPARE(loaded.count(), 0);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.first().first().toInt(), 1);
        QVERIFY(!d.IsdownloadSuccessed(1));
        QCOMPARE(d.firmwareVersion(1), 0);
        QCOMPARE(Errors().size(), 0);

        // Asked again, it answers with the failure from the event loop and fetches nothing.
        d.downloadFirmware(1);
        QCOMPARE(Logged(AlreadySent(1)), 1);
        QCOMPARE(InFlight(d), 0);
        QCOMPARE(failed.count(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 2, kWaitMs);
        QCOMPARE(m_server->gets(path), 1);
    }

    // A failed GET clears the request, so the next request tries again.
    void networkErrorAllowsRetry_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("error");
        QTest::newRow("404") << 16 << int(NotFound) << "server replied: Not Found";
        QTest::newRow("untrusted certificate") << 16 << int(Untrusted) << "SSL handshake failed";
        QTest::newRow("redirect to http") << 16 << int(DowngradeRedirect) << "canceled";
        QTest::newRow("empty URL 7") << 7 << int(EmptyUrl) << "not https";
        QTest::newRow("empty URL 8") << 8 << int(EmptyUrl) << "not https";
        QTest::newRow("oversized body") << 16 << int(Oversized) << "canceled";
    }

    void networkErrorAllowsRetry()
    {
        QFETCH(int, type);
        QFETCH(int, fault);
        QFETCH(QString, error);
        const QByteArray path = "/6103/Controller/MDJ6103-Controller.wkfw";
        // Each fault offers a good image, which must never be taken.
        const QByteArray image = Image("1.1.4");
        m_server->serve(path, {404, image, {}});
        if (fault == Untrusted) {
            SecureFetch::SetTestServer(m_untrusted->host(),
                                       QSslCertificate::fromPath(kCerts + "/ca.pem"));
            m_untrusted->serve(path, {200, image, {}});
        } else if (fault == Oversized) {
            // A valid image followed by more than the cap; the image alone would pass.
            m_server->serve(path, {200, image + QByteArray(SecureFetch::kMaxBodyBytes, 'x'), {}});
        } else if (fault == DowngradeRedirect) {
            m_server->serve(path, {302, {}, m_plain->url(path)});
            m_plain->serve(path, {200, image, {}});
        }
        Downloader d;
        QSignalSpy loaded(&d, &Downloader::finishedLoad);
        QSignalSpy failed(&d, &Downloader::downloadFailed);
        for (int attempt = 1; attempt <= 2; ++attempt) {
            d.downloadFirmware(type);
            QCOMPARE(Logged(Sending(type)), attempt);
            QTRY_COMPARE_WITH_TIMEOUT(InFlight(d), 0, kWaitMs);
            QCOMPARE(Errors().size(), attempt);
            QCOMPARE(failed.count(), attempt);
        }
        QCOMPARE(Logged(AlreadySent(type)), 0);
        QCOMPARE(loaded.count(), 0);
        QVERIFY(!d.IsdownloadSuccessed(type));
        QCOMPARE(d.firmwareVersion(type), 0);
        QVERIFY(Errors().last().contains(error));
        QCOMPARE(m_server->gets(path),
                 fault == NotFound || fault == DowngradeRedirect || fault == Oversized ? 2 : 0);
        QCOMPARE(m_untrusted->gets(path), 0);
        QCOMPARE(m_plain->gets(path), 0);
        QCOMPARE(m_plain->gets(path), 0);
    }

    // Types without a download never reach the network; types outside the slots do nothing.
    void typeWithoutDownload_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("inSlots");
        QTest::newRow("2 unlisted") << 2 << true;
        QTest::newRow("22") << 22 << true;
        QTest::newRow("63") << 63 << true;
        QTest::newRow("-1") << -1 << false;
        QTest::newRow("64") << 64 << false;
        QTest::newRow("INT_MIN") << INT_MIN << false;
        QTest::newRow("INT_MAX") << INT_MAX << false;
    }

    void typeWithoutDownload()
    {
        QFETCH(int, type);
        QFETCH(bool, inSlots);
        Downloader d;
        QSignalSpy failed(&d, &Downloader::downloadFailed);
        d.downloadFirmware(type);
        d.downloadFirmware(type);
        QCOMPARE(InFlight(d), 0);
        QCOMPARE(Logged(Sending(type)), inSlots ? 1 : 0);
        QCOMPARE(Logged(AlreadySent(type)), inSlots ? 1 : 0);
        // Each request of a type in the slots is answered, one event-loop turn later.
        QCOMPARE(failed.count(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(failed.count(), inSlots ? 2 : 0);
        QVERIFY(!d.IsdownloadSuccessed(type));
        QCOMPARE(d.firmwareVersion(type), 0);
        QVERIFY(d.firmwareData(type).isEmpty());
    }

    // Images carry only additive checksums: a redirect to another host is refused before
    // anything is asked of it, and a server dripping bytes is cut off at the deadline.
    void untrustedOrEndlessDownloadsFail_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("redirect to another host") << "other host";
        QTest::newRow("redirect to another port") << "other port";
        QTest::newRow("a byte now and then") << "drip";
    }

    void untrustedOrEndlessDownloadsFail()
    {
        QFETCH(QString, kind);
        const QByteArray path("/6101/MDJ6101B.wkfw");
        auto other = HttpsServer::FromCertDir(kCerts, "server");
        QVERIFY(other->start());
        other->serve("/moved.wkfw", {200, Image("2.0.10"), {}});
        if (kind == "drip") {
            SecureFetch::SetTestDeadline(1500);
            m_server->serve(path, {200, Image("2.0.10"), {}, 200});
        } else {
            QByteArray target = other->url("/moved.wkfw");
            if (kind == "other host") // the same server under another name
                target.replace("127.0.0.1", "localhost");
            m_server->serve(path, {302, {}, target});
        }
        Downloader d;
        QSignalSpy failed(&d, &Downloader::downloadFailed);
        d.downloadFirmware(20);
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, kWaitMs);
        SecureFetch::SetTestDeadline(0);
        QVERIFY(!d.IsdownloadSuccessed(20));
        QCOMPARE(other->gets("/moved.wkfw"), 0);
        QVERIFY(!g_log.filter(kind == "drip" ? "download deadline passed" : "redirect refused")
                     .isEmpty());
    }

    void nonHttpsUrlIsRefused_data()
    {
        QTest::addColumn<bool>("local");
        QTest::newRow("http") << false;
        QTest::newRow("file") << true;
    }

    void nonHttpsUrlIsRefused()
    {
        QFETCH(bool, local);
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write(Image("1.1.4"));
        file.flush();
        m_plain->serve("/a.wkfw", {200, Image("1.1.4"), {}});
        const QUrl url = local ? QUrl::fromLocalFile(file.fileName())
                               : QUrl(QString::fromLatin1(m_plain->url("/a.wkfw")));
        QNetworkAccessManager manager;
        QNetworkReply *reply = SecureFetch::Get(&manager, url);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kWaitMs);
        QCOMPARE(reply->error(), QNetworkReply::ProtocolUnknownError);
        QVERIFY(reply->readAll().isEmpty());
        QCOMPARE(m_plain->gets("/a.wkfw"), 0);
        delete reply;
    }
};

QTEST_GUILESS_MAIN(TestDownloader)
#include "tst_downloader.moc"
