#include "mainwindow.h"

#include "device/devicecatalogue.h"
#include "device/deviceplatform.h"
#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "protocol/versionnumber.h"
#include "ui/bartool/bartool.h"
#include "ui/calibrationpage/calibrationpage.h"
#include "ui/configpage/readsequence.h"
#include "ui/lightpage/lightpage.h"
#include "ui/mainwidget/mainwidget.h"
#include "ui/mappingpage/mappingpage.h"
#include "ui/moduleselection/moduleselection.h"
#include "ui/pageids.h"
#include "ui/profilepage/profilepage.h"
#include "ui/stickpage/stickpage.h"
#include "ui/style.h"
#include "ui/testpage/testpage.h"
#include "ui/triggerpage/triggerpage.h"
#include "ui/turbopage/turbopage.h"
#include "ui/updateapp/updateapp.h"
#include "ui/vibratepage/vibratepage.h"
#include "ui_mainwindow.h"

#include <QDebug>
#include <QLineEdit>
#include <QPainter>
#include <QThread>
#include <QTimer>

namespace {

constexpr int kSplashTicks = 10;
constexpr int kSavedNoticeMs = 2500;
constexpr int kCollectionGapMs = 1000;
const char *const kBackground = ":/Images/QuorelAPP/background/background.png";

void CentreItems(QComboBox *box)
{
    for (int i = 0; i < box->count(); ++i)
        box->setItemData(i, Qt::AlignCenter, Qt::TextAlignmentRole);
}

} // namespace

MainWindow::MainWindow(DevicePlatform *platform, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setMouseTracking(true);
    m_bartool = new Bartool(this);
    m_bartool->setGeometry(-1, -1, 1280, 32);
    m_bartool->SetBackgroundColor(48, 46, 47, 0);
    m_bartool->SetTitle(QStringLiteral("Quorel Oradesk"));
    setFixedSize(1280, 720);

    // Hot-plug events come from the platform layer; without one the window runs unplugged.
    if (platform) {
        connect(platform, &DevicePlatform::InterfaceArrived, this, &MainWindow::OnInterfaceArrived);
        connect(platform, &DevicePlatform::InterfaceRemoved, this, &MainWindow::OnInterfaceRemoved);
        if (!platform->StartMonitoring())
            qDebug() << "注册失败";
    }

    m_hidConfig = new HidConfig();
    m_hidConfig->SetPlatform(platform);
    m_splashTimer = new QTimer(this);
    connect(m_splashTimer, &QTimer::timeout, this, &MainWindow::OnSplashTick);
    m_splashTimer->start(100);
    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(500);
    connect(m_pollTimer, &QTimer::timeout, this, &MainWindow::OnPollTimer);
    m_reads = new ReadSequence(this);

    ui->wdgModel->setGeometry(180, 210, 1030, 450);
    CreatePages(platform);
    m_updateApp->hide();
    ui->wdgHead_2->hide();
    ui->wdghead_3->hide(); // no title until a page is shown
    ui->wdgUserPermission->move(225, 210);
    ui->wdgUserPermission->hide();
    ui->wdgNavVertical_2->move(40, 190);
    ui->wdgNavVertical_2->hide();
    ui->wdgNavVertical->move(40, 210);
    ui->wdgNavVertical->hide();
    ui->wdgProfile->hide();
    ui->wdgComBox->hide();
    ui->wdgModel->hide();
    m_calibrationPage->hide();
    // The full-window frame of the device list comes later in the form: hidden, it would
    // lie over the agreement notice and take its clicks.
    ui->wdgFrom->hide();
    // Marks drawn over buttons must let the clicks through to them.
    for (QWidget *mark : {static_cast<QWidget *>(ui->lblNavFocu), (QWidget *)ui->lblProfile,
                          (QWidget *)ui->lblSaveSuccessText})
        mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->lblSaveSuccessText->move((width() - ui->lblSaveSuccessText->width()) / 2 + 70, 130);
    ui->lblSaveSuccessText->hide();
    m_savedTimer = new QTimer(this);
    m_savedTimer->setObjectName(QStringLiteral("savedNoticeTimer"));
    m_savedTimer->setSingleShot(true);
    connect(m_savedTimer, &QTimer::timeout, ui->lblSaveSuccessText, &QWidget::hide);
    ui->btnCalibTest->setEnabled(false);
    ConnectSignals();

    m_hidThread = new QThread(this);
    m_hidConfig->moveToThread(m_hidThread);
    connect(m_hidThread, &QThread::started, m_hidConfig, &HidConfig::OnReadDevice);
    m_hidThread->start(QThread::InheritPriority);

    ApplyStyles();
    setNavFocus(0);
    if (platform)
        m_hidConfig->Scan(DeviceCatalogue::kVendorId);
    m_profileTimer = new QTimer(this);
    m_profileTimer->setSingleShot(true);
    m_profileTimer->setInterval(500);
    connect(m_profileTimer, &QTimer::timeout, this, [this] { ReloadForProfile(-1); });
    SetUpSelectors();
}

