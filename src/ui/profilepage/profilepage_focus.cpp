#include "profilepage.h"

#include "device/hidconfig.h"
#include "profilebutton.h"
#include "ui_profilepage.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

// The controller on the profiles page. m_current is -1 while the navigation column has the
// controller, 0..m_count-1 for a profile button and m_count for the add button. Inside a
// button (m_inButton) Left and Right move between its sub-items and A acts on one.

void ProfilePage::FocusLook(int current, bool focused)
{
    if (ProfileButton *button = Button(current))
        button->SetHighlighted(focused);
    else if (current == m_count)
        ui->btnAddProfile->setStyleSheet(focused ? m_addFocusStyle : m_addStyle);
}

void ProfilePage::SetFocus(int current)
{
    FocusLook(m_current, false);
    m_current = std::clamp(current, -1, m_count);
    FocusLook(m_current, true);
    // After a rebuild the grid is laid out only once events run: scroll then.
    QTimer::singleShot(0, this, &ProfilePage::Scroll);
}

void ProfilePage::Scroll()
{
    QWidget *focused = m_current == m_count ? static_cast<QWidget *>(ui->btnAddProfile)
                                            : static_cast<QWidget *>(Button(m_current));
    if (focused)
        ui->wdgProfileArea->ensureWidgetVisible(focused, 0, 10);
}

void ProfilePage::EnterButton()
{
    m_inButton = true;
    m_subFocus = ProfileButton::Slot1;
    Button(m_current)->FocusSubItem(m_subFocus);
}

void ProfilePage::LeaveButton()
{
    if (ProfileButton *button = Button(m_current)) {
        button->LeaveButton();
        button->SetHighlighted(true);
    }
    m_inButton = false;
    m_subFocus = 0;
}

void ProfilePage::clickPadButtonPadUp(bool)
{
    if (m_inButton || m_current < 2)
        return;
    SetFocus(m_current - 2);
}

void ProfilePage::clickPadButtonPadDown(bool)
{
    if (m_inButton || m_current < 0)
        return;
    SetFocus(std::min(m_current + 2, m_count));
}

void ProfilePage::clickPadButtonPadLeft(bool)
{
    if (m_inButton) {
        m_subFocus = std::max(m_subFocus - 1, int(ProfileButton::Slot1));
        Button(m_current)->FocusSubItem(m_subFocus);
        return;
    }
    if (m_current > 0 && m_current % 2 == 1) {
        m_hidConfig->RequestUnlockNavigation(false);
        SetFocus(m_current - 1);
        return;
    }
    // Back to the navigation column.
    SetFocus(-1);
    m_hidConfig->RequestUnlockNavigation(true);
}

void ProfilePage::clickPadButtonPadRight(bool)
{
    if (m_inButton) {
        m_subFocus = std::min(m_subFocus + 1, Button(m_current)->LastSubItem());
        Button(m_current)->FocusSubItem(m_subFocus);
        return;
    }
    m_hidConfig->RequestUnlockNavigation(false);
    if (m_current == -1)
        ui->wdgProfileArea->verticalScrollBar()->setValue(0);
    SetFocus(std::min(m_current + 1, m_count));
}

void ProfilePage::clickPadButtonA(bool)
{
    if (m_current < 0)
        return;
    if (m_current == m_count) {
        on_btnAddProfile_clicked();
        return;
    }
    ProfileButton *button = Button(m_current);
    if (!m_inButton) {
        // A reserved profile bound to a slot has nothing left to choose.
        if (!(button->IsReserved() && button->IsAssigned()))
            EnterButton();
        return;
    }
    const int item = m_subFocus;
    button->ActivateSubItem(item);
    // Editing and the delete question keep the focus inside; a slot choice ends the visit.
    // A confirmed delete rebuilt the grid: m_inButton was cleared there.
    if (m_inButton && item < ProfileButton::Edit)
        LeaveButton();
}

void ProfilePage::clickPadButtonB(bool)
{
    if (m_inButton)
        LeaveButton();
}

void ProfilePage::mouseMoveEvent(QMouseEvent *event)
{
    // The mouse takes over: no controller focus is left anywhere on the page.
    if (m_inButton)
        LeaveButton();
    FocusLook(m_current, false);
    m_current = -1;
    m_hidConfig->RequestUnlockNavigation(false);
    ConfigPage::mouseMoveEvent(event);
}
