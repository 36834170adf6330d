#include "vibratepage.h"

#include "app/fileini.h"
#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui/configpage/motortest.h"
#include "ui/style.h"
#include "ui_vibratepage.h"

#include <QDebug>
#include <algorithm>

namespace {

// Panel rows: the kind of motor shown sits in the upper one.
constexpr int kUpperPanelY = 90;
constexpr int kLowerPanelY = 170;

uint8_t Percent(int value)
{
    return uint8_t(std::clamp(value, 0, 100));
}

} // namespace

VibratePage::VibratePage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::VibratePage>()),
      m_settings(std::make_unique<FileINI>()), m_motorTest(new MotorTest(this, hidConfig))
{
    ui->setupUi(this);
    setFixedSize(1060, 460);
    for (ProgressBar *bar :
         {ui->wdgMotorL, ui->wdgTriggerMotorL, ui->wdgTriggerMotorR, ui->wdgMotorR})
        bar->setTwoHandles(false);
    ui->wdgTriggerMotorL->setRightValue(20);
    SetUpStyles();
    // Any mouse movement over the page takes the controller highlights away.
    setMouseTracking(true);

    connect(ui->wdgTriggerMotorL, &ProgressBar::PosRightValue, this,
            &VibratePage::LeftTriggerVibrationStrength);
    connect(ui->wdgTriggerMotorR, &ProgressBar::PosRightValue, this,
            &VibratePage::RightTriggerVibrationStrength);
    connect(ui->wdgMotorL, &ProgressBar::PosRightValue, this,
            &VibratePage::LeftMotorVibrationStrength);
    connect(ui->wdgMotorR, &ProgressBar::PosRightValue, this,
            &VibratePage::RightMotorVibrationStrength);
    connect(hidConfig, &HidConfig::triggerValue, this, &VibratePage::triggerValue);
}

VibratePage::~VibratePage() = default;

bool VibratePage::IsTesting() const
{
    return m_motorTest->IsRunning();
}

PageReads VibratePage::ReadsBefore(PageLoad load) const
{
    if (load == PageLoad::ProfileChange)
        return {{[](ControllersCommunication &com) {
                     qDebug() << "m_hidConfig->GetControllerComHandle()->GetVibRationStrength() "
                                 "on_comBxProfile_currentIndexChanged";
                     return com.GetVibRationStrength();
                 },
                 120}};
    return {{[](ControllersCommunication &com) { return com.GetVibRationStrength(); }, 100}};
}

void VibratePage::Reload()
{
    updateVibratePage();
}

void VibratePage::SetUpStyles()
{
    const QString family = Style::AppFamily();
    const QString caption = QStringLiteral("color:white;font:12px \"%1\";").arg(family);
    for (QLabel *label : {ui->label_2, ui->label_3, ui->label_4, ui->label_5})
        label->setStyleSheet(caption);
    const QString hint = QStringLiteral("color:white;font:16px \"%1\";").arg(family);
    ui->lblLMotorTestText->setStyleSheet(hint);
    ui->lblRMotorTestText->setStyleSheet(hint);
    const QPixmap plus(QStringLiteral(":/Images/QuorelAPP/Icon/Plus icon.png"));
    ui->lblLTIcon->setPixmap(QPixmap(QStringLiteral(":/Images/QuorelAPP/Icon/LT Fill max.png")));
    ui->lblRTIcon->setPixmap(QPixmap(QStringLiteral(":/Images/QuorelAPP/Icon/RT Fill.png")));
    ui->lblPlusL->setPixmap(plus);
    ui->lblPlusR->setPixmap(plus);

    const QString text = QStringLiteral("color:white;font:18px \"%1\";").arg(family);
    m_sync = Style::KeepSync(text);
    ui->btnKeepSync->setStyleSheet(m_sync.off);

    SetUpSaveAndReset(ui->lbl_A, ui->lbl_A_2);
}

// Loading

