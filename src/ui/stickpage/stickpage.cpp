#include "stickpage.h"

#include "app/fileini.h"
#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui/style.h"
#include "ui_stickpage.h"

#include <QDebug>
#include <algorithm>
#include <cstddef>

namespace {

constexpr int kFirstDeadZoneField = offsetof(PROFILE_INFO, stickInsideL);
constexpr int kFirstReverseField = offsetof(PROFILE_INFO, stickReverseLX);

// Record offset of a dead zone: inner L, outer L, inner R, outer R.
int DeadZoneField(int side, bool outer)
{
    return kFirstDeadZoneField + 2 * side + (outer ? 1 : 0);
}

// The dead-zone tab's item of an inversion button.
int ReverseItem(int side, int axis)
{
    return (side == 0 ? 3 : 9) + axis;
}

QString CurvePicture(int preset)
{
    static const char *const kPictures[] = {
        ":/Images/QuorelAPP/Icon/Response Curve_1.png",
        ":/Images/QuorelAPP/Icon/Response Curve_2.png",
        ":/Images/QuorelAPP/Icon/Response Curve_3.png",
    };
    return QStringLiteral("border-image: url(%1);")
        .arg(QLatin1String(kPictures[std::clamp(preset, 1, 3) - 1]));
}

} // namespace

StickPage::Curve StickPage::PresetCurve(int preset)
{
    return ProfileSettings::PresetCurve(preset);
}

int StickPage::curvePreset(const uint8_t *bytes)
{
    return ProfileSettings::CurvePresetOf(bytes);
}

StickPage::StickPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::StickPage>()),
      m_settings(std::make_unique<FileINI>())
{
    ui->setupUi(this);
    setFixedSize(1060, 460);
    // Any mouse movement over the page takes the controller focus away.
    setMouseTracking(true);
    SetUpStyles();

    // The circles follow every change of their bar; the page only the user's drags.
    for (Side side : {Left, Right}) {
        StickDeadZone *circle = side == Left ? ui->wdgStikcLeft : ui->wdgStikcRight;
        connect(Bar(side), &ProgressBar::PosLeftValue, circle, &StickDeadZone::SetInsideDeadArea);
        connect(Bar(side), &ProgressBar::PosRightValue, circle, &StickDeadZone::SetOutsideDeadArea);
    }
    connect(ui->wdgStickprogbarL, &ProgressBar::PosLeftValueZ, this,
            &StickPage::SetInsideLeftDeadArea);
    connect(ui->wdgStickprogbarL, &ProgressBar::PosRightValueZ, this,
            &StickPage::SetOutsideLeftDeadArea);
    connect(ui->wdgStickprogbarR, &ProgressBar::PosLeftValueZ, this,
            &StickPage::SetInsideRightDeadArea);
    connect(ui->wdgStickprogbarR, &ProgressBar::PosRightValueZ, this,
            &StickPage::SetOutsideRightDeadArea);
    connect(hidConfig, &HidConfig::stickValue, this, &StickPage::OnStickValue);

    ui->btnDeadZone->setEnabled(false);
    for (QWidget *hidden :
         {static_cast<QWidget *>(ui->btnCureTrendsL), static_cast<QWidget *>(ui->btnCureTrendsR),
          static_cast<QWidget *>(ui->wdgStickAxisL), static_cast<QWidget *>(ui->wdgStickAxisR),
          static_cast<QWidget *>(ui->lblCuveFocus)})
        hidden->hide();
    ui->lblCuveFocus->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->wdgStickCurVeL->hide();
    ui->wdgStickCurVeR->hide();
}

StickPage::~StickPage() = default;

PageReads StickPage::ReadsBefore(PageLoad load) const
{
    auto deadZones = [](ControllersCommunication &com) { return com.GetStickDeadZone(); };
    auto axes = [](ControllersCommunication &com) { return com.GetStickAxis(); };
    auto left = [](ControllersCommunication &com) { return com.GetStickCurve(0); };
    auto right = [](ControllersCommunication &com) { return com.GetStickCurve(1); };
    if (load == PageLoad::ProfileChange)
        return {{deadZones, 20}, {axes, 20}, {left, 20}, {right, 220}};
    return {{deadZones, 10}, {left, 10}, {right, 100}};
}

void StickPage::Reload()
{
    updateStickPage();
}

