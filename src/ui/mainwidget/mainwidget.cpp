#include "mainwidget.h"

#include "devicepictures.h"
#include "updateflow.h"

#include "device/devicecatalogue.h"
#include "device/hidconfig.h"
#include "ui/pageids.h"
#include "ui/style.h"
#include "ui_mainwidget.h"

#include <QDebug>
#include <QDesktopServices>
#include <QUrl>

MainWidget::MainWidget(HidConfig *hidConfig, DevicePlatform *platform, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::MainWidget>()), m_hidConfig(hidConfig),
      m_flow(new UpdateFlow(hidConfig, platform, this))
{
    ui->setupUi(this);
    m_pageWidgets = {ui->btnNoDevice,       ui->lblNoDevice,      ui->lblController,
                     ui->lblDongle,         ui->wdgList,          ui->btnSelect,
                     ui->btnIdentification, ui->lblUpdatePicture, ui->lblDownloadIcon,
                     ui->lblVersion,        ui->lblInstruction,   ui->btnUpdate,
                     ui->btnCancel,         ui->btnForcedUpdate,  ui->wdgUpdate,
                     ui->lblResultIcon,     ui->lblResult,        ui->lblButtonB,
                     ui->wdgIdentification, ui->listModels,       ui->lblReason};
    SetUpPages();

    connect(m_flow, &UpdateFlow::pageRequested, this, &MainWidget::ShowPage);
    connect(m_flow, &UpdateFlow::progressShown, ui->progressBar, &QProgressBar::setValue);
    connect(m_flow, &UpdateFlow::refreshRequested, this, &MainWidget::OnRefreshRequested);
    // A waiting device whose image cannot be fetched ends on the failure page, whose
    // button leads back through the check and so tries the download again.
    connect(m_flow, &UpdateFlow::imageUnavailable, this, [this] {
        if (m_page == UpdateFlow::Downloading)
            ShowPage(UpdateFlow::Failed);
    });
    connect(hidConfig, &HidConfig::pressButtonB, this, &MainWidget::clickButtonB);
    connect(hidConfig, &HidConfig::pressButtonX, this, &MainWidget::clickButtonX);
    connect(hidConfig, &HidConfig::pressButtonUp, this, &MainWidget::clickButtonDpadUp);
    connect(hidConfig, &HidConfig::pressButtonDown, this, &MainWidget::clickButtonDpadDown);
    connect(hidConfig, &HidConfig::pressButtonA, this, &MainWidget::clickButtonA);
    ShowPage(UpdateFlow::EmptyList);
}

MainWidget::~MainWidget() = default;

bool MainWidget::IsUpdating() const
{
    return m_flow->IsUpdating();
}

void MainWidget::refreshDeviceList()
{
    if (m_flow->IsRunning() || m_flow->AvailabilityCheck())
        return;
    const QMap<int, DeviceEntry> table = m_hidConfig->DeviceTable();
    ui->listDevices->clear();
    m_slots.clear();
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        qDebug().noquote() << QString::asprintf("iter PID:%04x %d", it->devIno.mPid, it.key());
        ui->listDevices->addItem(it->modelName + QStringLiteral(" Controller"));
        m_slots.append(it.key());
    }
    m_listedPid = table.size() == 1 ? table.first().devIno.mPid : 0;
    if (table.size() == 1) {
        // The one listed device decides the pictures and the flags the pages draw with.
        m_hidConfig->m_Is6102B = DevicePictures::IsModel6102B(m_listedPid);
        m_hidConfig->m_fileProfileModel = DevicePictures::IsModel6101(m_listedPid);
    }
    emit DeviceList();
    if (table.isEmpty()) {
        qDebug() << "无设备";
        ShowPage(UpdateFlow::EmptyList);
        return;
    }
    ui->listDevices->setCurrentRow(0);
    ShowPage(UpdateFlow::DeviceList);
}

void MainWidget::OnRefreshRequested()
{
    // The configuration pages keep the list and the model flags of the device they show.
    if (m_hidConfig->m_deviceInConfig)
        return;
    // A download that settled while no device waits any more leaves the downloading page.
    if (m_page == UpdateFlow::Downloading || !m_flow->IsUpdating())
        refreshDeviceList();
}

int MainWidget::SelectedSlot() const
{
    const int row = ui->listDevices->currentRow();
    return row >= 0 && row < m_slots.size() ? m_slots[row] : -1;
}

void MainWidget::on_listDevices_clicked(const QModelIndex &index)
{
    ui->listDevices->setCurrentRow(index.row());
}

void MainWidget::on_btnSelect_clicked()
{
    const int slot = SelectedSlot();
    const QMap<int, DeviceEntry> table = m_hidConfig->DeviceTable();
    const auto entry = table.find(slot);
    if (entry == table.end()) {
        refreshDeviceList();
        return;
    }
    m_flow->SelectDevice(*entry, slot);
    if (m_flow->OfferFor(entry->devIno.version))
        ShowPage(UpdateFlow::Offer);
    else
        OpenConfiguration(slot);
}

void MainWidget::OpenConfiguration(int slot)
{
    const QMap<int, DeviceEntry> table = m_hidConfig->DeviceTable();
    const auto entry = table.find(slot);
    if (entry == table.end()) {
        refreshDeviceList();
        return;
    }
    const CatalogueEntry *model = DeviceCatalogue::FindDevice(entry->devIno.mPid, entry->path);
    m_hidConfig->SetModelFlags(model);
    m_hidConfig->m_Is6102B = model && model->is6102B && table.size() == 1;
    m_hidConfig->m_deviceInConfig = true;
    m_flow->Leave();
    // Only the chosen device is read from now on, and its removal ends the configuration.
    m_hidConfig->SetLockSlots(true, uint8_t(slot),
                              uint8_t(entry->inputSlot >= 0 ? entry->inputSlot : slot));
    m_hidConfig->SelectSlot(slot);
    emit SetNavMinTitle(entry->modelName);
    emit mainWinPageShow(PageId::ModuleSelection);
}

