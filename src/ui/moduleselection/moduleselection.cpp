#include "moduleselection.h"

#include "device/hidconfig.h"
#include "ui/pageids.h"
#include "ui/style.h"
#include "ui_moduleselection.h"

#include <QMovie>
#include <algorithm>

namespace {

// Page opened by each module, in index order.
constexpr int kPageOf[ModuleSelection::kModules] = {
    PageId::Test,    PageId::Mapping,   PageId::Turbo,    PageId::Stick,
    PageId::Trigger, PageId::Vibration, PageId::Profiles, PageId::Lighting,
};

} // namespace

ModuleSelection::ModuleSelection(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::ModuleSelection>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
    m_buttons = {ui->btnCalibTest, ui->btnMapping, ui->btnTurbo,   ui->btnStick,
                 ui->btnTrigger,   ui->btnVibrate, ui->btnProfile, ui->btnLight};
    const QString family = Style::AppFamily();
    m_normalStyle = Style::ModuleButton(family, false);
    m_focusStyle = Style::ModuleButton(family, true);
    for (int i = 0; i < kModules; ++i)
        m_buttons[size_t(i)]->setIcon(QIcon(Style::ModuleIcon(i)));
    ui->btnSelect->setStyleSheet(Style::HintButton(family));
    ui->btnBack->setStyleSheet(Style::HintButton(family));
    ui->lbl_A->setPixmap(QPixmap(QStringLiteral(":/Images/QuorelAPP/Icon/ShapeA.png")));
    ui->lbl_Y->setPixmap(QPixmap(QStringLiteral(":/Images/QuorelAPP/Icon/ShapeB.png")));
    m_loading = new QMovie(QStringLiteral(":/Images/QuorelAPP/loading.gif"), QByteArray(), this);
    m_loading->setScaledSize(ui->lblLoading->size());
    ui->lblLoading->setMovie(m_loading);
    ui->btnCalibTest->setText(tr("测试/校准"));
    ui->btnMapping->setText(tr("映射"));
    ui->btnStick->setText(tr("摇杆"));
    ui->btnTrigger->setText(tr("扳机"));
    ui->btnVibrate->setText(tr("震动"));
    ui->btnLight->setText(tr("灯光"));
    ui->btnSelect->setText(tr("选择"));
    ui->btnBack->setText(tr("返回"));

    connect(hidConfig, &HidConfig::pressButtonA, this, &ModuleSelection::on_btnSelect_clicked);
    connect(hidConfig, &HidConfig::pressButtonB, this, &ModuleSelection::on_btnBack_clicked);
    connect(hidConfig, &HidConfig::pressButtonLeft, this, &ModuleSelection::clickPadButtonPadLeft);
    connect(hidConfig, &HidConfig::pressButtonRight, this,
            &ModuleSelection::clickPadButtonPadRight);
    connect(hidConfig, &HidConfig::pressButtonUp, this, &ModuleSelection::clickPadButtonPadUp);
    connect(hidConfig, &HidConfig::pressButtonDown, this, &ModuleSelection::clickPadButtonPadDown);
    connect(hidConfig, &HidConfig::ReadFinished, this, &ModuleSelection::iniNavUI);
    ResetPage();
}

ModuleSelection::~ModuleSelection() = default;

int ModuleSelection::MaxIndex() const
{
    return m_hidConfig->m_fileProfileModel ? 7 : 5;
}

void ModuleSelection::ResetPage()
{
    ui->btnProfile->setVisible(m_hidConfig->m_fileProfileModel);
    ui->btnLight->setVisible(m_hidConfig->m_fileProfileModel);
    m_index = 0;
    m_navActive = false;
    m_hidConfig->RequestUnlockNavigation(false);
    for (QAbstractButton *button : m_buttons)
        button->setStyleSheet(m_normalStyle);
    ui->wdgLoading->show();
    m_loading->start();
    ui->lblController->setStyleSheet(m_hidConfig->DevicePictureStyle());
}

void ModuleSelection::Highlight(int i)
{
    i = std::clamp(i, 0, MaxIndex());
    for (QAbstractButton *button : m_buttons)
        button->setStyleSheet(m_normalStyle);
    m_buttons[size_t(i)]->setStyleSheet(m_focusStyle);
    m_index = i;
}

void ModuleSelection::iniNavUI()
{
    m_hidConfig->RequestUnlockNavigation(false);
    if (isVisible())
        Highlight(m_index);
    m_navActive = true;
    m_loading->stop();
    ui->wdgLoading->hide();
}

void ModuleSelection::Move(int delta)
{
    if (m_navActive && isVisible())
        Highlight(m_index + delta);
}

void ModuleSelection::clickPadButtonPadLeft(bool)
{
    Move(-1);
}

void ModuleSelection::clickPadButtonPadRight(bool)
{
    Move(+1);
}

void ModuleSelection::clickPadButtonPadUp(bool)
{
    Move(-3);
}

void ModuleSelection::clickPadButtonPadDown(bool)
{
    Move(+3);
}

void ModuleSelection::on_btnSelect_clicked()
{
    if (!isVisible() || !m_navActive)
        return;
    m_hidConfig->RequestUnlockNavigation(false);
    emit mainWinPageShow(kPageOf[m_index]);
}

void ModuleSelection::on_btnBack_clicked()
{
    if (!isVisible())
        return;
    hide();
    emit DevicePage();
}

void ModuleSelection::Open(int i)
{
    m_index = i;
    on_btnSelect_clicked();
}

void ModuleSelection::on_btnCalibTest_clicked()
{
    Open(0);
}

void ModuleSelection::on_btnMapping_clicked()
{
    Open(1);
}

void ModuleSelection::on_btnTurbo_clicked()
{
    Open(2);
}

void ModuleSelection::on_btnStick_clicked()
{
    Open(3);
}

void ModuleSelection::on_btnTrigger_clicked()
{
    Open(4);
}

void ModuleSelection::on_btnVibrate_clicked()
{
    Open(5);
}

void ModuleSelection::on_btnProfile_clicked()
{
    Open(6);
}

void ModuleSelection::on_btnLight_clicked()
{
    Open(7);
}
