// Controller navigation of the main window: a focus frame moved over the navigation
// column by the D-pad, A to open, B to close the profile list, and the mouse taking over.
#include "mainwindow.h"

#include "device/hidconfig.h"
#include "ui/pageids.h"
#include "ui/style.h"
#include "ui_mainwindow.h"

#include <QDebug>
#include <algorithm>

namespace {

// Page opened by each navigation index.
constexpr int kPageOf[MainWindow::kNavButtons] = {
    PageId::Test,    PageId::Mapping,   PageId::Turbo,    PageId::Stick,
    PageId::Trigger, PageId::Vibration, PageId::Profiles, PageId::Lighting,
};

} // namespace

bool MainWindow::IsExtendedModel() const
{
    return m_hidConfig->m_fileProfileModel;
}

QWidget *MainWindow::NavColumn() const
{
    return IsExtendedModel() ? ui->wdgNavVertical_2 : ui->wdgNavVertical;
}

// Button i of a column (0 = plain, 1 = extended); the plain column has no 6 and 7.
QAbstractButton *MainWindow::NavButton(int column, int index) const
{
    QAbstractButton *const plain[kNavButtons] = {ui->btnCalibTest, ui->btnMapping, ui->btnTruebo,
                                                 ui->btnStick,     ui->btnTrigger, ui->btnVibrate,
                                                 nullptr,          nullptr};
    QAbstractButton *const extended[kNavButtons] = {
        ui->btnCalibTest_2, ui->btnMapping_2, ui->btnTruebo_2, ui->btnStick_2,
        ui->btnTrigger_2,   ui->btnVibrate_2, ui->btnProfile,  ui->btnLight};
    if (index < 0 || index >= kNavButtons)
        return nullptr;
    return column == 0 ? plain[index] : extended[index];
}

void MainWindow::EnableAllNavButtons()
{
    for (int column = 0; column < 2; ++column)
        for (int i = 0; i < kNavButtons; ++i)
            if (QAbstractButton *button = NavButton(column, i))
                button->setEnabled(true);
}

void MainWindow::DisableNavButton(int index)
{
    for (int column = 0; column < 2; ++column)
        if (QAbstractButton *button = NavButton(column, index))
            button->setEnabled(false);
}

void MainWindow::setNavFocus(int i)
{
    const int max = ui->wdgNavVertical_2->isVisible() ? 7 : 5;
    if (i < 0)
        i = 0;
    if (i > max)
        i = max;
    ui->lblProfile->hide();
    QWidget *column = NavColumn();
    QAbstractButton *first = NavButton(IsExtendedModel() ? 1 : 0, 0);
    if (ui->lblNavFocu->parentWidget() != column) {
        const bool visible = ui->lblNavFocu->isVisible();
        ui->lblNavFocu->setParent(column);
        ui->lblNavFocu->setVisible(visible);
    }
    ui->lblNavFocu->resize(first->size());
    if (QAbstractButton *target = NavButton(IsExtendedModel() ? 1 : 0, i))
        ui->lblNavFocu->move(target->pos());
    ui->lblNavFocu->setStyleSheet(Style::NavFocus(i == m_currenSelect));
    ui->lblNavFocu->raise();
    m_selectindex = i;
}

void MainWindow::unlockNavigation(bool unlock)
{
    m_navUnlocked = unlock;
    ui->lblNavFocu->setVisible(unlock);
    setNavFocus(m_selectindex);
}

void MainWindow::LockNavigation()
{
    m_hidConfig->RequestUnlockNavigation(false);
}

void MainWindow::clickPadButtonPadUp(bool)
{
    if (!isVisible() || !m_navUnlocked)
        return;
    if (m_comSelect) {
        m_comIndex = std::max(m_comIndex - 1, 0);
        ui->comBxProfile->setCurrentIndex(m_comIndex);
        qDebug() << " m_comIndex:" << m_comIndex;
        LockNavigation();
        return;
    }
    if (m_selectindex - 1 < 0) {
        m_selectindex = 0;
        return;
    }
    m_selectindex -= 1;
    setNavFocus(m_selectindex);
    ui->lblNavFocu->show();
}

void MainWindow::clickPadButtonPadDown(bool)
{
    if (!isVisible() || !m_navUnlocked)
        return;
    if (m_comSelect) {
        m_comIndex = std::min(m_comIndex + 1, ui->comBxProfile->count() - 1);
        ui->comBxProfile->setCurrentIndex(m_comIndex);
        ui->lblNavFocu->hide();
        LockNavigation();
        ui->lblProfile->show();
        return;
    }
    m_selectindex += 1;
    setNavFocus(m_selectindex);
    ui->lblNavFocu->show();
}

void MainWindow::clickButtonA()
{
    if (!isVisible() || !m_navUnlocked)
        return;
    if (m_comSelect) {
        m_comSelect = false;
        ui->comBxProfile->hidePopup();
        return;
    }
    if (m_selectindex == -1) {
        m_comSelect = true;
        m_comIndex = ui->comBxProfile->currentIndex();
        ui->comBxProfile->showPopup();
        return;
    }
    qDebug() << "m_selectindexmainWindowA:" << m_selectindex << m_currenSelect;
    const int index = m_selectindex;
    OpenByIndex(index);
    if (index != 0)
        m_hidConfig->RequestUnlockNavigation(true);
}

void MainWindow::clickButtonB()
{
    ui->comBxProfile->hidePopup();
    m_comSelect = false;
}

void MainWindow::clickPadButtonRight(bool)
{
    if (!isVisible())
        return;
    clickButtonB();
}

void MainWindow::OpenByIndex(int i)
{
    if (m_currenSelect != 0 && m_currenSelect == i)
        return;
    if (i < 0)
        i = 0;
    if (i >= kNavButtons)
        i = kNavButtons - 1;
    showPage(kPageOf[i]);
    m_selectindex = m_currenSelect = i;
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    ui->lblNavFocu->hide();
    ui->lblProfile->hide();
    LockNavigation();
    qDebug() << ":mouseMoveEvent";
    QWidget::mouseMoveEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    LockNavigation();
    QWidget::mouseReleaseEvent(event);
}

void MainWindow::on_btnCalibTest_clicked()
{
    showPage(PageId::Test);
}

void MainWindow::on_btnMapping_clicked()
{
    showPage(PageId::Mapping);
}

void MainWindow::on_btnTruebo_clicked()
{
    showPage(PageId::Turbo);
}

void MainWindow::on_btnStick_clicked()
{
    showPage(PageId::Stick);
}

void MainWindow::on_btnTrigger_clicked()
{
    showPage(PageId::Trigger);
}

void MainWindow::on_btnVibrate_clicked()
{
    showPage(PageId::Vibration);
}

void MainWindow::on_btnCalibTest_2_clicked()
{
    showPage(PageId::Test);
}

void MainWindow::on_btnMapping_2_clicked()
{
    showPage(PageId::Mapping);
}

void MainWindow::on_btnTruebo_2_clicked()
{
    showPage(PageId::Turbo);
}

void MainWindow::on_btnStick_2_clicked()
{
    showPage(PageId::Stick);
}

void MainWindow::on_btnTrigger_2_clicked()
{
    showPage(PageId::Trigger);
}

void MainWindow::on_btnVibrate_2_clicked()
{
    showPage(PageId::Vibration);
}

void MainWindow::on_btnProfile_clicked()
{
    showPage(PageId::Profiles);
}

void MainWindow::on_btnLight_clicked()
{
    showPage(PageId::Lighting);
}