MainWindow::~MainWindow()
{
    m_splashTimer->stop();
    // A motor or a live dead zone under test must not outlive the window.
    m_testPage->StopTest();
    m_hidConfig->Stop();
    m_hidThread->quit();
    m_hidThread->wait();
    // The thread has ended, so the model can be released from here.
    delete m_hidConfig;
}

void MainWindow::CreatePages(DevicePlatform *platform)
{
    QWidget *area = ui->wdgModel;
    m_moduleSelection = new ModuleSelection(m_hidConfig, area);
    m_testPage = new TestPage(m_hidConfig, area);
    m_calibrationPage = new CalibrationPage(m_hidConfig, area);
    m_mappingPage = new MappingPage(m_hidConfig, this);
    m_mappingPage->move(180, 210);
    m_turboPage = new TureboPage(m_hidConfig, area);
    m_stickPage = new StickPage(m_hidConfig, area);
    m_triggerPage = new TriggerPage(m_hidConfig, area);
    m_vibratePage = new VibratePage(m_hidConfig, area);
    m_lightPage = new LightPage(m_hidConfig, area);
    m_profilePage = new ProfilePage(m_hidConfig, area);
    m_mainWidget = new MainWidget(m_hidConfig, platform, area);
    m_updateApp = new UpdateAPP(m_hidConfig, area);
    for (QWidget *page :
         {static_cast<QWidget *>(m_moduleSelection), (QWidget *)m_testPage,
          (QWidget *)m_mappingPage, (QWidget *)m_turboPage, (QWidget *)m_stickPage,
          (QWidget *)m_triggerPage, (QWidget *)m_vibratePage, (QWidget *)m_lightPage,
          (QWidget *)m_profilePage, (QWidget *)m_mainWidget, (QWidget *)m_updateApp})
        page->hide();
}

void MainWindow::ConnectSignals()
{
    connect(m_bartool, &Bartool::minimumWindowin, this, &MainWindow::miniWindow);
    connect(m_moduleSelection, &ModuleSelection::mainWinPageShow, this, &MainWindow::showPage);
    connect(m_testPage, &TestPage::mainWinPageShow, this, &MainWindow::showPage);
    connect(m_calibrationPage, &CalibrationPage::mainWinPageShow, this, &MainWindow::showPage);
    connect(m_mainWidget, &MainWidget::mainWinPageShow, this, &MainWindow::showPage);
    connect(m_moduleSelection, &ModuleSelection::DevicePage, this, &MainWindow::devicePage);
    connect(m_testPage, &TestPage::DevicePage, this, &MainWindow::devicePage);
    connect(m_hidConfig, &HidConfig::backMainPage, this, &MainWindow::backMainPage);
    connect(m_updateApp, &UpdateAPP::backControllerList, this, &MainWindow::backMainPage);
    connect(m_updateApp, &UpdateAPP::quitAPP, this, &QWidget::close);
    connect(m_mainWidget, &MainWidget::SetMainWindowMintitle, this,
            &MainWindow::SetMainWindowMintitle);
    connect(m_mainWidget, &MainWidget::SetNavMinTitle, this, &MainWindow::SetNavMinTitle);
    connect(m_mainWidget, &MainWidget::DeviceList, this, &MainWindow::showDeviceList);
    connect(m_stickPage, &StickPage::SetCurExplanation, this, &MainWindow::GetCurExplanation);
    for (int id : {PageId::Mapping, PageId::Turbo, PageId::Stick, PageId::Trigger,
                   PageId::Vibration, PageId::Lighting, PageId::Profiles}) {
        ConfigPage *page = ConfigPageOf(id);
        connect(page, qOverload<int>(&ConfigPage::saveShowAndCloseText), this,
                qOverload<int>(&MainWindow::saveShowAndCloseText));
        connect(page, qOverload<>(&ConfigPage::saveShowAndCloseText), this,
                qOverload<>(&MainWindow::saveShowAndCloseText));
    }
    connect(this, &MainWindow::currentProfileIndex, m_profilePage,
            &ProfilePage::currentControllerProfile);
    connect(m_hidConfig, &HidConfig::CurrentProfile, this, &MainWindow::SetProfileUI);
    connect(m_hidConfig, &HidConfig::profileChanges, this, &MainWindow::ProfileChanges);
    connect(m_hidConfig, &HidConfig::pressButtonX, this, &MainWindow::on_btnNext_clicked);
    connect(m_hidConfig, &HidConfig::unlockNavigation, this, &MainWindow::unlockNavigation);
    connect(m_hidConfig, &HidConfig::pressButtonUp, this, &MainWindow::clickPadButtonPadUp);
    connect(m_hidConfig, &HidConfig::pressButtonDown, this, &MainWindow::clickPadButtonPadDown);
    connect(m_hidConfig, &HidConfig::pressButtonRight, this, &MainWindow::clickPadButtonRight);
    connect(m_hidConfig, &HidConfig::pressButtonA, this, &MainWindow::clickButtonA);
    connect(m_hidConfig, &HidConfig::pressButtonB, this, &MainWindow::clickButtonB);
    connect(m_hidConfig, &HidConfig::OutputLogInfo, this, &MainWindow::RevInOrOutString);
}

