#include "stickpage.h"

#include "device/hidconfig.h"
#include "ui_stickpage.h"

#include <QDebug>
#include <algorithm>

// The controller on the stick page. Items are numbered per tab (0 = the navigation
// column has the controller):
//   dead-zone tab: 1, 2 left bar inner/outer handle, 3, 4 left X/Y inversion, 5 the curve
//   tab button, 6 keep-sync, 7, 8 right bar inner/outer handle, 9, 10 right X/Y inversion;
//   curve tab: 1..3 left Linear/Smooth/Radical, 4 the dead-zone tab button, 5 keep-sync,
//   6..8 right Linear/Smooth/Radical.

namespace {

constexpr int kLeavePage = -1;
constexpr int kDeadZoneItems = 10;
constexpr int kCurveItems = 8;

int DeadZoneRight(int i)
{
    switch (i) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
    case 5:
        return 7;
    case 3:
        return 9;
    case 4:
    case 6:
        return 10;
    case 7:
        return 8;
    default:
        return i;
    }
}

int CurveRight(int i)
{
    switch (i) {
    case 1:
    case 4:
        return 6;
    case 2:
        return 7;
    case 3:
    case 5:
        return 8;
    default:
        return i;
    }
}

int DeadZoneLeft(int i)
{
    switch (i) {
    case 0:
    case 1:
    case 3:
    case 4:
        return kLeavePage;
    case 2:
        return 1;
    case 5:
    case 7:
        return 2;
    case 6:
    case 10:
        return 4;
    case 8:
        return 7;
    case 9:
        return 3;
    default:
        return i;
    }
}

int CurveLeft(int i)
{
    switch (i) {
    case 0:
    case 1:
    case 2:
    case 3:
        return kLeavePage;
    case 4:
    case 6:
        return 1;
    case 5:
    case 8:
        return 3;
    case 7:
        return 2;
    default:
        return i;
    }
}

int DeadZoneUp(int i)
{
    switch (i) {
    case 1:
    case 2:
    case 5:
    case 7:
    case 8:
        return 5;
    default:
        return i - 1;
    }
}

int CurveUp(int i)
{
    switch (i) {
    case 1:
    case 4:
    case 6:
        return 4;
    default:
        return i - 1;
    }
}

int DeadZoneDown(int i)
{
    switch (i) {
    case 0:
    case 1:
    case 2:
        return 3;
    case 3:
        return 4;
    case 4:
    case 5:
    case 6:
    case 10:
        return 6;
    case 7:
    case 8:
        return 9;
    case 9:
        return 10;
    default:
        return i;
    }
}

int CurveDown(int i)
{
    switch (i) {
    case 3:
    case 5:
    case 8:
        return 5;
    default:
        return i + 1;
    }
}

} // namespace

void StickPage::clickPadButtonPadRight(bool)
{
    if (m_editing) {
        EditStep(true);
        return;
    }
    if (m_index == 0)
        m_hidConfig->RequestUnlockNavigation(false);
    m_pageFocus = true;
    const int next = m_deadZoneTab ? DeadZoneRight(m_index) : CurveRight(m_index);
    Unfocus(m_index);
    SetFocusStyle(next);
}

void StickPage::clickPadButtonPadLeft(bool)
{
    qDebug() << "clickPadButtonPadLeft:" << m_index;
    if (m_editing) {
        EditStep(false);
        return;
    }
    const int next = m_deadZoneTab ? DeadZoneLeft(m_index) : CurveLeft(m_index);
    Unfocus(m_index);
    if (next != kLeavePage) {
        SetFocusStyle(next);
        return;
    }
    // Back to the navigation column.
    m_index = 0;
    m_pageFocus = false;
    EndEditing();
    m_hidConfig->RequestUnlockNavigation(true);
}

void StickPage::clickPadButtonPadUp(bool)
{
    if (!m_pageFocus)
        return;
    EndEditing();
    Unfocus(m_index);
    SetFocusStyle(m_deadZoneTab ? DeadZoneUp(m_index) : CurveUp(m_index));
}

void StickPage::clickPadButtonPadDown(bool)
{
    if (!m_pageFocus)
        return;
    m_hidConfig->RequestUnlockNavigation(false);
    EndEditing();
    Unfocus(m_index);
    SetFocusStyle(m_deadZoneTab ? DeadZoneDown(m_index) : CurveDown(m_index));
}

