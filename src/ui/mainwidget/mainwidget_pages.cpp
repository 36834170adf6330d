#include "mainwidget.h"

#include "devicepictures.h"
#include "updateflow.h"

#include "device/devicecatalogue.h"
#include "device/hidconfig.h"
#include "protocol/versionnumber.h"
#include "ui/style.h"
#include "ui_mainwidget.h"
#include "update/firmwareimage.h"

#include <QListWidget>
#include <QPixmap>
#include <algorithm>
#include <tuple>
#include <vector>

// The pages of the device window: which widgets each shows, their texts and pictures.

namespace {

const char *const kCheckIcon = ":/Assets/Check_Icon.png";
const char *const kWarningIcon = ":/Assets/UWP_Warning_Icon.png";
const char *const kDownloadIcon = ":/Images/QuorelAPP/Icon/Download Icon.png";
const char *const kButtonBIcon = ":/Images/QuorelAPP/Icon/ShapeB.png";

QString Button(const QString &family, bool primary)
{
    return QStringLiteral("QPushButton{background:%1;color:white;border-radius:28px;font:20px %2;"
                          "border:none;}"
                          "QPushButton:hover{border:2px solid %3;}")
        .arg(primary ? QStringLiteral("#FF5001") : QStringLiteral("#343434"), family,
             primary ? QStringLiteral("white") : QStringLiteral("#FF5001"));
}

QString FooterButton(const QString &family)
{
    return QStringLiteral("QPushButton{background:transparent;color:#bdbdbd;font:15px %1;"
                          "border:none;text-decoration:underline;}"
                          "QPushButton:hover{color:white;}")
        .arg(family);
}

void SetPicture(QLabel *label, const char *path)
{
    label->setPixmap(QPixmap(QString::fromUtf8(path)));
}

void SetPicture(QLabel *label, const QString &path)
{
    label->setPixmap(QPixmap(path));
}

} // namespace

void MainWidget::SetUpPages()
{
    ui->progressBar->setRange(0, UpdateFlow::kProgressMax);
    ui->btnSelect->setText(tr("选择"));
    ui->btnIdentification->setText(tr("设备信息"));
    ui->lblNoDevice->setText(tr("未检测到游戏控制器"));
    ui->lblStatusText->setText(tr("正在升级，请勿断开设备"));
    SetPicture(ui->lblDownloadIcon, kDownloadIcon);
    SetPicture(ui->lblStatusIcon, kDownloadIcon);
    SetPicture(ui->lblButtonB, kButtonBIcon);

    const QString family = Style::AppFamily();
    for (QPushButton *button : {ui->btnSelect, ui->btnUpdate, ui->btnForcedUpdate})
        button->setStyleSheet(Button(family, true));
    for (QPushButton *button : {ui->btnIdentification, ui->btnCancel})
        button->setStyleSheet(Button(family, false));
    for (QPushButton *button : {ui->btnNotice, ui->btnSupport})
        button->setStyleSheet(FooterButton(family));
    ui->btnNoDevice->setStyleSheet(QStringLiteral("QPushButton{border:none;border-image:url(%1);}")
                                       .arg(DevicePictures::NoDevice()));
    const QString list =
        QStringLiteral("QListWidget{background:rgba(52,52,52,220);color:#ececec;border-radius:16px;"
                       "font:20px %1;padding:8px;outline:none;}"
                       "QListWidget::item{padding:12px;border-radius:10px;}"
                       "QListWidget::item:selected{background:#FF5001;color:white;}")
            .arg(family);
    ui->listDevices->setStyleSheet(list);
    ui->listModels->setStyleSheet(list);
    FillModelList();
    ui->progressBar->setStyleSheet(
        QStringLiteral("QProgressBar{border:none;border-radius:7px;background:#3a3a3a;}"
                       "QProgressBar::chunk{border-radius:7px;background:#FF5001;}"));
    ui->lblNoDevice->setStyleSheet(Style::Label(22, family));
    ui->lblVersion->setStyleSheet(Style::Label(30, family));
    ui->lblInstruction->setStyleSheet(Style::Label(20, family));
    ui->lblResult->setStyleSheet(Style::Label(30, family));
    ui->lblReason->setStyleSheet(Style::Label(18, family));
    ui->lblStatusText->setStyleSheet(Style::Label(20, family));
    ui->lblIdentification->setStyleSheet(Style::Label(20, family));
    ui->lblAppVersion->setStyleSheet(QStringLiteral("color:#bdbdbd;font:15px %1;").arg(family));
}