void StickPage::SetUpStyles()
{
    const QString family = Style::AppFamily();
    const QString text = QStringLiteral("color:white;font:18px \"%1\";").arg(family);
    for (QLabel *label : {ui->label_6, ui->label_10, ui->label_27, ui->label_31})
        label->setStyleSheet(QStringLiteral("color:white;font:bold 20px \"%1\";").arg(family));

    m_curveSelected =
        QStringLiteral("QPushButton{background:#FF5001;border:none;border-radius:19px;"
                       "%1}")
            .arg(text);
    m_curveUnselected =
        QStringLiteral("QPushButton{background:#343434;border:none;border-radius:19px;%1}"
                       "QPushButton:hover{border:2px solid #FF5001;}")
            .arg(text);

    m_reverse = Style::RoundOption(text);
    m_sync = Style::KeepSync(text);

    // The disabled tab button is the tab shown.
    const QString tab = QStringLiteral("QPushButton{background:transparent;border-radius:10px;%1"
                                       "border:2px solid %2;}"
                                       "QPushButton:hover{border:2px solid #FF5001;}"
                                       "QPushButton:disabled{border:2px solid #ff5001;"
                                       "background:#51ff5001;}");
    m_tabStyle = tab.arg(text, QStringLiteral("#343434"));
    m_tabFocusStyle = tab.arg(text, QStringLiteral("#FFFFFF"));
    ui->btnDeadZone->setStyleSheet(m_tabStyle);
    ui->btnCurVe->setStyleSheet(m_tabStyle);

    ui->lblCuveFocus->setStyleSheet(
        QStringLiteral("background:transparent;border:2px solid white;border-radius:21px;"));
    SetUpSaveAndReset(ui->lbl_Y, ui->lbl_X);
    for (Side side : {Left, Right}) {
        for (int axis : {0, 1})
            ReverseButton(side, axis)->setStyleSheet(m_reverse.off);
        for (int preset : {Linear, Smooth, Radical, Trends})
            PresetButton(side, preset)->setStyleSheet(m_curveUnselected);
    }
    ui->btnKeepSync->setStyleSheet(m_sync.off);
}

// Loading

void StickPage::updateStickPage()
{
    m_updating = true;
    const PROFILE_INFO record = m_hidConfig->Profiles().Active();
    // The inversion slots below toggle each flag back to the record's value.
    for (Side side : {Left, Right})
        for (int axis : {0, 1})
            Reverse(side, axis) = record.bytes()[kFirstReverseField + 2 * side + axis] == 0;
    // A device byte past 100 would be saved back as it came: bounded here.
    for (Side side : {Left, Right}) {
        Value(side, Inner) = std::min<int>(record.bytes()[DeadZoneField(side, false)], 100);
        Value(side, Outer) = std::min<int>(record.bytes()[DeadZoneField(side, true)], 100);
    }
    LoadBars();

    std::copy(record.stickCurveL, record.stickCurveL + 8, m_curveL.begin());
    std::copy(record.stickCurveR, record.stickCurveR + 8, m_curveR.begin());
    for (Side side : {Left, Right}) {
        const int preset = curvePreset(side == Left ? m_curveL.data() : m_curveR.data());
        if (preset != NoPreset)
            ChoosePreset(side, preset);
        else
            ShowPreset(side, NoPreset);
    }
    on_btnDeadZone_clicked();
    on_btnReverseLX_clicked();
    on_btnReverseLY_clicked();
    on_btnReverseRX_clicked();
    on_btnReverseRY_clicked();

    m_keepSync = m_settings->SyncCode();
    StyleKeepSync(false);
    m_updating = false;
    ui->lblController->setStyleSheet(m_hidConfig->DevicePictureStyle());
    if (m_keepSync) {
        m_reverseLX = record.stickReverseLX != 0;
        m_reverseLY = record.stickReverseLY != 0;
        CopyLeftToRight();
    }

    m_index = 0;
    ui->lblCuveFocus->hide();
    m_pageFocus = false;
    m_hidConfig->RequestUnlockNavigation(false);
    Unfocus(0);
    EndEditing();
    m_hidConfig->RequestUnlockNavigation(true);
}

void StickPage::LoadBars()
{
    for (Side side : {Left, Right}) {
        Bar(side)->setLeftValue(Value(side, Inner));
        Bar(side)->setRightValue(Value(side, Outer));
    }
}

