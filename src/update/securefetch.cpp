#include "securefetch.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>

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

int &Deadline()
{
    static int ms = kTotalDeadlineMs;
    return ms;
}

int DeadlineMs()
{
    return Deadline();
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
    // Every redirect is checked below: images carry only additive checksums, so another
    // host's answer would be trusted blindly.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setTransferTimeout(kTransferTimeoutMs);
    QNetworkReply *reply = manager->get(request);
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, url](const QUrl &target) {
        if (target.scheme() == QLatin1String("https") && target.host() == url.host() &&
            target.port(443) == url.port(443)) {
            emit reply->redirectAllowed();
            return;
        }
        qDebug() << "redirect refused:" << target.toString();
        reply->abort();
    });
    // The transfer timeout is an idle timeout; a server dripping bytes is ended here.
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, [reply] {
        qDebug() << "download deadline passed:" << reply->url().toString();
        reply->abort();
    });
    deadline->start(DeadlineMs());
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

void SetTestDeadline(int ms)
{
    Deadline() = ms > 0 ? ms : kTotalDeadlineMs;
}

void SetTestServer(const QString &host, const QList<QSslCertificate> &caCertificates)
{
    Test() = TestServer{host, host.isEmpty() ? QList<QSslCertificate>() : caCertificates};
}

} // namespace SecureFetch
