#include "turbopage.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "protocol/profilesettings.h"
#include "ui/style.h"
#include "ui_turbopage.h"

#include <QDebug>
#include <algorithm>

static_assert(TureboPage::kRows == ProfileSettings::kTurboButtons, "one row per turbo bit");

uint8_t TureboPage::BitOfRow(int row)
{
    return row >= 1 && row <= kRows ? ProfileSettings::kTurbo[row - 1].bit : 0;
}

TureboPage::TureboPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::TureboPage>())
{
    ui->setupUi(this);
    setFixedSize(1060, 460);
    setMouseTracking(true);
    m_rows = {{{ui->lbl_A, ui->lblAast_A, ui->btnTurboA},
               {ui->lbl_B, ui->lblAast_B, ui->btnTurboB},
               {ui->lbl_X, ui->lblAast_X, ui->btnTurboX},
               {ui->lbl_Y, ui->lblAast_Y, ui->btnTurboY},
               {ui->lbl_RB, ui->lblAast_RB, ui->btnTurboRB},
               {ui->lbl_LB, ui->lblAast_LB, ui->btnTurboLB},
               {ui->lbl_LT, ui->lblAast_LT, ui->btnTurboLT},
               {ui->lbl_RT, ui->lblAast_RT, ui->btnTurboRT}}};

    const QString family = Style::AppFamily();
    const QString toggle =
        QStringLiteral("QPushButton{background:transparent;border-radius:17px;"
                       "qproperty-icon:url(%1);qproperty-iconSize:60px 32px;border:2px solid %2;}"
                       "QPushButton:hover{border:2px solid #FF5001;}");
    const QString on = QStringLiteral(":/Images/QuorelAPP/button/Keep Sync Bt_1.png");
    const QString off = QStringLiteral(":/Images/QuorelAPP/button/Keep Sync Bt_2.png");
    const QString onFocus = QStringLiteral(":/Images/QuorelAPP/button/Keep Sync Bt_3.png");
    m_switchOn = toggle.arg(on, QStringLiteral("transparent"));
    m_switchOff = toggle.arg(off, QStringLiteral("transparent"));
    m_switchOnFocus = toggle.arg(onFocus, QStringLiteral("transparent"));
    m_switchOffFocus = toggle.arg(off, QStringLiteral("white"));
    m_rowNormal = QStringLiteral("color:white;font:18px \"%1\";").arg(family);
    m_rowHighlighted = QStringLiteral("color:#FF5001;font:bold 18px \"%1\";").arg(family);
    const QString header = QStringLiteral("color:#bdbdbd;font:16px \"%1\";").arg(family);
    ui->label_47->setStyleSheet(header);
    ui->label_49->setStyleSheet(header);
    SetUpSaveAndReset(ui->lbl_A_2, ui->lbl_A_3);
    ShowMask(0);
}

TureboPage::~TureboPage() = default;

PageReads TureboPage::ReadsBefore(PageLoad load) const
{
    const PageRead turbo{[](ControllersCommunication &com) { return com.GetTurbo(); },
                         load == PageLoad::Show   ? 100
                         : load == PageLoad::Poll ? 20
                                                  : 120};
    return {turbo};
}

// Loading

void TureboPage::Reload()
{
    updateTurboPage();
}

void TureboPage::updateTurboPage()
{
    m_loading = true;
    ShowMask(m_hidConfig->Profiles().Active().turboMask);
    m_loading = false;
    m_index = 1;
    ui->lblController->setStyleSheet(m_hidConfig->DevicePictureStyle());
    m_hidConfig->RequestUnlockNavigation(true);
}

void TureboPage::PollRefresh()
{
    const uint8_t mask = m_hidConfig->Profiles().Active().turboMask;
    if (mask != m_maskCopy)
        ShowMask(mask);
}

void TureboPage::SaveNotConfirmed()
{
    // What the controller holds is the poll's reference from now on, so that the next
    // poll does not replace the switches the player set with it.
    m_maskCopy = m_hidConfig->Profiles().Active().turboMask;
}

void TureboPage::ShowMask(uint8_t mask)
{
    m_mask = m_maskCopy = mask;
    for (int row = 1; row <= kRows; ++row) {
        m_on[size_t(row - 1)] = (mask & BitOfRow(row)) != 0;
        StyleSwitch(row);
    }
    Highlight(0);
}

