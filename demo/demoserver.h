#pragma once

#include <QObject>

class HttpsServer;

// The download server of the demo: a firmware image on every download path and the app
// version file, over HTTPS on 127.0.0.1 with a certificate signed by a CA made at build
// time. Points the app's downloads at itself while it lives.
class DemoServer : public QObject
{
    Q_OBJECT

public:
    explicit DemoServer(QObject *parent = nullptr);
    ~DemoServer() override;

    bool IsListening() const;

private:
    HttpsServer *m_server;
};
