#include "triggerpage.h"

#include "app/fileini.h"
#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui/style.h"
#include "ui_triggerpage.h"
#include "widgets/verprogressbar.h"

#include <QDebug>
#include <algorithm>

TriggerPage::TriggerPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::TriggerPage>()),
      m_settings(std::make_unique<FileINI>())
{
    ui->setupUi(this);
    setFixedSize(1060, 527);
    setMouseTracking(true);

    const QString family = Style::AppFamily();
    const QString text = QStringLiteral("color:white;font:14px \"%1\";").arg(family);
    m_sync = Style::KeepSync(text);
    m_levelSelected = QStringLiteral("QPushButton{border:none;background:transparent;"
                                     "border-image:url(:/Images/QuorelAPP/button/rounded_2.png);}");
    m_levelUnselected =
        QStringLiteral("QPushButton{border:none;background:transparent;"
                       "border-image:url(:/Images/QuorelAPP/button/rounded_1.png);}");
    for (QLabel *label : {ui->label_6, ui->label_7})
        label->setStyleSheet(QStringLiteral("color:white;font:bold 20px \"%1\";").arg(family));
    for (QLabel *label : {ui->lblRT1, ui->lblRT2, ui->lblRT3, ui->lblLT1, ui->lblLT2, ui->lblLT3})
        label->setStyleSheet(QStringLiteral("color:white;font:12px \"%1\";").arg(family));
    ui->lblFocus->setStyleSheet(
        QStringLiteral("background:transparent;border:2px solid white;border-radius:16px;"));
    ui->lblFocus->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->lblFocus->hide();
    SetUpSaveAndReset(ui->lbl_A, ui->lbl_A_2);
    ui->btnKeepSync->setStyleSheet(m_sync.off);

    for (Side side : {Left, Right}) {
        Bar(side)->setUpValue(0);
        Bar(side)->setDownValue(91);
    }
    ShowLevel(Left, 1);
    ShowLevel(Right, 1);
    connect(ui->wdgTriggerL, &VerProgressBar::PosUpValue, this,
            &TriggerPage::getTriggerLDeadZoneStartValue);
    connect(ui->wdgTriggerL, &VerProgressBar::PosDownValue, this,
            &TriggerPage::getTriggerLDeadZoneEndValue);
    connect(ui->wdgTriggerR, &VerProgressBar::PosUpValue, this,
            &TriggerPage::getTriggerRDeadZoneStartValue);
    connect(ui->wdgTriggerR, &VerProgressBar::PosDownValue, this,
            &TriggerPage::getTriggerRDeadZoneEndValue);
}

TriggerPage::~TriggerPage() = default;

PageReads TriggerPage::ReadsBefore(PageLoad) const
{
    auto level = [](uint8_t n) {
        return [n](ControllersCommunication &com) { return com.GetTriggerDeadZone(n, n); };
    };
    if (m_hidConfig->m_noTriggerLevels)
        return {{level(0), 100}};
    return {{level(0), 20}, {level(1), 20}, {level(2), 100}};
}

bool TriggerPage::HasLevels() const
{
    return !m_hidConfig->m_noTriggerLevels;
}

VerProgressBar *TriggerPage::Bar(Side side) const
{
    return side == Left ? ui->wdgTriggerL : ui->wdgTriggerR;
}

QPushButton *TriggerPage::LevelButton(Side side, int level) const
{
    const std::array<QPushButton *, kLevels> left = {ui->btnLT1, ui->btnLT2, ui->btnLT3};
    const std::array<QPushButton *, kLevels> right = {ui->btnRT1, ui->btnRT2, ui->btnRT3};
    return (side == Left ? left : right)[size_t(std::clamp(level, 0, kLevels - 1))];
}

// Loading

void TriggerPage::Reload()
{
    updateTriggerPage();
}

