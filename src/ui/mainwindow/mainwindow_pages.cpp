// Page switching of the main window: one table of pages, the reads a page needs before it
// shows (asked of the page, run without blocking), the periodic re-read of pages the
// controller itself may change, and the reload after the active profile changed.
#include "mainwindow.h"

#include "device/hidconfig.h"
#include "ui/calibrationpage/calibrationpage.h"
#include "ui/configpage/readsequence.h"
#include "ui/lightpage/lightpage.h"
#include "ui/mainwidget/mainwidget.h"
#include "ui/mappingpage/mappingpage.h"
#include "ui/moduleselection/moduleselection.h"
#include "ui/pageids.h"
#include "ui/profilepage/profilepage.h"
#include "ui/stickpage/stickpage.h"
#include "ui/style.h"
#include "ui/testpage/testpage.h"
#include "ui/triggerpage/triggerpage.h"
#include "ui/turbopage/turbopage.h"
#include "ui/updateapp/updateapp.h"
#include "ui/vibratepage/vibratepage.h"
#include "ui_mainwindow.h"

#include <QDebug>

namespace {

// What the device needs after a profile switch before a page re-reads it.
constexpr int kProfileSwitchMs = 50;

constexpr MainWindow::PageEntry kPages[] = {
    {PageId::ModuleSelection, -1, MainWindow::NavMark::None,
     QT_TRANSLATE_NOOP("MainWindow", "选择模块"), nullptr, false, false},
    {PageId::Test, 0, MainWindow::NavMark::Disable, QT_TRANSLATE_NOOP("MainWindow", "测试 / 校准"),
     nullptr, false, false},
    {PageId::Mapping, 1, MainWindow::NavMark::Disable,
     QT_TRANSLATE_NOOP("MainWindow", "映射 - 背面编程键"),
     QT_TRANSLATE_NOOP("MainWindow",
                       "Hold down the button to remap and then select the button to map to it."),
     true, false},
    {PageId::Turbo, 2, MainWindow::NavMark::Disable, QT_TRANSLATE_NOOP("MainWindow", "Turbo 设置"),
     QT_TRANSLATE_NOOP("MainWindow",
                       "Hold down the button to activate TURBO and then select On / OFF option."),
     true, false},
    {PageId::Stick, 3, MainWindow::NavMark::Disable, QT_TRANSLATE_NOOP("MainWindow", "摇杆设置"),
     QT_TRANSLATE_NOOP("MainWindow",
                       "Adjust the digital travel distance as well as inverting the X or Y-Axis of "
                       "your sticks in this section."),
     false, false},
    {PageId::Trigger, 4, MainWindow::NavMark::Disable, QT_TRANSLATE_NOOP("MainWindow", "扳机设置"),
     QT_TRANSLATE_NOOP("MainWindow",
                       "Adjust the deadzone on your triggers. Either fully customize the start and "
                       "stop or quick select T1, T2, or T3 based on your trigger stop position "
                       "active on your controller."),
     false, false},
    {PageId::Vibration, 5, MainWindow::NavMark::Disable,
     QT_TRANSLATE_NOOP("MainWindow", "震动强度"),
     QT_TRANSLATE_NOOP("MainWindow",
                       "Adjust the vibration strength of each motor on the controller."),
     false, false},
    {PageId::Devices, -1, MainWindow::NavMark::None, nullptr, nullptr, false, false},
    {PageId::Calibration, 6, MainWindow::NavMark::None,
     QT_TRANSLATE_NOOP("MainWindow", "测试 / 校准"), nullptr, false, false},
    {PageId::Profiles, 6, MainWindow::NavMark::Disable, QT_TRANSLATE_NOOP("MainWindow", "PROFILE"),
     nullptr, false, true},
    {PageId::Lighting, 7, MainWindow::NavMark::Highlight, QT_TRANSLATE_NOOP("MainWindow", "灯光"),
     nullptr, false, true},
    {PageId::AppUpdate, -1, MainWindow::NavMark::None, QT_TRANSLATE_NOOP("MainWindow", "APP 升级"),
     nullptr, false, false},
    {PageId::Agreement, -1, MainWindow::NavMark::None, QT_TRANSLATE_NOOP("MainWindow", "请阅读"),
     nullptr, false, false},
};

} // namespace

