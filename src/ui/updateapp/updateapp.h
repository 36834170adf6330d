#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <memory>

class HidConfig;
class QNetworkAccessManager;
class QNetworkReply;
class QTextCursor;
class QTextDocument;
class QTimer;

namespace Ui {
class UpdateAPP;
}

// Asks the download server for the newest release number once, at construction. When it is
// above this build's, the main window shows this page: both versions, how to update, and
// three ways on (download page, skip to the controllers, quit), by mouse or controller A/X/B.
class UpdateAPP : public QWidget
{
    Q_OBJECT

public:
    // This build's version number, the project's: 123 for 1.2.3.
    static constexpr int kVersion = ORADESK_VERSION_NUMBER;
    // A press this soon after the page appears is ignored: it is the one that opened it.
    static constexpr int kArmDelayMs = 500;

    explicit UpdateAPP(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~UpdateAPP() override;

    // The published number is above kVersion; false until the answer has arrived.
    bool isNewer() const;
    // Ignores the buttons for kArmDelayMs; also done on every show.
    void start();

    // "%03d" with dots after the first and the third digit: 99 gives "0.9.9".
    static QString VersionText(int number);
    // The number a version file holds: digits with blanks around them, else 0.
    static int ParseVersion(const QByteArray &body);

signals:
    void quitAPP();
    void backControllerList();
    // The pages' common notice signal; nothing is saved here, so it is never emitted.
    void saveShowAndCloseText(int Flag);

public slots:
    void on_btnDownload_clicked();
    void on_btnBack_clicked();
    void on_btnSkip_clicked();

protected:
    void showEvent(QShowEvent *event) override;
    // Opens url in the default browser; tests replace it.
    virtual void openPage(const QUrl &url);

private slots:
    void httpFinished();
    void httpReadyRead();

private:
    bool Ready() const;
    void ApplyStyles();
    void BuildExplanation();
    // Appends text, with the picture at image inserted where it holds "%1".
    void AppendWithPicture(const QString &text, const QString &image);

    std::unique_ptr<Ui::UpdateAPP> ui;
    HidConfig *m_hidConfig;
    QTextDocument *m_document = nullptr;
    std::unique_ptr<QTextCursor> m_cursor;
    QString m_currentVersion;
    QString m_newestVersion;
    QNetworkAccessManager *m_manager = nullptr;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_received;
    QUrl m_url;
    int m_newest = 0;
    bool m_ready = false;
    QTimer *m_armTimer = nullptr;
};