void MainWidget::selectDevice(int index)
{
    // Counted as the configuration window's selector lists them: named devices only.
    const QMap<int, DeviceEntry> table = m_hidConfig->DeviceTable();
    int named = 0;
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        if (it->modelName.isEmpty())
            continue;
        if (named++ == index) {
            OpenConfiguration(it.key());
            return;
        }
    }
}

int MainWidget::UpdatedDeviceSlot() const
{
    const QMap<int, DeviceEntry> table = m_hidConfig->DeviceTable();
    const uint16_t pid = UpdateFlow::ProductOfType(m_flow->updateType());
    const auto kept = table.find(m_flow->SelectedSlot());
    if (kept != table.end() && kept->devIno.mPid == pid)
        return kept.key();
    for (auto it = table.cbegin(); it != table.cend(); ++it)
        if (it->devIno.mPid == pid)
            return it.key();
    return -1;
}

void MainWidget::on_btnUpdate_clicked()
{
    if (m_page == UpdateFlow::Offer) {
        m_flow->StartUpdate();
        return;
    }
    if (m_page != UpdateFlow::Succeeded)
        return;
    const bool empty = m_hidConfig->DeviceTable().isEmpty();
    if ((!m_flow->IsDonglePath() && !m_hidConfig->m_dongleFound) || empty) {
        refreshDeviceList();
        return;
    }
    const int slot = UpdatedDeviceSlot();
    if (m_flow->ResultOk() && slot >= 0)
        OpenConfiguration(slot);
    else if (slot >= 0)
        on_btnSelect_clicked();
    else
        refreshDeviceList();
}

void MainWidget::on_btnCancel_clicked()
{
    if (m_page == UpdateFlow::Offer) {
        m_flow->Leave();
        if (!m_flow->AvailabilityCheck())
            OpenConfiguration(m_flow->SelectedSlot());
        return;
    }
    BackToList();
}

void MainWidget::on_btnForcedUpdate_clicked()
{
    if (m_page == UpdateFlow::Recovery && m_flow->NeedsModelChoice()) {
        const QListWidgetItem *item = ui->listModels->currentItem();
        if (item)
            m_flow->ChooseRecoveryType(item->data(Qt::UserRole).toInt());
        return;
    }
    if (m_page == UpdateFlow::Recovery) {
        if (!m_flow->StartRecovery())
            refreshDeviceList();
        return;
    }
    BackToList();
}

void MainWidget::BackToList()
{
    m_flow->Leave();
    refreshDeviceList();
}

void MainWidget::on_btnIdentification_clicked()
{
    const int row = ui->listDevices->currentRow();
    const int slot = SelectedSlot();
    const QMap<int, DeviceEntry> table = m_hidConfig->DeviceTable();
    const auto entry = table.find(slot);
    if (entry == table.end())
        return;
    m_hidConfig->SelectWriteSlot(slot);
    const DeviceIdentity &id = entry->devIno;
    ui->lblIdentification->setText(QString::asprintf("0X%04X \n0X%04X \n", id.mVid, id.mPid) +
                                   QStringList{entry->productString, entry->modelName, id.version,
                                               entry->path, QString::number(row + 1)}
                                       .join(QLatin1Char('\n')));
    ShowPage(UpdateFlow::Identification);
}

void MainWidget::on_btnNotice_clicked()
{
    using Style::WebPage;
    QDesktopServices::openUrl(
        QUrl(Style::WebPageUrl(m_hidConfig->m_isChinese ? WebPage::Contact : WebPage::Support)));
}

void MainWidget::on_btnSupport_clicked()
{
    using Style::WebPage;
    QDesktopServices::openUrl(
        QUrl(Style::WebPageUrl(m_hidConfig->m_isChinese ? WebPage::OpenSource : WebPage::Support)));
}

void MainWidget::on_btnNoDevice_clicked()
{
    refreshDeviceList();
}

void MainWidget::MoveRow(int step)
{
    if (!isVisible())
        return;
    QListWidget *list = nullptr;
    if (m_page == UpdateFlow::DeviceList)
        list = ui->listDevices;
    else if (m_page == UpdateFlow::Recovery && m_flow->NeedsModelChoice())
        list = ui->listModels;
    const int row = list ? list->currentRow() + step : -1;
    if (list && row >= 0 && row < list->count())
        list->setCurrentRow(row);
}

void MainWidget::clickButtonDpadUp()
{
    MoveRow(-1);
}

void MainWidget::clickButtonDpadDown()
{
    MoveRow(1);
}

void MainWidget::clickButtonA()
{
    if (!isVisible())
        return;
    if (m_page == UpdateFlow::DeviceList)
        on_btnSelect_clicked();
    else if (m_page == UpdateFlow::Recovery)
        on_btnForcedUpdate_clicked();
}

void MainWidget::clickButtonB()
{
    if (!isVisible())
        return;
    if (m_page == UpdateFlow::Failed)
        qDebug() << "001";
    else if (m_page == UpdateFlow::Succeeded)
        qDebug() << "002";
    else if (m_page == UpdateFlow::Identification)
        qDebug() << "003";
    else
        return;
    BackToList();
}

void MainWidget::clickButtonX()
{
    if (!isVisible() || m_flow->IsUpdating() || m_flow->AvailabilityCheck())
        return;
    if (m_page == UpdateFlow::DeviceList)
        OpenConfiguration(SelectedSlot());
    else if (m_page == UpdateFlow::Offer)
        OpenConfiguration(m_flow->SelectedSlot());
}