// Dead zones

void StickPage::SetInsideLeftDeadArea(int inSideValue)
{
    qDebug() << "m_inSideLValueSet:" << m_inSideLValue;
    SetDeadArea(Left, Inner, inSideValue);
}

void StickPage::SetOutsideLeftDeadArea(int outSideValue)
{
    SetDeadArea(Left, Outer, outSideValue);
}

void StickPage::SetInsideRightDeadArea(int inSideValue)
{
    SetDeadArea(Right, Inner, inSideValue);
}

void StickPage::SetOutsideRightDeadArea(int outSideValue)
{
    SetDeadArea(Right, Outer, outSideValue);
}

void StickPage::SetDeadArea(Side side, Quantity quantity, int value)
{
    value = std::clamp(value, 0, 100);
    bool &own = side == Left ? m_settingL : m_settingR;
    const bool fromOther = side == Left ? m_settingR : m_settingL;
    auto write = [this](int field, int v) {
        m_hidConfig->Profiles().EditActive(
            [&](PROFILE_INFO &record) { record.bytes()[field] = uint8_t(v); });
    };
    const int field = DeadZoneField(side, quantity == Outer);
    // A call made while the other side mirrors onto this one only stores the value.
    if (fromOther) {
        Value(side, quantity) = value;
        if (!own) {
            write(field, value);
            return;
        }
    }
    own = true;
    Value(side, quantity) = value;
    if (m_keepSync) {
        const Side twin = side == Left ? Right : Left;
        const Quantity otherQuantity = quantity == Inner ? Outer : Inner;
        // The twin takes this value and this stick's other dead zone as recorded.
        const int kept =
            m_hidConfig->Profiles().Active().bytes()[DeadZoneField(side, otherQuantity == Outer)];
        if (quantity == Outer) {
            Bar(twin)->setRightValue(value);
            Bar(twin)->setLeftValue(kept);
        } else {
            Bar(twin)->setLeftValue(value);
            Bar(twin)->setRightValue(kept);
        }
        write(DeadZoneField(twin, otherQuantity == Outer), kept);
        Value(twin, otherQuantity) = kept;
        Value(twin, quantity) = value;
    }
    write(field, value);
    own = false;
}

// Inversion

void StickPage::on_btnReverseLX_clicked()
{
    ToggleReverse(Left, 0);
}

void StickPage::on_btnReverseLY_clicked()
{
    ToggleReverse(Left, 1);
}

void StickPage::on_btnReverseRX_clicked()
{
    ToggleReverse(Right, 0);
}

void StickPage::on_btnReverseRY_clicked()
{
    ToggleReverse(Right, 1);
}

void StickPage::ToggleReverse(Side side, int axis)
{
    bool &flag = Reverse(side, axis);
    flag = !flag;
    StyleReverse(side, axis, IsFocused(ReverseItem(side, axis), 0));
    // While the record is copied in, each flag takes its own value.
    if (m_keepSync && !m_updating) {
        const Side twin = side == Left ? Right : Left;
        Reverse(twin, axis) = flag;
        StyleReverse(twin, axis, IsFocused(ReverseItem(twin, axis), 0));
    }
}

bool StickPage::IsFocused(int deadZoneItem, int curveItem) const
{
    return m_pageFocus && m_index == (m_deadZoneTab ? deadZoneItem : curveItem);
}

void StickPage::StyleReverse(Side side, int axis, bool focused)
{
    const bool on = Reverse(side, axis);
    ReverseButton(side, axis)->setStyleSheet(m_reverse.Of(on, focused));
}

// Curves

void StickPage::on_btnCureveLinearL_clicked()
{
    ChoosePreset(Left, Linear);
}

void StickPage::on_btnCureVeSmoothL_clicked()
{
    ChoosePreset(Left, Smooth);
}

void StickPage::on_btnCurveRadicalL_clicked()
{
    ChoosePreset(Left, Radical);
}

void StickPage::on_btnCureTrendsL_clicked()
{
    ChoosePreset(Left, Trends);
}

void StickPage::on_btnCureveLinearR_clicked()
{
    ChoosePreset(Right, Linear);
}

void StickPage::on_btnCureVeSmoothR_clicked()
{
    ChoosePreset(Right, Smooth);
}

void StickPage::on_btnCurveRadicalR_clicked()
{
    ChoosePreset(Right, Radical);
}