void VibratePage::updateVibratePage()
{
    m_updating = true;
    const PROFILE_INFO record = m_hidConfig->Profiles().Active();
    // A device byte past 100 would be saved back as it came: bounded here.
    m_vibrationLT = Percent(record.triggerVibrationL);
    m_vibrationRT = Percent(record.triggerVibrationR);
    m_vibrationLM = Percent(record.motorVibrationL);
    m_vibrationRM = Percent(record.motorVibrationR);
    ui->wdgTriggerMotorL->setRightValue(m_vibrationLT);
    ui->wdgTriggerMotorR->setRightValue(m_vibrationRT);
    ui->wdgMotorL->setRightValue(m_vibrationLM);
    ui->wdgMotorR->setRightValue(m_vibrationRM);

    m_keepSync = m_settings->SyncCode();
    StyleKeepSync(false);
    ShowMotorPanels(false);
    m_updating = false;
    ui->lblController->setStyleSheet(m_hidConfig->DevicePictureStyle());
    if (m_keepSync)
        CopyLeftToRight();
    SetFocusIndex(0);
}

void VibratePage::ShowMotorPanels(bool triggerMotors)
{
    for (QWidget *panel : {ui->wdgLeftMotor, ui->wdgRightMotor}) {
        panel->move(panel->x(), triggerMotors ? kLowerPanelY : kUpperPanelY);
        panel->setVisible(!triggerMotors);
    }
    for (QWidget *panel : {ui->wdgLeftTriggerMotor, ui->wdgRightTriggerMotor}) {
        panel->move(panel->x(), triggerMotors ? kUpperPanelY : kLowerPanelY);
        panel->setVisible(triggerMotors);
    }
}

// Strengths and keep-sync

void VibratePage::LeftTriggerVibrationStrength(int value)
{
    m_vibrationLT = Percent(value);
}

void VibratePage::RightTriggerVibrationStrength(int value)
{
    m_vibrationRT = Percent(value);
}

void VibratePage::LeftMotorVibrationStrength(int value)
{
    m_vibrationLM = Percent(value);
    // Setting the right bar calls RightMotorVibrationStrength, which must not mirror back.
    if (!m_keepSync || m_updating || m_mirroringRight)
        return;
    m_mirroringLeft = true;
    ui->wdgMotorR->setRightValue(m_vibrationLM);
    m_mirroringLeft = false;
}

void VibratePage::RightMotorVibrationStrength(int value)
{
    m_vibrationRM = Percent(value);
    if (!m_keepSync || m_updating || m_mirroringLeft)
        return;
    m_mirroringRight = true;
    ui->wdgMotorL->setRightValue(m_vibrationRM);
    m_mirroringRight = false;
}

void VibratePage::on_btnKeepSync_clicked()
{
    m_keepSync = !m_keepSync;
    m_settings->SetSyncCode(m_keepSync);
    CopyLeftToRight();
    StyleKeepSync(false);
    SetFocusIndex(3);
}

void VibratePage::StyleKeepSync(bool focused)
{
    const QString &style = m_sync.Of(m_keepSync, focused);
    // Mouse movement restyles on every event: re-polishing an unchanged button is wasted.
    if (ui->btnKeepSync->styleSheet() != style)
        ui->btnKeepSync->setStyleSheet(style);
}

void VibratePage::CopyLeftToRight()
{
    m_updating = true;
    m_vibrationRM = m_vibrationLM;
    m_vibrationRT = m_vibrationLT;
    ui->wdgTriggerMotorR->setRightValue(m_vibrationRT);
    ui->wdgMotorR->setRightValue(m_vibrationRM);
    m_updating = false;
}

// Save and reset

void VibratePage::on_btnSave_clicked()
{
    if (!isVisible())
        return;
    const PROFILE_INFO record = m_hidConfig->Profiles().EditActive([this](PROFILE_INFO &r) {
        r.triggerVibrationL = m_vibrationLT;
        r.triggerVibrationR = m_vibrationRT;
        r.motorVibrationL = m_vibrationLM;
        r.motorVibrationR = m_vibrationRM;
    });
    ControllersCommunication &com = Com();
    // A motor test report may have gone out just before: keep the protocol's distance to it.
    com.WriteAndPause(true);
    SaveAndNotify({[&] { return com.SetVibrationStrength(record); }}, m_resetFlag ? kReset : kSaved,
                  record, {SaveCheck::Section::Vibration});
    m_resetFlag = false;
    qDebug() << "avle";
}

