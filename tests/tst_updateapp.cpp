#include "device/hidconfig.h"
#include "ui/updateapp/updateapp.h"
#include "update/securefetch.h"

#include "httpsserver.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

QStringList g_log;
const QString kCerts = QStringLiteral(ORADESK_TEST_CERTS);
const QByteArray kPath = "/6101/Quorel_Vexalon_APP_Version.txt";
constexpr int kWaitMs = 15000;

// The page with the browser replaced by a list of the pages it was asked to open.
class RecordingPage : public UpdateAPP
{
public:
    using UpdateAPP::UpdateAPP;
    QStringList opened;

protected:
    void openPage(const QUrl &url) override { opened.append(url.toString()); }
};

} // namespace

class TestUpdateApp : public QObject
{
    Q_OBJECT

    std::unique_ptr<HttpsServer> m_server;
    std::unique_ptr<HttpsServer> m_untrusted;
    std::unique_ptr<HidConfig> m_config;
    std::unique_ptr<RecordingPage> m_page;

    QString label(const char *name) { return m_page->findChild<QLabel *>(name)->text(); }

    // Builds the page against the server and waits until its answer is shown.
    void load()
    {
        m_page = std::make_unique<RecordingPage>(m_config.get());
        QTRY_VERIFY_WITH_TIMEOUT(!label("lblNewestVersion").isEmpty(), kWaitMs);
    }

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
        QVERIFY(m_server->start() && m_untrusted->start());
        SecureFetch::SetTestServer(m_server->host(), QSslCertificate::fromPath(kCerts + "/ca.pem"));
        m_config = std::make_unique<HidConfig>();
        m_config->StopInputTimers();
    }

    void cleanup()
    {
        m_page.reset();
        m_config.reset();
        SecureFetch::SetTestServer({}, {});
        m_server.reset();
        m_untrusted.reset();
    }

    void versionFileDecidesTheOffer_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("untrusted");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("newest");
        QTest::newRow("newer") << 200 << QByteArray("124") << false << 124 << "V1.2.4";
        QTest::newRow("blanks around") << 200 << QByteArray(" 124 \n") << false << 124 << "V1.2.4";
        QTest::newRow("same") << 200 << QByteArray("123") << false << 123 << "V1.2.3";
        QTest::newRow("two digits") << 200 << QByteArray("99") << false << 99 << "V0.9.9";
        QTest::newRow("garbage") << 200 << QByteArray("<html>") << false << 0 << "V0.0.0";
        QTest::newRow("trailing text") << 200 << QByteArray("124abc") << false << 0 << "V0.0.0";
        QTest::newRow("inner blank") << 200 << QByteArray("1 24") << false << 0 << "V0.0.0";
        QTest::newRow("signed") << 200 << QByteArray("+124") << false << 0 << "V0.0.0";
        QTest::newRow("overflow") << 200 << QByteArray("99999999999") << false << 0 << "V0.0.0";
        QTest::newRow("empty") << 200 << QByteArray() << false << 0 << "V0.0.0";
        QTest::newRow("404 with a number") << 404 << QByteArray("124") << false << 0 << "V0.0.0";
        QTest::newRow("untrusted certificate") << 200 << QByteArray("124") << true << 0 << "V0.0.0";
    }

    void versionFileDecidesTheOffer()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, untrusted);
        QFETCH(int, number);
        QFETCH(QString, newest);
        HttpsServer *server = untrusted ? m_untrusted.get() : m_server.get();
        server->serve(kPath, {status, body, {}});
        if (untrusted)
            SecureFetch::SetTestServer(server->host(),
                                       QSslCertificate::fromPath(kCerts + "/ca.pem"));
        load();
        QCOMPARE(server->gets(kPath), untrusted ? 0 : 1);
        QCOMPARE(m_config->m_appVersion, 123);
        QCOMPARE(m_page->isNewer(), number > 123);
        QVERIFY(g_log.contains(QStringLiteral("version: %1").arg(number)));
        QCOMPARE(label("lblNewestVersion"), "<p><b>" + newest + "</b></p>");
        QCOMPARE(label("lblCurrentVersion"), QStringLiteral("<p><b>V1.2.3</b></p>"));
    }

    void noAnswerYetIsNotNewer()
    {
        m_server->serve(kPath, {200, "124", {}});
        m_server->hold();
        m_page = std::make_unique<RecordingPage>(m_config.get());
        QTRY_COMPARE_WITH_TIMEOUT(m_server->gets(kPath), 1, kWaitMs);
        QVERIFY(!m_page->isNewer());
        m_server->release();
        QTRY_VERIFY_WITH_TIMEOUT(m_page->isNewer(), kWaitMs);
    }

    // Each way on acts once the page has been shown for a moment, never at once.
    void buttonsActOnlyWhenArmed_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("outcome");
        const QString base = QStringLiteral(ORADESK_WEB_BASE);
        QTest::newRow("A, English") << "A" << false << base + "/quoreloradesk/support/";
        QTest::newRow("A, Chinese") << "A" << true << base + "/zh-cn/quoreloradesk/contact/";
        QTest::newRow("B quits") << "B" << false << "quit";
        QTest::newRow("X skips") << "X" << false << "controllers";
        QTest::newRow("Skip clicked") << "btnSkip" << false << "controllers";
        QTest::newRow("Download clicked")
            << "btnDownload" << false << base + "/quoreloradesk/support/";
    }

    void buttonsActOnlyWhenArmed()
    {
        QFETCH(QString, input);
        QFETCH(bool, chinese);
        QFETCH(QString, outcome);
        m_server->serve(kPath, {200, "124", {}});
        m_config->m_isChinese = chinese;
        load();
        connect(m_page.get(), &UpdateAPP::quitAPP, [this] { m_page->opened.append("quit"); });
        connect(m_page.get(), &UpdateAPP::backControllerList,
                [this] { m_page->opened.append("controllers"); });
        const auto press = [&] {
            if (input == "A")
                emit m_config->pressButtonA(true);
            else if (input == "B")
                emit m_config->pressButtonB(true);
            else if (input == "X")
                emit m_config->pressButtonX(true);
            else
                QTest::mouseClick(m_page->findChild<QPushButton *>(input), Qt::LeftButton);
        };

        // No event is processed between showing and pressing, so the delay cannot have run.
        m_page->show();
        press();
        QCOMPARE(m_page->opened, QStringList());
        const QTimer *arm = m_page->findChild<QTimer *>("armTimer");
        QTRY_VERIFY(!arm->isActive());
        press();
        QCOMPARE(m_page->opened, QStringList{outcome});

        // Hidden it does nothing, and showing it again disarms it anew.
        m_page->hide();
        press();
        m_page->show();
        press();
        QCOMPARE(m_page->opened.size(), 1);
    }
};

QTEST_MAIN(TestUpdateApp)
#include "tst_updateapp.moc"