void MainWindow::ApplyStyles()
{
    const QString family = Style::AppFamily();
    ui->lbl_MinTitle->setStyleSheet(Style::Label(36, family));
    ui->lblExplanation->setStyleSheet(Style::Label(14, family));
    ui->label_2->setStyleSheet(Style::AccentBar());
    ui->lbl_MinTileR->setStyleSheet(Style::Label(18, family));
    ui->lblPrivacy_2->setStyleSheet(Style::Label(12, family));
    ui->lbl_Text_1->setStyleSheet(Style::Label(20, family));
    ui->lblSaveSuccessText->setStyleSheet(Style::Notice(family));
    ui->wdgUserPermission->setStyleSheet(Style::Panel());
    ui->label_3->setStyleSheet(Style::Bullet());
    ui->label_4->setStyleSheet(Style::Bullet());
    ui->label_5->setStyleSheet(Style::Rule());
    ui->btnNext->setStyleSheet(Style::HintButton(family));
    ui->label_6->setPixmap(QPixmap(QStringLiteral(":/Images/QuorelAPP/Icon/ShapeX.png")));
    ui->lblQuorelLogo_1->setText(QStringLiteral("QUOREL"));
    ui->lblQuorelLogo_2->setText(QStringLiteral("QUOREL"));
    ui->lblQuorelLogo_1->setStyleSheet(Style::Logo(true));
    ui->lblQuorelLogo_2->setStyleSheet(Style::Logo(false));
    for (int column = 0; column < 2; ++column)
        for (int i = 0; i < kNavButtons; ++i)
            if (QAbstractButton *button = NavButton(column, i)) {
                button->setStyleSheet(Style::NavButton(false));
                if (column == 1)
                    button->setIcon(QIcon(Style::NavIcon(i)));
            }

    ui->lbl_Text_1->setText(
        tr("使用 Quorel Oradesk 应用程序即表示您同意下面链接的最终用户许可协议。") +
        QLatin1Char('\n') + tr("请按控制器上的 X 以继续使用该应用程序。"));
    ui->lbl_URL_1->setText(
        Style::Link(Style::WebPageUrl(Style::WebPage::Agreement), tr("最终用户许可协议")));
    ui->lbl_URL_2->setText(
        Style::Link(Style::WebPageUrl(Style::WebPage::OpenSource), tr("开源软件声明")));
    ui->lbl_URL_1->setOpenExternalLinks(true);
    ui->lbl_URL_2->setOpenExternalLinks(true);
    ui->btnNext->setText(tr("下一步"));
    const QString version = VersionNumber::Display(m_hidConfig->m_appVersion);
    ui->lblPrivacy_2->setText(m_hidConfig->m_isChinese
                                  ? QStringLiteral("当前版本: ") + version
                                  : QStringLiteral("Current APP Version: ") + version);
}