void StickPage::clickPadButtonA(bool)
{
    if (!m_pageFocus)
        return;
    if (m_editing) {
        EndEditing();
        return;
    }
    if (m_deadZoneTab) {
        switch (m_index) {
        case 1:
        case 2:
        case 7:
        case 8:
            m_editing = true;
            Bar(m_index <= 2 ? Left : Right)->setEditing(true);
            return;
        case 3:
            on_btnReverseLX_clicked();
            break;
        case 4:
            on_btnReverseLY_clicked();
            break;
        case 5:
            on_btnCurVe_clicked();
            return;
        case 6:
            on_btnKeepSync_clicked();
            break;
        case 9:
            on_btnReverseRX_clicked();
            break;
        case 10:
            on_btnReverseRY_clicked();
            break;
        default:
            return;
        }
    } else {
        switch (m_index) {
        case 1:
        case 2:
        case 3:
            ChoosePreset(Left, m_index);
            break;
        case 4:
            on_btnDeadZone_clicked();
            return;
        case 5:
            on_btnKeepSync_clicked();
            break;
        case 6:
        case 7:
        case 8:
            ChoosePreset(Right, m_index - 5);
            break;
        default:
            return;
        }
    }
    FocusItem(m_index, true); // an action restyles its item: keep the focus look
}

void StickPage::SetFocusStyle(int index)
{
    qDebug() << "m_Index01:" << index;
    m_index = std::clamp(index, 1, m_deadZoneTab ? kDeadZoneItems : kCurveItems);
    FocusItem(m_index, true);
}

void StickPage::Unfocus(int index)
{
    FocusItem(index, false);
}

void StickPage::FocusItem(int index, bool focused)
{
    if (index <= 0)
        return;
    if (m_deadZoneTab) {
        switch (index) {
        case 1:
        case 7:
            Bar(index == 1 ? Left : Right)->setLeftFocus(focused);
            break;
        case 2:
        case 8:
            Bar(index == 2 ? Left : Right)->setRightFocus(focused);
            break;
        case 3:
        case 4:
            StyleReverse(Left, index - 3, focused);
            break;
        case 5:
            ui->btnCurVe->setStyleSheet(focused ? m_tabFocusStyle : m_tabStyle);
            break;
        case 6:
            StyleKeepSync(focused);
            break;
        case 9:
        case 10:
            StyleReverse(Right, index - 9, focused);
            break;
        default:
            break;
        }
    } else if (index == 4) {
        ui->btnDeadZone->setStyleSheet(focused ? m_tabFocusStyle : m_tabStyle);
    } else if (index == 5) {
        StyleKeepSync(focused);
    } else if (index <= kCurveItems) {
        QPushButton *button =
            index <= 3 ? PresetButton(Left, index) : PresetButton(Right, index - 5);
        if (focused) {
            // The frame sits in the button's panel, over the button.
            ui->lblCuveFocus->setParent(button->parentWidget());
            ui->lblCuveFocus->setGeometry(button->geometry().adjusted(-3, -3, 3, 3));
            ui->lblCuveFocus->show();
            ui->lblCuveFocus->raise();
        } else {
            ui->lblCuveFocus->hide();
        }
    }
}

void StickPage::EndEditing()
{
    m_editing = false;
    ui->wdgStickprogbarL->setEditing(false);
    ui->wdgStickprogbarR->setEditing(false);
}

void StickPage::DropFocus()
{
    ui->lblCuveFocus->hide();
    m_hidConfig->RequestUnlockNavigation(false);
    Unfocus(m_index);
    m_pageFocus = false;
    EndEditing();
    m_index = 0;
}

void StickPage::mouseMoveEvent(QMouseEvent *event)
{
    DropFocus();
    ConfigPage::mouseMoveEvent(event);
}

void StickPage::EditStep(bool right)
{
    const Side side = m_index <= 2 ? Left : Right;
    const Quantity quantity = (m_index == 1 || m_index == 7) ? Inner : Outer;
    qDebug() << "arear" << m_index << " isAdd:" << right << m_inSideLValue << m_outSideLValue;
    // The outer handle sits at the right end: Right shrinks the outer dead zone.
    const int delta = (quantity == Inner) == right ? 1 : -1;
    StepHandle(side, quantity, delta);
    if (m_keepSync)
        StepHandle(side == Left ? Right : Left, quantity, delta);
}

void StickPage::StepHandle(Side side, Quantity quantity, int delta)
{
    int &value = Value(side, quantity);
    const int other = Value(side, quantity == Inner ? Outer : Inner);
    if (delta > 0 && value + other < 100)
        ++value;
    else if (delta < 0 && value > 0)
        --value;
    else
        return;
    if (quantity == Inner)
        Bar(side)->setLeftValue(value);
    else
        Bar(side)->setRightValue(value);
}
