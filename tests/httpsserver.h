#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <memory>

class QSslSocket;

// A small HTTP server on 127.0.0.1 for the download tests: HTTPS with the given
// certificate, plain HTTP without one. One request per connection.
class HttpsServer : public QTcpServer
{
    Q_OBJECT

public:
    struct Response
    {
        int status = 200;
        QByteArray body;
        QByteArray location;
        int dripMs = 0; // > 0: the body goes out one byte per dripMs
    };

    explicit HttpsServer(const QString &certFile = {}, const QString &keyFile = {});
    // A server with the certificate <dir>/<name>.pem and its key <dir>/<name>.key.
    static std::unique_ptr<HttpsServer> FromCertDir(const QString &dir, const QString &name)
    {
        return std::make_unique<HttpsServer>(dir + QLatin1Char('/') + name + ".pem",
                                             dir + QLatin1Char('/') + name + ".key");
    }

    bool start() { return listen(QHostAddress::LocalHost, 0); }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(serverPort()); }
    QByteArray url(const QByteArray &path) const;
    // Unknown paths answer 404.
    void serve(const QByteArray &path, const Response &response) { m_responses[path] = response; }
    int gets(const QByteArray &path) const { return m_gets.value(path); }
    // Requests that arrive from now on wait for release().
    void hold() { m_holding = true; }
    void release();

protected:
    void incomingConnection(qintptr handle) override;

private:
    void readRequest(QSslSocket *socket);
    void answer(QSslSocket *socket, const QByteArray &path);

    QSslCertificate m_certificate;
    QSslKey m_key;
    QHash<QByteArray, Response> m_responses;
    QHash<QByteArray, int> m_gets;
    bool m_holding = false;
    QList<QPair<QPointer<QSslSocket>, QByteArray>> m_held;
};
