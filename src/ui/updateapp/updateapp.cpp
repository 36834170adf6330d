#include "updateapp.h"

#include "protocol/versionnumber.h"

#include "device/hidconfig.h"
#include "ui/style.h"
#include "ui_updateapp.h"
#include "update/securefetch.h"

#include <QDebug>
#include <QDesktopServices>
#include <QIcon>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTimer>

namespace {

const char *const kVersionPath = "/6101/Quorel_Vexalon_APP_Version.txt";
const char *const kShapeA = ":/Images/QuorelAPP/Icon/ShapeA_2.png";
const char *const kShapeX = ":/Images/QuorelAPP/Icon/ShapeX_2.png";
constexpr int kPictureSize = 21;

QString ButtonStyle(const QString &family, bool primary)
{
    return QStringLiteral("QPushButton{background-color:%1;color:%2;border:2px solid %3;"
                          "border-radius:24px;font:18px %4;padding:0 22px;}"
                          "QPushButton:hover{border-color:%5;}")
        .arg(primary ? QStringLiteral("#FF5001") : QStringLiteral("transparent"),
             QStringLiteral("#ececec"),
             primary ? QStringLiteral("#FF5001") : QStringLiteral("#7a7a7a"), family,
             primary ? QStringLiteral("white") : QStringLiteral("#FF5001"));
}

QString BoxStyle(const QString &name, bool accent)
{
    return QStringLiteral("#%1{background-color:rgba(255, 255, 255, 14);border-radius:14px;"
                          "border:%2;}")
        .arg(name, accent ? QStringLiteral("2px solid #FF5001") : QStringLiteral("none"));
}

} // namespace

UpdateAPP::UpdateAPP(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::UpdateAPP>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
    m_hidConfig->m_appVersion = kVersion;
    m_manager = new QNetworkAccessManager(this);
    ApplyStyles();
    BuildExplanation();

    connect(m_hidConfig, &HidConfig::pressButtonA, this, &UpdateAPP::on_btnDownload_clicked);
    connect(m_hidConfig, &HidConfig::pressButtonB, this, &UpdateAPP::on_btnBack_clicked);
    connect(m_hidConfig, &HidConfig::pressButtonX, this, &UpdateAPP::on_btnSkip_clicked);

    m_url = SecureFetch::Url(QString::fromLatin1(kVersionPath));
    m_reply = SecureFetch::Get(m_manager, m_url);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateAPP::httpFinished);
    connect(m_reply, &QNetworkReply::readyRead, this, &UpdateAPP::httpReadyRead);

    m_armTimer = new QTimer(this);
    m_armTimer->setObjectName(QStringLiteral("armTimer"));
    m_armTimer->setSingleShot(true);
    m_armTimer->setInterval(kArmDelayMs);
    connect(m_armTimer, &QTimer::timeout, this, [this] { m_ready = true; });
}

UpdateAPP::~UpdateAPP() = default;

bool UpdateAPP::isNewer() const
{
    return m_newest > kVersion;
}

void UpdateAPP::start()
{
    m_ready = false;
    m_armTimer->start();
}

QString UpdateAPP::VersionText(int number)
{
    return VersionNumber::Dotted(number);
}

int UpdateAPP::ParseVersion(const QByteArray &body)
{
    const QByteArray digits = body.trimmed();
    if (digits.isEmpty())
        return 0;
    for (const char c : digits)
        if (c < '0' || c > '9')
            return 0;
    bool ok = false;
    const int number = digits.toInt(&ok, 10);
    return ok ? number : 0;
}

void UpdateAPP::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    start();
}

