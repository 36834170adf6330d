#include "httpsserver.h"

#include <QTimer>
#include <memory>

#include <QFile>
#include <QSslSocket>

namespace {

QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

} // namespace

HttpsServer::HttpsServer(const QString &certFile, const QString &keyFile)
{
    if (certFile.isEmpty())
        return;
    m_certificate = QSslCertificate(ReadFile(certFile), QSsl::Pem);
    m_key = QSslKey(ReadFile(keyFile), QSsl::Rsa, QSsl::Pem);
}

QByteArray HttpsServer::url(const QByteArray &path) const
{
    return (m_certificate.isNull() ? "http://" : "https://") + host().toLatin1() + path;
}

void HttpsServer::release()
{
    m_holding = false;
    const auto held = m_held;
    m_held.clear();
    for (const auto &request : held)
        if (request.first)
            answer(request.first, request.second);
}

void HttpsServer::incomingConnection(qintptr handle)
{
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    connect(socket, &QSslSocket::readyRead, this, [this, socket] { readRequest(socket); });
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    if (m_certificate.isNull())
        return;
    socket->setLocalCertificate(m_certificate);
    socket->setPrivateKey(m_key);
    socket->startServerEncryption();
}

void HttpsServer::readRequest(QSslSocket *socket)
{
    if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
        return;
    const QList<QByteArray> line = socket->readAll().split('\n').first().split(' ');
    if (line.size() < 2 || line[0] != "GET") {
        socket->abort();
        return;
    }
    const QByteArray path = line[1];
    ++m_gets[path];
    if (m_holding)
        m_held.append({socket, path});
    else
        answer(socket, path);
}

void HttpsServer::answer(QSslSocket *socket, const QByteArray &path)
{
    const Response response = m_responses.value(path, Response{404, "missing", {}});
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                     Reason(response.status) +
                     "\r\nContent-Length: " + QByteArray::number(response.body.size()) +
                     "\r\nConnection: close\r\n";
    if (!response.location.isEmpty())
        out += "Location: " + response.location + "\r\n";
    if (response.dripMs <= 0) {
        socket->write(out + "\r\n" + response.body);
        socket->disconnectFromHost();
        return;
    }
    // A slow server: each byte of the body on its own, with a pause between.
    socket->write(out + "\r\n");
    auto *drip = new QTimer(socket);
    auto sent = std::make_shared<int>(0);
    connect(drip, &QTimer::timeout, socket, [socket, drip, sent, body = response.body] {
        if (*sent >= body.size()) {
            drip->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.mid((*sent)++, 1));
    });
    drip->start(response.dripMs);
}