const MainWindow::PageEntry *MainWindow::FindPage(int id)
{
    for (const PageEntry &entry : kPages)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

ConfigPage *MainWindow::ConfigPageOf(int id) const
{
    switch (id) {
    case PageId::Test:
        return m_testPage;
    case PageId::Mapping:
        return m_mappingPage;
    case PageId::Turbo:
        return m_turboPage;
    case PageId::Stick:
        return m_stickPage;
    case PageId::Trigger:
        return m_triggerPage;
    case PageId::Vibration:
        return m_vibratePage;
    case PageId::Calibration:
        return m_calibrationPage;
    case PageId::Profiles:
        return m_profilePage;
    case PageId::Lighting:
        return m_lightPage;
    default:
        return nullptr;
    }
}

void MainWindow::showPage(int num)
{
    if (!m_accepted)
        return;
    const PageEntry *entry = FindPage(num);
    if (entry && entry->fileProfileOnly && !IsExtendedModel()) {
        qDebug() << "page needs a file-profile model:" << num;
        return;
    }
    // Whatever was still being read for another page is dropped: this page wins.
    m_reads->Cancel();
    m_pollTimer->stop();

    ui->wdgModel->hide();
    QWidget *column = NavColumn();
    column->setVisible(num != PageId::ModuleSelection);
    ui->wdgProfile->show();
    ui->wdgComBox->show();
    m_testPage->StopTest();
    ui->lblExplanation->clear();

    for (QWidget *page :
         ui->wdgModel->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        page->hide();
    m_mappingPage->hide();
    ui->wdgFrom->hide();
    EnableAllNavButtons();
    ui->btnLight->setStyleSheet(Style::NavButton(false));
    ui->lblPrivacy_2->show();
    if (num == PageId::Devices)
        ui->wdgModel->setGeometry(0, 0, 1280, 700);
    else
        ui->wdgModel->setGeometry(180, 210, 1060, 450);
    ui->wdgModel->show();

    if (entry && entry->title)
        ui->lbl_MinTitle->setText(tr(entry->title));
    if (entry && entry->explanation && !m_hidConfig->m_isChinese)
        ui->lblExplanation->setText(tr(entry->explanation));

    if (entry && ConfigPageOf(num))
        OpenConfigPage(*entry);
    else
        OpenOtherPage(num);

    // The title line belongs to every page but the device window, which hides it.
    if (num != PageId::Devices)
        ui->wdghead_3->show();
    m_currentPage = num;
    m_currenSelect = m_selectindex;
    if (m_selectindex != 0)
        setNavFocus(m_selectindex);
    qDebug() << "m_currenSelect show page:" << m_currenSelect << m_selectindex;
}

void MainWindow::OpenConfigPage(const PageEntry &entry)
{
    if (entry.navMark == NavMark::Disable)
        DisableNavButton(entry.navIndex);
    else if (entry.navMark == NavMark::Highlight)
        NavButton(1, entry.navIndex)->setStyleSheet(Style::NavButton(true));
    if (entry.id == PageId::Profiles)
        ui->comBxProfile->setEnabled(true);
    m_selectindex = entry.navIndex;
    LoadPage(entry.id, PageLoad::Show, {});
}

void MainWindow::OpenOtherPage(int num)
{
    switch (num) {
    case PageId::ModuleSelection:
        ui->wdgModel->setGeometry(168, 210, 1060, 450);
        SetProfileUI();
        showDeviceList();
        NavColumn()->hide();
        m_moduleSelection->ResetPage();
        m_moduleSelection->show();
        m_moduleSelection->Highlight(0);
        break;
    case PageId::Devices:
        ui->wdgNavVertical->hide();
        ui->wdgNavVertical_2->hide();
        ui->wdghead_3->hide();
        ui->wdgUserPermission->hide();
        ui->wdgProfile->hide();
        ui->wdgComBox->hide();
        ui->lblPrivacy_2->hide();
        m_navUnlocked = false;
        m_mainWidget->refreshDeviceList();
        m_mainWidget->show();
        break;
    case PageId::AppUpdate:
        m_updateApp->start();
        ui->wdgProfile->hide();
        ui->wdgComBox->hide();
        ui->wdgUserPermission->hide();
        ui->wdgNavVertical->hide();
        ui->wdgNavVertical_2->hide();
        m_updateApp->show();
        break;
    case PageId::Agreement:
        ui->wdgModel->hide();
        ui->wdgProfile->show();
        ui->wdgUserPermission->show();
        m_accepted = true;
        ui->wdgNavVertical->hide();
        ui->wdgNavVertical_2->hide();
        break;
    default:
        break;
    }
}

// Runs the page's reads (after any given first), then loads the page and shows it. Every
// page change and removal cancels the reads still pending, so they never nest and never
// outlive the page they were for.
void MainWindow::LoadPage(int id, PageLoad load, PageReads first)
{
    ConfigPage *page = ConfigPageOf(id);
    PageReads reads = std::move(first);
    reads += page->ReadsBefore(load);
    m_reads->Start(m_hidConfig->GetControllerComHandle(), std::move(reads), [this, id, page, load] {
        page->Load(load);
        if (page->isVisible())
            return;
        page->show();
        if (FindPage(id)->polled)
            m_pollTimer->start();
    });
}

void MainWindow::OnPollTimer()
{
    // A reload still reading goes first; the next tick polls again.
    ConfigPage *page = ConfigPageOf(m_currentPage);
    if (!page || !page->isVisible() || m_reads->IsRunning())
        return;
    LoadPage(m_currentPage, PageLoad::Poll, {});
}

void MainWindow::ReloadForProfile(int switchedTo)
{
    PageReads first;
    if (switchedTo >= 0)
        first.append({nullptr, kProfileSwitchMs});
    if (m_currentPage == PageId::Profiles) {
        if (switchedTo >= 0)
            m_reads->Start(m_hidConfig->GetControllerComHandle(), first,
                           [this, switchedTo] { emit currentProfileIndex(switchedTo); });
        return;
    }
    ConfigPage *page = ConfigPageOf(m_currentPage);
    // Pages that read nothing from the profile have nothing to reload.
    if (!page || page->ReadsBefore(PageLoad::ProfileChange).isEmpty())
        return;
    if (m_currentPage == PageId::Vibration)
        ui->btnVibrate->setEnabled(false);
    LoadPage(m_currentPage, PageLoad::ProfileChange, first);
}