void MainWindow::SetUpSelectors()
{
    m_selectorStyle = Style::Selector();
    for (QComboBox *box : {ui->comBxProfile, ui->comBxDeviceList}) {
        box->setStyleSheet(m_selectorStyle);
        box->lineEdit()->setReadOnly(true);
        box->lineEdit()->setAlignment(Qt::AlignCenter);
        box->lineEdit()->setStyleSheet(QStringLiteral("background:transparent;color:white;"));
    }
    ui->comBxProfile->setEnabled(false);
    ui->comBxProfile->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MainWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), QPixmap(QString::fromLatin1(kBackground)));
}

void MainWindow::OnSplashTick()
{
    static const char *const frames[3] = {":/Images/QuorelAPP/Icon/Loading_1.png",
                                          ":/Images/QuorelAPP/Icon/Loading_2.png",
                                          ":/Images/QuorelAPP/Icon/Loading_3.png"};
    const QPixmap frame(QString::fromLatin1(frames[m_splashTick % 3]));
    ui->lblLoadIcon->setPixmap(frame.transformed(m_spinMatrix));
    update();
    if (++m_splashTick < kSplashTicks)
        return;
    m_splashTimer->stop();
    ui->wdgHead_1->hide();
    ui->wdgHead_2->show();
    ui->wdgUserPermission->show();
    m_splashTick = 0;
}

void MainWindow::on_btnNext_clicked()
{
    m_accepted = true;
    if (!ui->wdgUserPermission->isVisible())
        return;
    showPage(m_updateApp->isNewer() ? PageId::AppUpdate : PageId::Devices);
}

void MainWindow::devicePage()
{
    if (m_mainWidget->IsUpdating())
        return;
    ui->wdgNavVertical->hide();
    ui->wdghead_3->hide();
    ui->wdgUserPermission->hide();
    ui->wdgFrom->setGeometry(0, 0, 1280, 720);
    ui->wdgProfile->hide();
    ui->wdgComBox->hide();
    ui->lbl_MinTitle->setText(tr("选择您的游戏控制器"));
    m_hidConfig->m_deviceInConfig = false;
    // No device is configured any more: every slot is read again, replies go nowhere.
    m_hidConfig->SetLockSlots(false, 0, 0);
    m_hidConfig->ClearConfiguredSlot();
    if (m_selectindex == 6)
        showPage(PageId::Test);
    showPage(PageId::Devices);
}

bool MainWindow::IsLoadingPage() const
{
    return m_reads->IsRunning();
}

void MainWindow::backMainPage()
{
    devicePage();
}

void MainWindow::backThisMain()
{
    showPage(PageId::Agreement);
}

void MainWindow::SetMainWindowMintitle(QString strTitle, bool visity)
{
    if (!m_accepted)
        return;
    ui->lbl_MinTitle->setText(strTitle);
    ui->wdghead_3->setVisible(visity);
}

void MainWindow::SetNavMinTitle(QString strText)
{
    ui->lbl_MinTileR->setText(strText + QStringLiteral(" Controller"));
}

void MainWindow::GetCurExplanation(QString strText)
{
    if (!m_hidConfig->m_isChinese)
        ui->lblExplanation->setText(strText);
}

void MainWindow::saveShowAndCloseText()
{
    saveShowAndCloseText(0);
}

void MainWindow::saveShowAndCloseText(int Flag)
{
    const bool chinese = m_hidConfig->m_isChinese;
    if (Flag == ConfigPage::kSaveFailed)
        ui->lblSaveSuccessText->setText(
            chinese ? tr("保存失败")
                    : tr("Save failed: the controller did not confirm the new settings"));
    else if (Flag != 0)
        ui->lblSaveSuccessText->setText(chinese ? tr("恢复默认成功") : tr("Reset Successfully"));
    else
        ui->lblSaveSuccessText->setText(chinese ? tr("保存成功") : tr("Save Successfully"));
    ui->lblSaveSuccessText->show();
    // One timer, restarted by every save, so the notice stays 2.5 s after the last one.
    m_savedTimer->start(kSavedNoticeMs);
}

void MainWindow::miniWindow()
{
    showMinimized();
    qDebug() << "close1";
}

void MainWindow::RevInOrOutString(QString string)
{
    qDebug() << string;
}