void VibratePage::on_btnReset_clicked()
{
    if (!isVisible())
        return;
    // The bars tell the strength slots; the members follow them.
    for (ProgressBar *bar :
         {ui->wdgTriggerMotorL, ui->wdgTriggerMotorR, ui->wdgMotorL, ui->wdgMotorR})
        bar->setRightValue(100);
    m_vibrationLT = m_vibrationRT = m_vibrationLM = m_vibrationRM = 100;
    m_resetFlag = true;
    on_btnSave_clicked();
}

// Motor test

void VibratePage::triggerValue(ushort triggerL, ushort triggerR)
{
    m_motorTest->Drive(MotorTest::Strength(triggerL), MotorTest::Strength(triggerR));
}

// Controller focus: 0 the navigation column, 1 the left motor bar, 2 the right motor bar,
// 3 keep-sync. A on a bar edits it with Left and Right in steps of 1 %.

void VibratePage::SetFocusIndex(int index)
{
    ui->wdgMotorL->setRightFocus(false);
    ui->wdgMotorR->setRightFocus(false);
    StyleKeepSync(false);
    m_focusIndex = std::clamp(index, 0, 3);
    switch (m_focusIndex) {
    case 1:
        ui->wdgMotorL->setRightFocus(true);
        break;
    case 2:
        ui->wdgMotorR->setRightFocus(true);
        break;
    case 3:
        StyleKeepSync(true);
        break;
    default:
        EndEditing();
        m_hidConfig->RequestUnlockNavigation(true);
        break;
    }
}

void VibratePage::EndEditing()
{
    m_editing = false;
    ui->wdgMotorL->setEditing(false);
    ui->wdgMotorR->setEditing(false);
}

void VibratePage::EditStep(int delta)
{
    ProgressBar *bar = m_focusIndex == 1   ? ui->wdgMotorL
                       : m_focusIndex == 2 ? ui->wdgMotorR
                                           : nullptr;
    if (!bar)
        return;
    const int value = std::clamp(bar->rightValue() + delta, 0, 100);
    // The bar's signal updates the strength and, with keep-sync, the other bar.
    if (value != bar->rightValue())
        bar->setRightValue(value);
}

void VibratePage::clickPadButtonPadLeft(bool)
{
    m_hidConfig->RequestUnlockNavigation(false);
    if (m_editing) {
        EditStep(-1);
        return;
    }
    switch (m_focusIndex) {
    case 0:
        // Already at the column: it keeps the controller.
        m_hidConfig->RequestUnlockNavigation(true);
        break;
    case 1:
        SetFocusIndex(0);
        break;
    default:
        SetFocusIndex(1);
        break;
    }
}

void VibratePage::clickPadButtonPadRight(bool)
{
    if (m_editing) {
        EditStep(1);
        return;
    }
    m_hidConfig->RequestUnlockNavigation(false);
    SetFocusIndex(m_focusIndex == 0 ? 1 : 2);
}

void VibratePage::clickPadButtonPadUp(bool)
{
    if (!m_editing)
        SetFocusIndex(m_focusIndex);
}

void VibratePage::clickPadButtonPadDown(bool)
{
    if (m_editing)
        return;
    SetFocusIndex(m_focusIndex == 1 || m_focusIndex == 2 ? 3 : m_focusIndex);
}

void VibratePage::clickPadButtonA(bool)
{
    if (m_editing) {
        EndEditing();
        return;
    }
    switch (m_focusIndex) {
    case 1:
    case 2:
        m_editing = true;
        (m_focusIndex == 1 ? ui->wdgMotorL : ui->wdgMotorR)->setEditing(true);
        break;
    case 3:
        on_btnKeepSync_clicked();
        break;
    default:
        break;
    }
}

void VibratePage::mouseMoveEvent(QMouseEvent *event)
{
    // The mouse takes over the look; focus index and editing stay for the next key.
    for (ProgressBar *bar : {ui->wdgMotorL, ui->wdgMotorR}) {
        bar->setRightFocus(false);
        bar->setEditing(false);
    }
    StyleKeepSync(false);
    m_hidConfig->RequestUnlockNavigation(true);
    m_hidConfig->RequestUnlockNavigation(false);
    ConfigPage::mouseMoveEvent(event);
}
