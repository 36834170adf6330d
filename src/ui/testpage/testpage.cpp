#include "testpage.h"

#include "device/buttonstates.h"
#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui/configpage/motortest.h"
#include "ui/pageids.h"
#include "ui/style.h"
#include "ui_testpage.h"

#include <QDebug>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kTickMs = 10;
// About a screen refresh: input faster than this is shown once per frame.
constexpr int kFrameMs = 16;
constexpr int kHealthMs = 1000;
// A dot never leaves its area: the right x alone is left to the range.
constexpr int kDotCap = 87;
// Movement below this counts as holding the stick steady.
constexpr int kSteady = 200;
// Ticks of a steady hold before the dead zone starts to move, and where it moves on.
constexpr int kSteadyTicks = 99;
constexpr int kMaxDeadZone = 100;
constexpr int kExitHold = 200;
// Entries of the pressed state.
constexpr int kA = 0;
constexpr int kView = 4;
constexpr int kMenu = 5;

const char *const kPictures[TestPage::kIndicators] = {
    "A",  "B",  "X",  "Y",  "View", "Menu",  "LB",   "RB",
    "LT", "RT", "LS", "RS", "Up",   "Right", "Down", "Left",
};

QString IndicatorStyle(const char *name)
{
    // Disabled is the lit look: a pressed button disables its indicator.
    const QString picture = QStringLiteral(":/Images/QuorelAPP/button/Test/") + QLatin1String(name);
    return QStringLiteral("QLabel{border-image:url(") + picture +
           QStringLiteral(".png);}QLabel:disabled{border-image:url(") + picture +
           QStringLiteral("_Pressed.png);}");
}

QString Percent(int value)
{
    return QString::asprintf("%02d%%", value);
}

} // namespace

int TestPage::DotOffset(uint16_t value, int range)
{
    return int(int64_t(value) * range / 65535);
}

TestPage::TestPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::TestPage>()),
      m_motorTest(new MotorTest(this, hidConfig))
{
    ui->setupUi(this);
    m_indicators = {ui->lblBtnA,    ui->lblBtnB,     ui->lblBtnX,    ui->lblBtnY,
                    ui->lblBtnView, ui->lblBtnMenu,  ui->lblBtnLB,   ui->lblBtnRB,
                    ui->lblBtnLT,   ui->lblBtnRT,    ui->lblBtnL,    ui->lblBtnR,
                    ui->lblpadUp,   ui->lblpadRight, ui->lblpadDown, ui->lblpadLeft};
    SetUpStyles();
    ui->lblquitTest->hide();
    ui->wdgVibraTest_2->hide();

    m_calTimer.setInterval(kTickMs);
    connect(&m_calTimer, &QTimer::timeout, this, &TestPage::onCalTime);
    m_deadZoneTimer.setInterval(kTickMs);
    connect(&m_deadZoneTimer, &QTimer::timeout, this, &TestPage::onDeadZoneDeal);
    m_frameTimer.setSingleShot(true);
    connect(&m_frameTimer, &QTimer::timeout, this, &TestPage::ApplyFrame);
    m_healthTimer.setInterval(kHealthMs);
    connect(&m_healthTimer, &QTimer::timeout, this,
            [this] { ui->lblInputHealth->setText(m_hidConfig->InputHealthLine()); });

    connect(hidConfig, &HidConfig::pressButtons, this, &TestPage::TestButtons);
    connect(hidConfig, &HidConfig::stickValue, this, &TestPage::stickValue);
    connect(hidConfig, &HidConfig::triggerValue, this, &TestPage::triggerValue);
    connect(hidConfig, &HidConfig::ExitTest, this, &TestPage::ExitTest);
    // The exit bar follows the long B; the long Y of other pages means nothing here.
    disconnect(hidConfig, &HidConfig::LoadingProgress, this, nullptr);
    connect(hidConfig, &HidConfig::LoadingProgressButtonB, this, &TestPage::LoadingProgress);
}

TestPage::~TestPage() = default;