// Hot-plug. A dongle shows two HID collections; discovery needs both, the configuration
// collection (col02) first and the gamepad collection (col01) a second later.
void MainWindow::OnInterfaceArrived(const QString &path)
{
    if (!DeviceCatalogue::PathHas(path, QStringLiteral("35c7")))
        return;
    const bool first = DeviceCatalogue::PathHas(path, QStringLiteral("col01"));
    const bool second = DeviceCatalogue::PathHas(path, QStringLiteral("col02"));
    if (!first && !second) {
        m_hidConfig->DeviceArrived(path);
        RefreshDevicesUnlessConfiguring();
        showDeviceList();
        return;
    }
    qDebug() << "DInput";
    (first ? m_col01Path : m_col02Path) = path;
    if (m_col01Path.isEmpty() || m_col02Path.isEmpty())
        return;
    const QString col01 = m_col01Path;
    m_hidConfig->DeviceArrived(m_col02Path);
    m_col01Path.clear();
    m_col02Path.clear();
    // The pause runs on a timer rather than blocking, so the window keeps drawing.
    QTimer::singleShot(kCollectionGapMs, this, [this, col01] {
        m_hidConfig->DeviceArrived(col01);
        RefreshDevicesUnlessConfiguring();
        showDeviceList();
    });
}

void MainWindow::OnInterfaceRemoved(const QString &path)
{
    qDebug() << tr("设备移除") << path;
    // While the device may still take it: a running motor stops with the zero report.
    m_testPage->StopTest();
    m_hidConfig->DeviceRemoved(path);
    if (DeviceCatalogue::PathHas(path, QStringLiteral("35c7")))
        RefreshDevicesUnlessConfiguring();
    showDeviceList();
}

void MainWindow::RefreshDevicesUnlessConfiguring()
{
    if (!m_hidConfig->m_deviceInConfig && m_mainWidget->isVisible())
        m_mainWidget->refreshDeviceList();
}

void MainWindow::showDeviceList()
{
    const QMap<int, DeviceEntry> table = m_hidConfig->DeviceTable();
    qDebug() << "showDeviceLis:" << table.size();
    ui->comBxDeviceList->clear();
    const int configured = m_hidConfig->ConfiguredSlot();
    int shown = -1;
    for (auto it = table.begin(); it != table.end(); ++it) {
        qDebug() << "key devType:" << it.key() << it->modelName;
        if (it->modelName.isEmpty())
            continue;
        if (it.key() == configured)
            shown = ui->comBxDeviceList->count();
        ui->comBxDeviceList->addItem(it->modelName + QStringLiteral(" Controller"));
    }
    // The selector names the device whose pages are shown, not the first in the list.
    if (shown >= 0)
        ui->comBxDeviceList->setCurrentIndex(shown);
    CentreItems(ui->comBxDeviceList);
}

void MainWindow::on_comBxDeviceList_activated(int index)
{
    qDebug() << " Changed index:" << index;
    if (index >= 0)
        m_mainWidget->selectDevice(index);
}

void MainWindow::on_comBxDeviceList_currentIndexChanged(int) {}

void MainWindow::SetProfileUI()
{
    m_profileUpdating = true;
    QComboBox *box = ui->comBxProfile;
    if (IsExtendedModel()) {
        box->clear();
        for (const QString &name : m_hidConfig->Profiles().Names())
            box->addItem(name);
        box->setCurrentIndex(std::clamp(m_hidConfig->Profiles().DeviceProfile(), 0, 2));
        m_profileTimer->start();
        m_hidConfig->Profiles().SetActiveName(box->currentText());
    } else {
        box->clear();
        box->addItem(QStringLiteral("Profile 1"));
        box->setCurrentIndex(0);
    }
    CentreItems(box);
    m_profileUpdating = false;
}

void MainWindow::ProfileChanges(uchar profileID, QString name)
{
    if (!ProfileStore::IsProfile(profileID))
        return;
    m_hidConfig->Profiles().SetName(profileID, name);
    if (profileID < ui->comBxProfile->count())
        ui->comBxProfile->setItemText(profileID, name);
    m_hidConfig->Profiles().SetActiveName(ui->comBxProfile->currentText());
}

void MainWindow::on_comBxProfile_currentIndexChanged(int index)
{
    if (!IsExtendedModel() || m_profileUpdating)
        return;
    qDebug() << "on_comBxProfile_currentIndexChanged index:" << index;
    if (!ProfileStore::IsProfile(index))
        return;
    m_hidConfig->RequestStep(49 + index);
    m_hidConfig->Profiles().SetActiveName(ui->comBxProfile->currentText());
    ReloadForProfile(index);
}
