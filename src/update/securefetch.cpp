#include "securefetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>

namespace SecureFetch {

namespace {

struct TestServer
{
    QString host;
    QList<QSslCertificate> caCertificates;
};

TestServer &Test()
{
    static TestServer server;
    return server;
}

QString Host()
{
    return Test().host.isEmpty() ? QStringLiteral(ORADESK_DOWNLOAD_HOST) : Test().host;
}

QSslConfiguration Tls()
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    // Explicit, so that a changed process-wide default cannot turn verification off.
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!Test().caCertificates.isEmpty())
        tls.addCaCertificates(Test().caCertificates);
    return tls;
}

// A reply that never touches the network: it finishes with an error once the caller has
// had the chance to connect to it, as a failed GET would.
class RefusedReply : public QNetworkReply
{
public:
    RefusedReply(const QNetworkRequest &request, QObject *parent) : QNetworkReply(parent)
    {
        setRequest(request);
        setUrl(request.url());
        setOperation(QNetworkAccessManager::GetOperation);
        open(ReadOnly); // before setError: opening clears the error text
        setError(ProtocolUnknownError,
                 QStringLiteral("Refused a download that is not https: \"%1\"")
                     .arg(request.url().toString()));
        setFinished(true);
        QMetaObject::invokeMethod(
            this,
            [this] {
                emit errorOccurred(error());
                emit finished();
            },
            Qt::QueuedConnection);
    }
    void abort() override {}

protected:
    qint64 readData(char *, qint64) override { return -1; }
};

} // namespace

QUrl Url(const QString &path)
{
    if (path.isEmpty())
        return QUrl();
    return QUrl(QStringLiteral("https://") + Host() + path, QUrl::StrictMode);
}

QNetworkReply *Get(QNetworkAccessManager *manager, const QUrl &url)
{
    QNetworkRequest request(url);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return new RefusedReply(request, manager);
    request.setSslConfiguration(Tls());
    // Qt refuses an https to http redirect under this policy (InsecureRedirectError).
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(kTransferTimeoutMs);
    QNetworkReply *reply = manager->get(request);
    // The announced length is checked before the body arrives (Qt may buffer a body of
    // known length whole); an unannounced one as it grows.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > kMaxBodyBytes)
            reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received) {
        if (received > kMaxBodyBytes)
            reply->abort();
    });
    return reply;
}

void SetTestServer(const QString &host, const QList<QSslCertificate> &caCertificates)
{
    Test() = TestServer{host, host.isEmpty() ? QList<QSslCertificate>() : caCertificates};
}

} // namespace SecureFetch