void TriggerPage::updateTriggerPage()
{
    m_updating = true;
    const PROFILE_INFO record = m_hidConfig->Profiles().Active();
    // Lock levels are kept 0-based (T1 = 0), as the device reports and the save writes
    // them; anything else falls back to T1.
    m_locationL = record.triggerLockL < kLevels ? record.triggerLockL : 0;
    m_locationR = record.triggerLockR < kLevels ? record.triggerLockR : 0;
    const int levels = HasLevels() ? kLevels : 1;
    if (!HasLevels())
        m_locationL = m_locationR = 0;
    for (int i = 0; i < levels; ++i) {
        // Device bytes past 100 would put the handles off the bar.
        m_triggerLStrar[size_t(i)] = std::min<uint8_t>(record.triggerLStart[i], 100);
        m_triggerLEnd[size_t(i)] = std::min<uint8_t>(record.triggerLEnd[i], 100);
        m_triggerRStrar[size_t(i)] = std::min<uint8_t>(record.triggerRStart[i], 100);
        m_triggerREnd[size_t(i)] = std::min<uint8_t>(record.triggerREnd[i], 100);
        qDebug() << "right trigger level" << i << m_triggerRStrar[size_t(i)]
                 << m_triggerREnd[size_t(i)];
    }
    for (Side side : {Left, Right})
        for (int level = 0; level < kLevels; ++level) {
            LevelButton(side, level)->setVisible(HasLevels());
            QLabel *caption = findChild<QLabel *>(
                QStringLiteral("lbl%1T%2").arg(side == Left ? 'L' : 'R').arg(level + 1));
            caption->setVisible(HasLevels());
        }
    LoadBar(Left);
    LoadBar(Right);
    ui->wdgTriggerL->placeTextRight();
    qDebug() << "m_locationLR:" << m_locationL << m_locationR;
    ShowLevel(Left, m_locationL);
    ShowLevel(Right, m_locationR);

    m_keepSync = m_settings->SyncCode();
    StyleKeepSync(false);
    m_updating = false;
    QString picture;
    if (m_hidConfig->m_fileProfileModel)
        picture = QStringLiteral("Controller_Back_Trigger_Light.png");
    else if (m_hidConfig->m_Is6102B)
        picture = QStringLiteral("Controller_Back_Trigger_6102B.png");
    else if (m_hidConfig->m_Is6150A)
        picture = QStringLiteral("6150A_2.png");
    else
        picture = QStringLiteral("Controller_Back_Trigger.png");
    ui->lblController->setPixmap(
        QPixmap(QStringLiteral(":/Images/QuorelAPP/background/") + picture));
    if (m_keepSync)
        CopyLeftToRight();

    FocusItem(m_focusIndex, false);
    EndEditing();
    ui->lblFocus->hide();
    m_focusIndex = 0;
    m_hidConfig->RequestUnlockNavigation(true);
}

void TriggerPage::LoadBar(Side side)
{
    const size_t level = Location(side);
    Bar(side)->setUpValue(Start(side)[level]);
    Bar(side)->setDownValue(End(side)[level]);
}

// Levels

void TriggerPage::on_btnRT1_clicked()
{
    SelectLevel(Right, 0);
}

void TriggerPage::on_btnRT2_clicked()
{
    SelectLevel(Right, 1);
}

void TriggerPage::on_btnRT3_clicked()
{
    SelectLevel(Right, 2);
}

void TriggerPage::on_btnLT1_clicked()
{
    SelectLevel(Left, 0);
}

void TriggerPage::on_btnLT2_clicked()
{
    SelectLevel(Left, 1);
}

void TriggerPage::on_btnLT3_clicked()
{
    SelectLevel(Left, 2);
}

void TriggerPage::SelectLevel(Side side, int level)
{
    ShowLevel(side, level);
    LoadBar(side);
    if (m_keepSync) {
        const Side twin = side == Left ? Right : Left;
        ShowLevel(twin, level);
        LoadBar(twin);
    }
}

void TriggerPage::ShowLevel(Side side, int level)
{
    Location(side) = uint8_t(std::clamp(level, 0, kLevels - 1));
    for (int l = 0; l < kLevels; ++l) {
        LevelButton(side, l)->setStyleSheet(l == level ? m_levelSelected : m_levelUnselected);
        LevelButton(side, l)->setChecked(l == level);
    }
}

// Values

void TriggerPage::getTriggerLDeadZoneStartValue(int value)
{
    SetValue(Left, true, value);
}

void TriggerPage::getTriggerLDeadZoneEndValue(int value)
{
    qDebug() << "LEnd:" << value;
    SetValue(Left, false, value);
}

void TriggerPage::getTriggerRDeadZoneStartValue(int value)
{
    SetValue(Right, true, value);
}

void TriggerPage::getTriggerRDeadZoneEndValue(int value)
{
    qDebug() << "Rend:" << value;
    SetValue(Right, false, value);
}