void TestPage::SetUpStyles()
{
    const QString family = Style::AppFamily();
    for (int i = 0; i < kIndicators; ++i)
        m_indicators[size_t(i)]->setStyleSheet(IndicatorStyle(kPictures[i]));
    const QString white = QStringLiteral("color:white;font:14px %1;").arg(family);
    const QString small = QStringLiteral("color:white;font:12px %1;").arg(family);
    const QString tiny = QStringLiteral("color:#9a9a9a;font:10px %1;").arg(family);
    for (QLabel *label : {ui->lblMotorTest, ui->label_3, ui->lblRecalibra, ui->lblStickLTitle,
                          ui->lblStickRTitle, ui->lblquitTest})
        label->setStyleSheet(white);
    for (QLabel *label :
         {ui->lblDeadZoneL, ui->lblDeadZoneR, ui->lblDeadZoneLTitle, ui->lblDeadZoneRTitle,
          ui->lblMotorPlus, ui->lblTriggerLT, ui->lblTriggerRT})
        label->setStyleSheet(small);
    ui->lblRecalibraHold->setStyleSheet(tiny);
    ui->lblInputHealth->setStyleSheet(QStringLiteral("color:#bdbdbd;font:12px %1;").arg(family));
    for (QLabel *dot : {ui->lblMoveStickL, ui->lblMoveStickR})
        dot->setStyleSheet(QStringLiteral("background-color:#FF5001;border-radius:6px;"));
    ui->lblMotorIcon->setPixmap(QPixmap(QStringLiteral(":/Images/QuorelAPP/Icon/ShapeA.png")));
    ui->lblMotorIcon->setScaledContents(true);
    ui->lbl_A->setPixmap(QPixmap(QStringLiteral(":/Images/QuorelAPP/Icon/ShapeB.png")));
    ui->lbl_A->setScaledContents(true);
    const QString flat = QStringLiteral("QPushButton{color:white;font:14px %1;border:none;"
                                        "background:transparent;text-align:left;}")
                             .arg(family);
    ui->btnBackMainPage->setStyleSheet(flat);
    ui->btnCalibra->setStyleSheet(
        QStringLiteral("QPushButton{color:white;font:12px %1;border:2px solid #5a5a5a;"
                       "border-radius:8px;background:#2b2b2b;}")
            .arg(family));
    const QString bar =
        QStringLiteral("QProgressBar{background:#3a3a3a;border-radius:8px;border:none;}"
                       "QProgressBar::chunk{background:#FF5001;border-radius:8px;}");
    ui->progressBarLT->setStyleSheet(bar);
    ui->progressBarRT->setStyleSheet(bar);
    SetUpSaveAndReset(nullptr, nullptr);
    ui->progressBarLoading_2->setChunkColor(QColor(0xFF, 0x50, 0x01));
}

void TestPage::Reload()
{
    StartTest();
}

void TestPage::StartTest()
{
    qDebug() << "InitializeInterface()";
    const PROFILE_INFO record = m_hidConfig->Profiles().Active();
    m_deadZone = {record.stickOutsideL, record.stickInsideL, record.stickOutsideR,
                  record.stickInsideR};
    ui->wdgStickL->SetRadius(0);
    ui->wdgStickR->SetRadius(0);
    m_testDeadZone = {0, 0};
    m_deadZoneTicks = {0, 0};
    m_stickX = {0, 0};
    if (!m_exitMode) {
        m_stick = {kStickCentre, kStickCentre, kStickCentre, kStickCentre};
        m_motorTest->Stop();
        ApplyFrame();
    }
    ShowDeadZones();
    ui->lblController->setStyleSheet(m_hidConfig->DevicePictureStyle());
    m_hidConfig->RequestUnlockNavigation(false);
    m_exitMode = false;
    ui->progressBarLoading->setValue(0);
    ui->lblquitTest->hide();
    ui->wdgTest_2->show();
    ui->lblInputHealth->setText(m_hidConfig->InputHealthLine());
    m_deadZoneTimer.start();
    m_healthTimer.start();
}

void TestPage::StopTest()
{
    m_motorTest->Stop();
    m_deadZoneTimer.stop();
    m_healthTimer.stop();
    m_calTimer.stop();
    m_calCount = 0;
    if (m_testDeadZone[Left] == 0 && m_testDeadZone[Right] == 0)
        return;
    qDebug() << "ResttoStickDeadZoneState()";
    // The device gets the record's dead zones back.
    if (!Com().SetStickDeadZone(m_hidConfig->Profiles().Active()))
        qDebug() << "stick dead zones not restored";
    m_testDeadZone = {0, 0};
}

// Input

void TestPage::TestButtons(ButtonStates buttons)
{
    if (m_exitMode)
        return;
    for (int i = 0; i < kIndicators; ++i)
        m_pressed[size_t(i)] = buttons[i];
    if (buttons[kView] && buttons[kMenu]) {
        if (!m_calTimer.isActive())
            m_calTimer.start();
    } else {
        m_calTimer.stop();
        m_calCount = 0;
        ui->progressBarLoading_2->setValue(0);
    }
    m_aHeld = buttons[kA];
    // Letting go of A ends the motor test at once, whatever the triggers do.
    if (!m_aHeld)
        m_motorTest->Stop();
    ScheduleFrame();
}

void TestPage::stickValue(ushort stickLx, ushort stickLy, ushort stickRx, ushort stickRy)
{
    if (m_exitMode)
        return;
    m_stick = {stickLx, stickLy, stickRx, stickRy};
    m_moved[Left] = std::abs(int(stickLx) - m_stickX[Left]);
    m_moved[Right] = std::abs(int(stickRx) - m_stickX[Right]);
    m_stickX = {stickLx, stickRx};
    ScheduleFrame();
}

void TestPage::triggerValue(ushort triggerL, ushort triggerR)
{
    if (m_exitMode)
        return;
    m_trigger = {triggerL, triggerR};
    if (isVisible() && m_aHeld)
        m_motorTest->Drive(MotorTest::Strength(triggerL), MotorTest::Strength(triggerR));
    else
        m_motorTest->Stop();
    ScheduleFrame();
}