// Switches

void TureboPage::on_btnTurboA_clicked()
{
    Toggle(1);
}

void TureboPage::on_btnTurboB_clicked()
{
    Toggle(2);
}

void TureboPage::on_btnTurboX_clicked()
{
    Toggle(3);
}

void TureboPage::on_btnTurboY_clicked()
{
    Toggle(4);
}

void TureboPage::on_btnTurboRB_clicked()
{
    Toggle(5);
}

void TureboPage::on_btnTurboLB_clicked()
{
    Toggle(6);
}

void TureboPage::on_btnTurboLT_clicked()
{
    Toggle(7);
}

void TureboPage::on_btnTurboRT_clicked()
{
    Toggle(8);
}

void TureboPage::Toggle(int row)
{
    bool &on = m_on[size_t(row - 1)];
    on = !on;
    if (on)
        m_mask = uint8_t(m_mask | BitOfRow(row));
    else
        m_mask = uint8_t(m_mask & ~BitOfRow(row));
    StyleSwitch(row);
    Highlight(row);
}

void TureboPage::StyleSwitch(int row)
{
    StyleSwitch(row, m_pageFocus && m_index == row);
}

void TureboPage::StyleSwitch(int row, bool focused)
{
    const bool on = m_on[size_t(row - 1)];
    m_rows[size_t(row - 1)].button->setStyleSheet(
        focused ? (on ? m_switchOnFocus : m_switchOffFocus) : (on ? m_switchOn : m_switchOff));
}

void TureboPage::Highlight(int row)
{
    for (int r = 1; r <= kRows; ++r) {
        const QString &style = r == row ? m_rowHighlighted : m_rowNormal;
        m_rows[size_t(r - 1)].name->setStyleSheet(style);
        m_rows[size_t(r - 1)].arrow->setStyleSheet(style);
    }
}

// Save and reset

void TureboPage::on_btnSave_clicked()
{
    if (!isVisible() || m_mask == m_hidConfig->Profiles().Active().turboMask)
        return;
    const uint8_t mask = m_mask;
    const PROFILE_INFO record =
        m_hidConfig->Profiles().EditActive([mask](PROFILE_INFO &r) { r.turboMask = mask; });
    m_maskCopy = mask;
    SaveAndNotify({[&] { return Com().SetTurbo(record); }}, kSaved, record,
                  {SaveCheck::Section::Turbo});
}

void TureboPage::on_btnReset_clicked()
{
    if (!isVisible())
        return;
    const PROFILE_INFO record =
        m_hidConfig->Profiles().EditActive([](PROFILE_INFO &r) { r.turboMask = 0; });
    m_index = 0;
    ShowMask(0);
    SaveAndNotify({[&] { return Com().SetTurbo(record); }}, kReset, record,
                  {SaveCheck::Section::Turbo});
}

// Controller focus

void TureboPage::Focus(int row, bool focused)
{
    if (row >= 1 && row <= kRows)
        StyleSwitch(row, focused);
}

void TureboPage::clickPadButtonPadRight(bool)
{
    m_pageFocus = true;
    m_hidConfig->RequestUnlockNavigation(false);
    m_index = std::clamp(m_index, 1, kRows);
    Focus(m_index, true);
}

void TureboPage::clickPadButtonPadDown(bool)
{
    if (!m_pageFocus)
        return;
    Focus(m_index, false);
    m_index = std::clamp(m_index + 1, 1, kRows);
    Focus(m_index, true);
}

void TureboPage::clickPadButtonPadUp(bool)
{
    if (!m_pageFocus)
        return;
    Focus(m_index, false);
    m_index = std::clamp(m_index - 1, 1, kRows);
    Focus(m_index, true);
}

void TureboPage::clickPadButtonA(bool)
{
    if (!m_pageFocus || m_index < 1)
        return;
    Toggle(m_index);
    Focus(m_index, true);
}

void TureboPage::clickPadButtonPadLeft(bool)
{
    m_hidConfig->RequestUnlockNavigation(true);
    Focus(m_index, false);
    Highlight(0);
    m_pageFocus = false;
}

void TureboPage::mouseMoveEvent(QMouseEvent *event)
{
    m_hidConfig->RequestUnlockNavigation(false);
    Focus(m_index, false);
    m_pageFocus = false;
    m_index = 0;
    ConfigPage::mouseMoveEvent(event);
}