void TriggerPage::SetValue(Side side, bool start, int value)
{
    if (m_updating)
        return;
    const size_t level = Location(side);
    (start ? Start(side) : End(side))[level] = uint8_t(std::clamp(value, 0, 100));
    if (!m_keepSync)
        return;
    // The other trigger moves to this level and takes both of its values.
    const Side twin = side == Left ? Right : Left;
    ShowLevel(twin, int(level));
    Start(twin)[level] = Start(side)[level];
    End(twin)[level] = End(side)[level];
    LoadBar(twin);
}

// Keep-sync

void TriggerPage::on_btnKeepSync_clicked()
{
    m_keepSync = !m_keepSync;
    m_settings->SetSyncCode(m_keepSync);
    StyleKeepSync(m_focusIndex == 7);
    CopyLeftToRight();
}

void TriggerPage::StyleKeepSync(bool focused)
{
    ui->btnKeepSync->setStyleSheet(m_sync.Of(m_keepSync, focused));
}

void TriggerPage::CopyLeftToRight()
{
    m_updating = true;
    m_triggerRStrar = m_triggerLStrar;
    m_triggerREnd = m_triggerLEnd;
    ShowLevel(Right, m_locationL);
    LoadBar(Right);
    m_updating = false;
}

// Save and reset

void TriggerPage::on_btnSave_clicked()
{
    if (!isVisible())
        return;
    Save(m_resetFlag ? 1 : 0);
}

bool TriggerPage::Save(int flag)
{
    EndEditing();
    if (!HasLevels())
        m_locationL = m_locationR = 0;
    const int levels = HasLevels() ? kLevels : 1;
    const PROFILE_INFO record = m_hidConfig->Profiles().EditActive([&](PROFILE_INFO &r) {
        r.triggerLockL = m_locationL;
        r.triggerLockR = m_locationR;
        for (size_t i = 0; i < kLevels; ++i) {
            r.triggerLStart[i] = m_triggerLStrar[i];
            r.triggerLEnd[i] = m_triggerLEnd[i];
            r.triggerRStart[i] = m_triggerRStrar[i];
            r.triggerREnd[i] = m_triggerREnd[i];
        }
    });
    const int profile = m_hidConfig->Profiles().ActiveIndex();
    auto level = [&](uint8_t i) {
        return [&, i] {
            qDebug().noquote() << QString(49, QLatin1Char('*'));
            qDebug() << profile << "11:" << record.triggerLStart[i] << profile
                     << "22:" << record.triggerLEnd[i] << profile
                     << "33:" << record.triggerRStart[i] << profile
                     << "44:" << record.triggerREnd[i];
            return Com().SetTtriggerDeadZone(i, i, record);
        };
    };
    bool taken;
    const QVector<SaveCheck::Section> check = {SaveCheck::Section::TriggerDeadZone};
    if (levels == 1)
        taken = SaveAndNotify({level(0)}, flag, record, check, 0b001);
    else
        taken = SaveAndNotify({level(0), level(1), level(2)}, flag, record, check, 0b111);
    m_resetFlag = false;
    return taken;
}

void TriggerPage::on_btnReset_clicked()
{
    if (!isVisible())
        return;
    m_triggerLStrar.fill(0);
    m_triggerLEnd.fill(0);
    m_triggerRStrar.fill(0);
    m_triggerREnd.fill(0);
    m_locationL = uint8_t(std::min<int>(m_locationL, kLevels - 1));
    m_locationR = uint8_t(std::min<int>(m_locationR, kLevels - 1));
    LoadBar(Left);
    LoadBar(Right);
    ShowLevel(Left, m_locationL);
    ShowLevel(Right, m_locationR);
    // Zero dead zones go to the controller at once, level by level; the save follows.
    const int levels = HasLevels() ? kLevels : 1;
    for (int i = 0; i < levels; ++i) {
        const PROFILE_INFO record = m_hidConfig->Profiles().EditActive([i](PROFILE_INFO &r) {
            r.triggerLStart[i] = r.triggerLEnd[i] = r.triggerRStart[i] = r.triggerREnd[i] = 0;
        });
        Com().WriteAndPause(Com().SetTtriggerDeadZone(uint8_t(i), uint8_t(i), record));
    }
    m_resetFlag = true;
    on_btnSave_clicked();
}