void TestPage::ScheduleFrame()
{
    if (m_frameTimer.isActive())
        return;
    const qint64 since = m_sinceFrame.isValid() ? m_sinceFrame.elapsed() : kFrameMs;
    if (since >= kFrameMs)
        ApplyFrame();
    else
        m_frameTimer.start(int(kFrameMs - since));
}

void TestPage::ApplyFrame()
{
    m_sinceFrame.restart();
    for (int i = 0; i < kIndicators; ++i)
        m_indicators[size_t(i)]->setEnabled(!m_pressed[size_t(i)]);
    const int range = ui->wdgStickL->width() - ui->lblMoveStickL->width();
    ui->lblMoveStickL->move(std::min(DotOffset(m_stick[0], range), kDotCap),
                            std::min(DotOffset(m_stick[1], range), kDotCap));
    ui->lblMoveStickR->move(DotOffset(m_stick[2], range),
                            std::min(DotOffset(m_stick[3], range), kDotCap));
    ui->progressBarLT->setValue(std::min<int>(m_trigger[Left], 1023));
    ui->progressBarRT->setValue(std::min<int>(m_trigger[Right], 1023));
    m_shownLeft = QPoint(m_stick[0], m_stick[1]);
    emit InputShown();
}

// Held functions

void TestPage::onCalTime()
{
    if (!isVisible())
        return;
    // Both lit: the last report holds View and Menu.
    if (m_pressed[kView] && m_pressed[kMenu])
        ++m_calCount;
    ui->progressBarLoading_2->setValue(m_calCount);
    if (m_calCount < kHoldTicks)
        return;
    m_hidConfig->RequestUnlockNavigation(false);
    m_calTimer.stop();
    m_calCount = 0;
    emit mainWinPageShow(PageId::Calibration);
}

void TestPage::onDeadZoneDeal()
{
    StepDeadZone(Left);
    StepDeadZone(Right);
}

void TestPage::StepDeadZone(Side side)
{
    int &ticks = m_deadZoneTicks[side];
    const int x = m_stick[side == Left ? 0 : 2];
    if (!m_aHeld || x == kStickCentre || m_exitMode) {
        ticks = 0;
        return;
    }
    if (m_moved[side] >= kSteady || ticks <= kSteadyTicks) {
        ++ticks;
        return;
    }
    // Held steady for about a second: one step a tick, right shrinks, left grows.
    ticks = kSteadyTicks + 1;
    int &value = m_testDeadZone[side];
    const int next = std::clamp(value, 0, kMaxDeadZone) + (x > kStickCentre - 1 ? -1 : 1);
    if (next < 0 || next > kMaxDeadZone) {
        value = std::clamp(value, 0, kMaxDeadZone);
        ticks = kSteadyTicks + 2;
        return;
    }
    value = next;
    m_deadZone[side == Left ? InnerL : InnerR] = uint8_t(value);
    ShowDeadZones();
    SendDeadZones();
}

void TestPage::SendDeadZones()
{
    PROFILE_INFO record = m_hidConfig->Profiles().Active();
    record.stickInsideL = m_deadZone[InnerL];
    record.stickOutsideL = m_deadZone[OuterL];
    record.stickInsideR = m_deadZone[InnerR];
    record.stickOutsideR = m_deadZone[OuterR];
    if (!Com().SetStickDeadZone(record))
        qDebug() << "test dead zone not written";
}

void TestPage::ShowDeadZones()
{
    ui->wdgStickL->SetRadius(m_testDeadZone[Left] / 2);
    ui->wdgStickR->SetRadius(m_testDeadZone[Right] / 2);
    ui->lblDeadZoneL->setText(Percent(m_testDeadZone[Left]));
    ui->lblDeadZoneR->setText(Percent(m_testDeadZone[Right]));
    // The readout shows while a live value is in effect on the device.
    ui->wdgVibraTest_2->setVisible(m_testDeadZone[Left] != 0 || m_testDeadZone[Right] != 0);
}

// Leaving

void TestPage::ExitTest()
{
    qDebug() << "ExitTest";
    if (!isVisible())
        return;
    m_hidConfig->RequestUnlockNavigation(true);
    m_exitMode = true;
    m_motorTest->Stop();
    m_calTimer.stop();
    m_calCount = 0;
    // The ended-test line takes the place of the hints, which no longer apply.
    ui->wdgTest_2->hide();
    ui->lblquitTest->show();
}

void TestPage::LoadingProgress(int value)
{
    if (!isVisible())
        return;
    ui->progressBarLoading->setValue(value);
    // B is still held after the exit, when the indicators no longer follow it.
    if (value >= kExitHold)
        ui->lblBtnB->setEnabled(true);
}

void TestPage::on_btnCalibra_clicked()
{
    qDebug() << "enter cal...";
}

void TestPage::on_btnBackMainPage_clicked()
{
    ExitTest();
}

void TestPage::clickPadButtonPadUp(bool)
{
    if (m_exitMode)
        m_hidConfig->RequestUnlockNavigation(true);
}

void TestPage::clickPadButtonPadDown(bool)
{
    if (m_exitMode)
        m_hidConfig->RequestUnlockNavigation(true);
}