void StickPage::on_btnCureTrendsR_clicked()
{
    ChoosePreset(Right, Trends);
}

void StickPage::ChoosePreset(Side side, int preset)
{
    ShowPreset(side, preset);
    (side == Left ? m_curveL : m_curveR) = PresetCurve(preset);
    m_curveSide = uint8_t(side);
    if (preset == Trends || !m_keepSync || m_updating)
        return;
    const Side twin = side == Left ? Right : Left;
    ShowPreset(twin, preset);
    (twin == Left ? m_curveL : m_curveR) = PresetCurve(preset);
    m_curveSide = uint8_t(twin);
}

void StickPage::ShowPreset(Side side, int preset)
{
    for (int p : {Linear, Smooth, Radical, Trends}) {
        QPushButton *button = PresetButton(side, p);
        button->setStyleSheet(p == preset ? m_curveSelected : m_curveUnselected);
        button->setChecked(p == preset);
    }
    QWidget *picture = side == Left ? ui->wdgStickAxisL1 : ui->wdgStickAxisR1;
    // A curve of no preset has no picture: an empty frame stands for it.
    picture->setStyleSheet(preset >= Linear && preset <= Radical
                               ? CurvePicture(preset)
                               : QStringLiteral("border:2px solid #343434;border-radius:12px;"));
}

// Keep-sync and tabs

void StickPage::on_btnKeepSync_clicked()
{
    m_keepSync = !m_keepSync;
    m_settings->SetSyncCode(m_keepSync);
    StyleKeepSync(IsFocused(6, 5));
    CopyLeftToRight();
}

void StickPage::StyleKeepSync(bool focused)
{
    ui->btnKeepSync->setStyleSheet(m_sync.Of(m_keepSync, focused));
}

void StickPage::CopyLeftToRight()
{
    m_updating = true;
    m_outSideRValue = m_outSideLValue;
    m_inSideRValue = m_inSideLValue;
    m_reverseRX = !m_reverseLX;
    m_reverseRY = !m_reverseLY;
    m_hidConfig->Profiles().EditActive([this](PROFILE_INFO &record) {
        record.stickInsideL = uint8_t(m_inSideLValue);
        record.stickOutsideL = uint8_t(m_outSideLValue);
        record.stickInsideR = uint8_t(m_inSideRValue);
        record.stickOutsideR = uint8_t(m_outSideRValue);
    });
    m_curveR = m_curveL;
    const int preset = curvePreset(m_curveR.data());
    if (preset != NoPreset)
        ChoosePreset(Right, preset);
    else
        ShowPreset(Right, NoPreset);
    on_btnReverseRX_clicked();
    on_btnReverseRY_clicked();
    StyleReverse(Left, 0, IsFocused(ReverseItem(Left, 0), 0));
    StyleReverse(Left, 1, IsFocused(ReverseItem(Left, 1), 0));
    LoadBars();
    m_updating = false;
}

void StickPage::on_btnDeadZone_clicked()
{
    Unfocus(m_index);
    ui->btnDeadZone->setEnabled(false);
    ui->btnCurVe->setEnabled(true);
    ui->wdgStickCurVeL->hide();
    ui->wdgStickCurVeR->hide();
    ui->wdgDeadZoneL->show();
    ui->wdgDeadZoneR->show();
    m_deadZoneTab = true;
    m_index = 0;
    emit SetCurExplanation(QStringLiteral("Adjust the digital travel distance as well as "
                                          "inverting the X or Y-Axis of your sticks in this "
                                          "section."));
}

void StickPage::on_btnCurVe_clicked()
{
    Unfocus(m_index);
    EndEditing();
    ui->btnCurVe->setEnabled(false);
    ui->btnDeadZone->setEnabled(true);
    ui->wdgDeadZoneL->hide();
    ui->wdgDeadZoneR->hide();
    ui->wdgStickCurVeL->show();
    ui->wdgStickCurVeR->show();
    m_deadZoneTab = false;
    m_index = 0;
    emit SetCurExplanation(QStringLiteral("Adjust the response curve of your sticks in this "
                                          "section."));
}

// Save and reset

