#include "demoserver.h"

#include "firmware/imagebuilder.h"
#include "httpsserver.h"
#include "ui/updateapp/updateapp.h"
#include "update/securefetch.h"

#include <QDebug>
#include <QSslCertificate>

namespace {

const QString kCerts = QStringLiteral(ORADESK_DEMO_CERTS);

// The download paths of the firmware types, and the app's version file.
constexpr const char *kImagePaths[] = {
    "/6102/Dongle/MDJ6102DA-Dongle.wkfw",
    "/6102/Dongle/MDJ6102DB-Dongle.wkfw",
    "/6103/Dongle/MDJ6103D-Dongle.wkfw",
    "/6102/Controller/MDJ6102A-Controller.wkfw",
    "/6102/Controller/MDJ6102B-Controller.wkfw",
    "/6103/Controller/MDJ6103-Controller.wkfw",
    "/6101/MDJ6101B.wkfw",
};
constexpr const char *kAppVersionPath = "/6101/Quorel_Vexalon_APP_Version.txt";

// An application section of a real image's size, so the progress bar has time to move.
constexpr int kApplicationBytes = 160 * 1024;

} // namespace

DemoServer::DemoServer(QObject *parent)
    : QObject(parent), m_server(new HttpsServer(kCerts + QStringLiteral("/server.pem"),
                                                kCerts + QStringLiteral("/server.key")))
{
    m_server->setParent(this);
    if (!m_server->start()) {
        qDebug() << "demo: the download server did not start";
        return;
    }
    const QByteArray image =
        ImageBuilder::Standard("1.1.4", ImageBuilder::Payload(kApplicationBytes, 7)).Build();
    for (const char *path : kImagePaths)
        m_server->serve(path, {200, image, {}});
    // The running app's own version by default, so no app update is announced.
    const QByteArray appVersion = qEnvironmentVariableIsSet("ORADESK_DEMO_APP_VERSION")
                                      ? qgetenv("ORADESK_DEMO_APP_VERSION")
                                      : QByteArray::number(UpdateAPP::kVersion);
    m_server->serve(kAppVersionPath, {200, appVersion, {}});
    SecureFetch::SetTestServer(m_server->host(),
                               QSslCertificate::fromPath(kCerts + QStringLiteral("/ca.pem")));
}

DemoServer::~DemoServer()
{
    SecureFetch::SetTestServer({}, {});
}

bool DemoServer::IsListening() const
{
    return m_server->isListening();
}