void MainWidget::UpdateFooter()
{
    const bool chinese = m_hidConfig->m_isChinese;
    ui->lblAppVersion->setText((chinese ? tr("当前版本: ") : tr("Current APP Version: ")) +
                               VersionNumber::Display(m_hidConfig->m_appVersion));
    ui->btnNotice->setText(chinese ? tr("联系我们") : tr("Contact Us"));
    ui->btnSupport->setText(chinese ? tr("开源声明") : tr("Support"));
}

void MainWidget::ShowPage(int page)
{
    if (page == UpdateFlow::DeviceList && m_flow->IsArmed())
        return;
    for (QWidget *widget : m_pageWidgets)
        widget->hide();
    m_page = page;
    if (isVisible())
        EmitTitle();
    UpdateFooter();
    ShowPictures(page);
    switch (page) {
    case UpdateFlow::EmptyList:
        ui->btnNoDevice->show();
        ui->lblNoDevice->show();
        break;
    case UpdateFlow::DeviceList:
        ui->listDevices->setGeometry(0, 0, 450, 240);
        ui->wdgList->show();
        ui->btnSelect->show();
        ui->btnIdentification->show();
        break;
    case UpdateFlow::Identification:
        ui->btnCancel->setText(tr("返回"));
        ui->btnCancel->move(520, 600);
        ui->btnCancel->show();
        ui->lblIdentification->move(37, 0);
        ui->wdgIdentification->show();
        ui->lblIdentification->setFocus();
        break;
    case UpdateFlow::Offer:
        ShowOfferTexts();
        ui->btnUpdate->setText(tr("升级"));
        ui->btnUpdate->move(680, 400);
        ui->btnUpdate->show();
        ui->btnCancel->setText(tr("跳过"));
        ui->btnCancel->move(900, 400);
        ui->btnCancel->show();
        break;
    case UpdateFlow::Updating:
        ui->wdgStatus->move(m_flow->IsDonglePath() ? QPoint(200, 0) : QPoint(338, 50));
        ui->wdgUpdate->show();
        break;
    case UpdateFlow::Downloading:
        break;
    case UpdateFlow::Failed:
        SetPicture(ui->lblResultIcon, kWarningIcon);
        ui->lblResultIcon->show();
        ui->lblResult->setText(tr("升级失败"));
        ui->lblResult->show();
        ui->btnForcedUpdate->setText(tr("返回"));
        ui->btnForcedUpdate->move(540, 430);
        ui->btnForcedUpdate->show();
        ui->lblReason->setText(RefusalText());
        ui->lblReason->setVisible(!ui->lblReason->text().isEmpty());
        break;
    case UpdateFlow::Succeeded:
        SetPicture(ui->lblResultIcon, kCheckIcon);
        ui->lblResultIcon->show();
        ui->lblButtonB->show();
        ui->lblResult->setText(tr("升级成功"));
        ui->lblResult->show();
        ui->btnUpdate->setText(tr("下一步"));
        ui->btnUpdate->move(660, 430);
        ui->btnUpdate->show();
        ui->btnCancel->setText(tr("返回"));
        ui->btnCancel->move(420, 430);
        ui->btnCancel->show();
        break;
    case UpdateFlow::Recovery:
        if (m_flow->NeedsModelChoice()) {
            ShowModelChoice();
            break;
        }
        ShowOfferTexts();
        ui->lblDownloadIcon->show();
        ui->btnForcedUpdate->setText(tr("升级"));
        ui->btnForcedUpdate->move(680, 400);
        ui->btnForcedUpdate->show();
        break;
    default:
        break;
    }
}

// The window's title line belongs to the list page only. A switch while another page of
// the window is shown leaves that page's title alone; showing this window sets it.
void MainWidget::EmitTitle()
{
    if (m_page == UpdateFlow::DeviceList)
        emit SetMainWindowMintitle(tr("选择您的游戏控制器"), true);
    else
        emit SetMainWindowMintitle(QString(), false);
}

void MainWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    EmitTitle();
}