void StickPage::WriteMembersToRecord()
{
    m_hidConfig->Profiles().EditActive([this](PROFILE_INFO &record) {
        record.stickReverseLX = m_reverseLX;
        record.stickReverseLY = m_reverseLY;
        record.stickReverseRX = m_reverseRX;
        record.stickReverseRY = m_reverseRY;
        record.stickInsideL = uint8_t(m_inSideLValue);
        record.stickOutsideL = uint8_t(m_outSideLValue);
        record.stickInsideR = uint8_t(m_inSideRValue);
        record.stickOutsideR = uint8_t(m_outSideRValue);
        std::copy(m_curveL.begin(), m_curveL.end(), record.stickCurveL);
        std::copy(m_curveR.begin(), m_curveR.end(), record.stickCurveR);
        record.stickCurveSide = 1;
    });
}

void StickPage::on_btnSave_clicked()
{
    if (m_editing)
        EndEditing();
    if (!isVisible())
        return;
    Save(m_resetFlag ? 1 : 0);
}

bool StickPage::Save(int flag)
{
    WriteMembersToRecord();
    const PROFILE_INFO record = m_hidConfig->Profiles().Active();
    ControllersCommunication &com = Com();
    const bool taken = SaveAndNotify(
        {[&] { return com.SetStickCurve(0, record); }, [&] { return com.SetStickCurve(1, record); },
         [&] { return com.SetStickAxis(record); }, [&] { return com.SetStickDeadZone(record); }},
        flag, record,
        {SaveCheck::Section::StickCurve, SaveCheck::Section::StickAxis,
         SaveCheck::Section::StickDeadZone});
    if (m_keepSync)
        CopyLeftToRight();
    m_editing = false;
    m_resetFlag = false;
    return taken;
}

void StickPage::on_btnReset_clicked()
{
    if (!isVisible())
        return;
    m_reverseLX = m_reverseLY = m_reverseRX = m_reverseRY = false;
    m_inSideLValue = m_outSideLValue = m_inSideRValue = m_outSideRValue = 0;
    // The dead zones go to the device at once; the rest follows with the save.
    const PROFILE_INFO record = m_hidConfig->Profiles().EditActive([](PROFILE_INFO &r) {
        r.stickInsideL = r.stickOutsideL = r.stickInsideR = r.stickOutsideR = 0;
    });
    Com().WriteAndPause(Com().SetStickDeadZone(record));
    LoadBars();
    on_btnCureveLinearL_clicked();
    on_btnCureveLinearR_clicked();
    on_btnDeadZone_clicked();
    for (Side side : {Left, Right})
        for (int axis : {0, 1})
            StyleReverse(side, axis, false);
    m_resetFlag = true;
    on_btnSave_clicked();
    LoadBars();
}

// Live stick positions in the circles

void StickPage::OnStickValue(ushort lx, ushort ly, ushort rx, ushort ry)
{
    if (!isVisible())
        return;
    ui->wdgStikcLeft->SetStickPosition(lx, ly);
    ui->wdgStikcRight->SetStickPosition(rx, ry);
}

// Members by side

ProgressBar *StickPage::Bar(Side side) const
{
    return side == Left ? ui->wdgStickprogbarL : ui->wdgStickprogbarR;
}

int &StickPage::Value(Side side, Quantity quantity)
{
    if (side == Left)
        return quantity == Inner ? m_inSideLValue : m_outSideLValue;
    return quantity == Inner ? m_inSideRValue : m_outSideRValue;
}

bool &StickPage::Reverse(Side side, int axis)
{
    if (side == Left)
        return axis == 0 ? m_reverseLX : m_reverseLY;
    return axis == 0 ? m_reverseRX : m_reverseRY;
}

QPushButton *StickPage::ReverseButton(Side side, int axis) const
{
    if (side == Left)
        return axis == 0 ? ui->btnReverseLX : ui->btnReverseLY;
    return axis == 0 ? ui->btnReverseRX : ui->btnReverseRY;
}

QPushButton *StickPage::PresetButton(Side side, int preset) const
{
    const std::array<QPushButton *, 4> left = {ui->btnCureveLinearL, ui->btnCureVeSmoothL,
                                               ui->btnCurveRadicalL, ui->btnCureTrendsL};
    const std::array<QPushButton *, 4> right = {ui->btnCureveLinearR, ui->btnCureVeSmoothR,
                                                ui->btnCurveRadicalR, ui->btnCureTrendsR};
    const size_t index = size_t(std::clamp(preset, int(Linear), int(Trends)) - Linear);
    return side == Left ? left[index] : right[index];
}
