#pragma once

#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QUrl>
#include <QtGlobal>

class QNetworkAccessManager;
class QNetworkReply;

// GETs from the app's download server, with one set of network rules for every caller:
// https only, the server's certificate always verified, redirects followed only to https,
// and a transfer time-out.
namespace SecureFetch {

// A transfer that stalls this long fails as a network error.
constexpr int kTransferTimeoutMs = 30000;
// One download may take this long in all, however steadily its bytes arrive.
constexpr int kTotalDeadlineMs = 120000;
// A body larger than this is cut off as a failed transfer; images are a few hundred KB.
constexpr qint64 kMaxBodyBytes = 16 * 1024 * 1024;

// "https://" + the download host + path; an empty URL for an empty path.
QUrl Url(const QString &path);

// A GET of url on manager. Anything but an https URL (an empty one included) is refused:
// the reply finishes with ProtocolUnknownError on the next turn of the event loop. A body
// past kMaxBodyBytes aborts the reply (OperationCanceledError).
QNetworkReply *Get(QNetworkAccessManager *manager, const QUrl &url);

// For tests only: a local server ("127.0.0.1:port") in place of the download host, and
// the test CA that signed its certificate. Verification stays on. An empty host undoes it.
void SetTestServer(const QString &host, const QList<QSslCertificate> &caCertificates);
// Tests only: a shorter total deadline; 0 restores kTotalDeadlineMs.
void SetTestDeadline(int ms);

} // namespace SecureFetch