void MainWidget::ShowPictures(int page)
{
    const int type = m_flow->updateType();
    const bool dongle = m_flow->IsDonglePath();
    if (page == UpdateFlow::DeviceList || page == UpdateFlow::Downloading) {
        const DevicePictures pictures = m_listedPid
                                            ? DevicePictures::ForProduct(m_listedPid, dongle)
                                            : DevicePictures::Generic();
        SetPicture(ui->lblController, pictures.controller);
        SetPicture(ui->lblDongle, pictures.dongle);
        const bool list = page == UpdateFlow::DeviceList;
        ui->lblController->move(list ? QPoint(110, 240) : QPoint(330, 200));
        ui->lblDongle->move(list ? QPoint(540, 390) : QPoint(800, 320));
        ui->lblController->show();
        ui->lblDongle->show();
    } else if (page == UpdateFlow::Offer || page == UpdateFlow::Recovery ||
               (page == UpdateFlow::Updating && dongle)) {
        const uint16_t pid = UpdateFlow::ProductOfType(type);
        SetPicture(ui->lblUpdatePicture, page == UpdateFlow::Updating
                                             ? DevicePictures::Updating()
                                             : DevicePictures::ForProduct(pid, dongle).updater);
        ui->lblUpdatePicture->move(page == UpdateFlow::Updating ? QPoint(860, 200)
                                                                : QPoint(250, 140));
        ui->lblUpdatePicture->show();
    }
}

void MainWidget::ShowOfferTexts()
{
    const QString version = FirmwareImage::VersionDisplay(m_flow->OfferedVersion());
    ui->lblVersion->setText(m_hidConfig->m_isChinese
                                ? version + tr("   新固件可用")
                                : tr("Firmware ") + version + tr(" is Available"));
    const QString bold = QStringLiteral("<b>%1</b>");
    if (m_flow->IsDonglePath())
        ui->lblInstruction->setText(tr("请将手柄切换至") + bold.arg(tr("2.4G")) +
                                    tr("模式<br>并连接") + bold.arg(tr(" 无线接收器 ")) +
                                    tr("至 PC 查看最新版本"));
    else
        ui->lblInstruction->setText(tr("请将手柄切换至") + bold.arg(tr(" USB ")) +
                                    tr("模式<br>连接至 PC 查看最新版本"));
    ui->lblInstruction->move(680, 280);
    ui->lblVersion->show();
    ui->lblInstruction->show();
}

void MainWidget::ShowModelChoice()
{
    ui->lblInstruction->setText(tr("有设备正在升级模式中等待，但未记录其型号。<br>"
                                   "请选择该设备的型号："));
    ui->lblInstruction->move(680, 90);
    ui->lblInstruction->show();
    if (ui->listModels->currentRow() < 0)
        ui->listModels->setCurrentRow(0);
    ui->listModels->show();
    ui->btnForcedUpdate->setText(tr("选择"));
    ui->btnForcedUpdate->move(680, 410);
    ui->btnForcedUpdate->show();
}

void MainWidget::FillModelList()
{
    // Every update type, by model name, then wired before dongle; the product id tells
    // apart the models that share a name.
    struct Row
    {
        QString name;
        bool dongle;
        uint16_t pid;
        int type;
    };
    std::vector<Row> rows;
    for (int type = 0; type < UpdateFlow::kTypeCount; ++type) {
        const uint16_t pid = UpdateFlow::ProductOfType(type);
        const CatalogueEntry *entry = DeviceCatalogue::Find(pid);
        rows.push_back({QString::fromLatin1(entry ? entry->modelName : "Vexalon Adv"),
                        entry && entry->dongle, pid, type});
    }
    std::sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        return std::tie(a.name, a.dongle, a.pid) < std::tie(b.name, b.dongle, b.pid);
    });
    ui->listModels->clear();
    for (const Row &row : rows) {
        auto *item =
            new QListWidgetItem(QStringLiteral("%1 · %2 · %3")
                                    .arg(row.name, row.dongle ? tr("2.4G 接收器") : tr("USB 有线"),
                                         DeviceCatalogue::PidText(row.pid)),
                                ui->listModels);
        item->setData(Qt::UserRole, row.type);
    }
}

QString MainWidget::RefusalText() const
{
    switch (m_flow->LastRefusal()) {
    case UpdateFlow::Refusal::DeviceNotOpen:
        return tr("无法与设备通信，未切换至升级模式。请重新连接设备后重试。");
    case UpdateFlow::Refusal::NoAccess:
        return tr("当前用户无法打开升级模式下的设备，因此未切换设备。"
                  "请先运行 scripts/oradesk.sh udev-rule 安装设备规则，然后重新插拔设备并重试。");
    case UpdateFlow::Refusal::SeveralWaiting:
        return tr("有多个设备处于升级模式。请只保留一个设备连接，然后重试。");
    case UpdateFlow::Refusal::None:
        break;
    }
    return QString();
}
