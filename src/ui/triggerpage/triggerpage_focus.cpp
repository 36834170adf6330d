#include "triggerpage.h"

#include "device/hidconfig.h"
#include "ui_triggerpage.h"
#include "widgets/verprogressbar.h"

#include <QDebug>

// The controller on the trigger page. Items: 0 the navigation column, 1..3 the right
// trigger's T1..T3, 4..6 the left trigger's T1..T3, 7 keep-sync, 8 and 9 the right bar's
// end (bottom) and start (top) handle, 10 and 11 the left bar's. Models without lock levels
// have no items 1..6.

namespace {

constexpr int kStay = -1;

int WithLevels(char key, int i)
{
    switch (key) {
    case 'R':
        switch (i) {
        case 0:
        case 1:
        case 2:
            return i + 1;
        case 3:
        case 7:
            return 4;
        case 4:
        case 5:
            return i + 1;
        case 8:
            return 10;
        case 9:
            return 11;
        default:
            return kStay;
        }
    case 'L':
        switch (i) {
        case 1:
        case 8:
        case 9:
            return 0;
        case 2:
        case 3:
        case 5:
        case 6:
            return i - 1;
        case 4:
        case 7:
            return 3;
        case 10:
            return 8;
        case 11:
            return 9;
        default:
            return kStay;
        }
    case 'U':
        switch (i) {
        case 1:
        case 2:
        case 3:
            return 8;
        case 4:
        case 5:
        case 6:
            return 10;
        case 8:
            return 9;
        case 10:
            return 11;
        default:
            return kStay;
        }
    default: // 'D'
        switch (i) {
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
            return 7;
        case 8:
            return 2;
        case 9:
            return 8;
        case 10:
            return 5;
        case 11:
            return 10;
        default:
            return kStay;
        }
    }
}

int WithoutLevels(char key, int i)
{
    switch (key) {
    case 'R':
        return i == 0 ? 8 : i == 7 || i == 8 ? 10 : i == 9 ? 11 : kStay;
    case 'L':
        return i == 7 || i == 10 ? 8 : i == 8 || i == 9 ? 0 : i == 11 ? 9 : kStay;
    case 'U':
        return i == 8 ? 9 : i == 10 ? 11 : kStay;
    default: // 'D'
        return i == 8 || i == 10 ? 7 : i == 9 ? 8 : i == 11 ? 10 : kStay;
    }
}

} // namespace

void TriggerPage::Move(int next)
{
    if (next == kStay)
        return;
    FocusItem(m_focusIndex, false);
    m_focusIndex = next;
    qDebug() << "index:" << m_focusIndex;
    FocusItem(m_focusIndex, true);
}

void TriggerPage::FocusItem(int index, bool focused)
{
    if (index == 0) {
        m_hidConfig->RequestUnlockNavigation(focused);
    } else if (index <= 6) {
        QPushButton *button = LevelButton(index <= 3 ? Right : Left, (index - 1) % 3);
        if (focused) {
            // The frame sits in the button's panel, around the button and its caption.
            ui->lblFocus->setParent(button->parentWidget());
            ui->lblFocus->setGeometry(button->geometry().adjusted(-6, -4, 38, 4));
            ui->lblFocus->show();
            ui->lblFocus->raise();
        } else {
            ui->lblFocus->hide();
        }
    } else if (index == 7) {
        StyleKeepSync(focused);
    } else if (index <= 11) {
        VerProgressBar *bar = Bar(index <= 9 ? Right : Left);
        const bool endHandle = index == 8 || index == 10;
        if (endHandle)
            bar->setDownFocus(focused);
        else
            bar->setUpFocus(focused);
        if (!focused)
            EndEditing();
    }
}

void TriggerPage::EndEditing()
{
    m_editing = false;
    ui->wdgTriggerL->setEditing(false);
    ui->wdgTriggerR->setEditing(false);
}

void TriggerPage::clickPadButtonPadRight(bool)
{
    if (m_editing)
        return;
    m_hidConfig->RequestUnlockNavigation(false);
    Move(HasLevels() ? WithLevels('R', m_focusIndex) : WithoutLevels('R', m_focusIndex));
}

void TriggerPage::clickPadButtonPadLeft(bool)
{
    if (m_editing)
        return;
    if (m_focusIndex == 0)
        m_hidConfig->RequestUnlockNavigation(true);
    Move(HasLevels() ? WithLevels('L', m_focusIndex) : WithoutLevels('L', m_focusIndex));
}

void TriggerPage::clickPadButtonPadUp(bool)
{
    if (m_editing) {
        EditStep(true);
        return;
    }
    Move(HasLevels() ? WithLevels('U', m_focusIndex) : WithoutLevels('U', m_focusIndex));
}

void TriggerPage::clickPadButtonPadDown(bool)
{
    if (m_editing) {
        EditStep(false);
        return;
    }
    Move(HasLevels() ? WithLevels('D', m_focusIndex) : WithoutLevels('D', m_focusIndex));
}

void TriggerPage::clickPadButtonA(bool)
{
    const int index = m_focusIndex;
    if (index >= 1 && index <= 6) {
        SelectLevel(index <= 3 ? Right : Left, (index - 1) % 3);
    } else if (index == 7) {
        on_btnKeepSync_clicked();
    } else if (index >= 8 && index <= 11) {
        if (m_editing) {
            EndEditing();
        } else {
            m_editing = true;
            Bar(index <= 9 ? Right : Left)->setEditing(true);
        }
    }
}

void TriggerPage::EditStep(bool up)
{
    const Side side = m_focusIndex <= 9 ? Right : Left;
    const bool start = m_focusIndex == 9 || m_focusIndex == 11;
    // The start handle sits on top: Up makes the start smaller and the end larger.
    const int delta = up == start ? -1 : 1;
    StepHandle(side, start, delta);
    if (m_keepSync)
        StepHandle(side == Left ? Right : Left, start, delta);
}

void TriggerPage::StepHandle(Side side, bool start, int delta)
{
    const size_t level = Location(side);
    uint8_t &value = (start ? Start(side) : End(side))[level];
    const int sum = Start(side)[level] + End(side)[level];
    if (delta > 0 && sum <= 99)
        ++value;
    else if (delta < 0 && value > 0)
        --value;
    else
        return;
    if (start)
        Bar(side)->setUpValue(value);
    else
        Bar(side)->setDownValue(value);
}

void TriggerPage::mouseMoveEvent(QMouseEvent *event)
{
    if (m_focusIndex != 0)
        FocusItem(m_focusIndex, false);
    m_hidConfig->RequestUnlockNavigation(false);
    EndEditing();
    ui->lblFocus->hide();
    for (Side side : {Left, Right}) {
        Bar(side)->setUpFocus(false);
        Bar(side)->setDownFocus(false);
    }
    m_focusIndex = 0;
    ConfigPage::mouseMoveEvent(event);
}