void UpdateAPP::openPage(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

bool UpdateAPP::Ready() const
{
    return m_ready && isVisible();
}

void UpdateAPP::on_btnDownload_clicked()
{
    if (!Ready())
        return;
    // New releases are offered on the contact page for the Chinese interface.
    using Style::WebPage;
    openPage(
        QUrl(Style::WebPageUrl(m_hidConfig->m_isChinese ? WebPage::Contact : WebPage::Support)));
}

void UpdateAPP::on_btnBack_clicked()
{
    if (Ready())
        emit quitAPP();
}

void UpdateAPP::on_btnSkip_clicked()
{
    if (Ready())
        emit backControllerList();
}

void UpdateAPP::httpReadyRead()
{
    if (m_reply)
        m_received.append(m_reply->readAll());
}

void UpdateAPP::httpFinished()
{
    if (!m_reply)
        return;
    // An error page, or a body cut short, is no version number.
    const bool complete = m_reply->error() == QNetworkReply::NoError;
    const int number = complete ? ParseVersion(m_received) : 0;
    qDebug() << "version:" << number;
    m_newest = number;
    m_newestVersion += QStringLiteral("<b>V") + VersionText(number) + QStringLiteral("</b></p>");
    m_currentVersion += QStringLiteral("<b>V") + VersionText(kVersion) + QStringLiteral("</b></p>");
    m_reply->deleteLater();
    m_reply = nullptr;
    ui->lblCurrentVersion->setText(QStringLiteral("<p>") + m_currentVersion);
    ui->lblNewestVersion->setText(QStringLiteral("<p>") + m_newestVersion);
}

void UpdateAPP::ApplyStyles()
{
    const QString family = Style::AppFamily();
    ui->wdgUpdatePanel->setAttribute(Qt::WA_StyledBackground);
    ui->wdgUpdatePanel->setStyleSheet(
        QStringLiteral("#wdgUpdatePanel{background-color:rgba(52, 52, 52, 230);"
                       "border-radius:24px;}"));
    ui->wdgCurrent->setStyleSheet(BoxStyle(QStringLiteral("wdgCurrent"), false));
    ui->wdgNewest->setStyleSheet(BoxStyle(QStringLiteral("wdgNewest"), true));
    ui->lblCurrentTitle->setStyleSheet(Style::Label(16, family));
    ui->lblNewestTitle->setStyleSheet(Style::Label(16, family));
    ui->lblCurrentVersion->setStyleSheet(Style::Label(22, family));
    ui->lblNewestVersion->setStyleSheet(Style::Label(22, family) +
                                        QStringLiteral("color:#FF5001;"));
    ui->lblRule->setStyleSheet(Style::Rule());
    ui->textExplanation->setStyleSheet(
        QStringLiteral("QTextEdit{background:transparent;border:none;}"));
    ui->lblCurrentTitle->setText(tr("当前APP版本号: "));
    ui->lblNewestTitle->setText(tr("最新APP版本号: "));

    const QSize icon(26, 26);
    ui->btnDownload->setStyleSheet(ButtonStyle(family, true));
    ui->btnDownload->setIcon(QIcon(QStringLiteral(":/Images/QuorelAPP/Icon/ShapeA.png")));
    ui->btnDownload->setIconSize(icon);
    ui->btnSkip->setStyleSheet(ButtonStyle(family, false));
    ui->btnSkip->setIcon(QIcon(QStringLiteral(":/Images/QuorelAPP/Icon/ShapeX.png")));
    ui->btnSkip->setIconSize(icon);
    ui->btnBack->setStyleSheet(ButtonStyle(family, false));
    ui->btnBack->setIcon(QIcon(QStringLiteral(":/Images/QuorelAPP/Icon/ShapeB.png")));
    ui->btnBack->setIconSize(icon);
    for (QPushButton *button : {ui->btnDownload, ui->btnSkip, ui->btnBack})
        button->setCursor(Qt::PointingHandCursor);
}

void UpdateAPP::BuildExplanation()
{
    m_document = new QTextDocument(this);
    QFont font(Style::AppFamily());
    font.setPixelSize(15);
    m_document->setDefaultFont(font);
    m_document->setDefaultStyleSheet(QStringLiteral("body{color:white;}"));
    m_document->setDocumentMargin(4);
    // The pictures come from the resources under their own names.
    for (const char *name : {kShapeA, kShapeX})
        m_document->addResource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(name)),
                                QImage(QString::fromLatin1(name)));
    m_cursor = std::make_unique<QTextCursor>(m_document);

    QTextBlockFormat spaced;
    spaced.setLineHeight(6, QTextBlockFormat::LineDistanceHeight);
    spaced.setBottomMargin(4);
    QTextCharFormat text;
    text.setForeground(Qt::white);
    QTextCharFormat heading = text;
    heading.setForeground(QColor(0xFF, 0x50, 0x01));
    heading.setFontWeight(QFont::Bold);

    m_cursor->setBlockFormat(spaced);
    m_cursor->setCharFormat(text);
    m_cursor->insertText(
        tr("需要升级 Quorel Oradesk 应用程序，才能使用最新的控制器功能和应用程序功能。"));
    m_cursor->insertBlock(spaced, text);
    AppendWithPicture(tr("如果暂时不想升级，请按 %1 按钮跳过升级，进入控制器按键测试。"),
                      QString::fromLatin1(kShapeX));
    QTextBlockFormat headed = spaced;
    headed.setTopMargin(6);
    m_cursor->insertBlock(headed, heading);
    m_cursor->insertText(tr("升级只需三步："));
    m_cursor->insertBlock(spaced, text);
    AppendWithPicture(tr("1. 按 %1 按钮打开浏览器，下载最新的 Quorel Oradesk 应用程序；"),
                      QString::fromLatin1(kShapeA));
    m_cursor->insertBlock(spaced, text);
    m_cursor->insertText(tr("2. 运行下载的安装包，完成安装；"));
    m_cursor->insertBlock(spaced, text);
    m_cursor->insertText(tr("3. 运行 Quorel Oradesk 应用程序。"));
    ui->textExplanation->setDocument(m_document);
}

void UpdateAPP::AppendWithPicture(const QString &text, const QString &image)
{
    const int at = text.indexOf(QLatin1String("%1"));
    m_cursor->insertText(at < 0 ? text : text.left(at));
    if (at < 0)
        return;
    QTextImageFormat picture;
    picture.setName(image);
    picture.setWidth(kPictureSize);
    picture.setHeight(kPictureSize);
    picture.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    const QTextCharFormat previous = m_cursor->charFormat();
    m_cursor->insertImage(picture);
    m_cursor->setCharFormat(previous);
    m_cursor->insertText(text.mid(at + 2));
}
