#include "mainwidget.h"

#include "device/devicecatalogue.h"
#include "device/hidconfig.h"
#include "ui/pageids.h"
#include "ui_mainwidget.h"

MainWidget::MainWidget(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::MainWidget>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
    ui->lblTitle->setText(tr("选择您的游戏控制器"));
    ui->btnSelect->setText(tr("选择"));
    ui->lblTitle->setStyleSheet(QStringLiteral("color:white;font:28px;"));
    ui->listDevices->setStyleSheet(QStringLiteral(
        "QListWidget{background:#343434;color:#ececec;border-radius:12px;font:20px;}"
        "QListWidget::item{padding:10px;}"
        "QListWidget::item:selected{background:#FF5001;color:white;border-radius:8px;}"));
    ui->btnSelect->setStyleSheet(
        QStringLiteral("QPushButton{background:#343434;color:#ececec;border-radius:16px;font:20px;}"
                       "QPushButton:hover{border:2px solid #FF5001;}"));
    connect(hidConfig, &HidConfig::pressButtonA, this, &MainWidget::clickButtonA);
    connect(hidConfig, &HidConfig::pressButtonUp, this, &MainWidget::clickButtonDpadUp);
    connect(hidConfig, &HidConfig::pressButtonDown, this, &MainWidget::clickButtonDpadDown);
}

MainWidget::~MainWidget() = default;

void MainWidget::refreshDeviceList()
{
    const QMap<int, DeviceEntry> table = m_hidConfig->DeviceTable();
    ui->listDevices->clear();
    m_slots.clear();
    for (auto it = table.begin(); it != table.end(); ++it) {
        ui->listDevices->addItem(it->modelName + QStringLiteral(" Controller"));
        m_slots.append(it.key());
    }
    if (!m_slots.isEmpty())
        ui->listDevices->setCurrentRow(0);
    emit SetMainWindowMintitle(tr("选择您的游戏控制器"), false);
    emit DeviceList();
}

void MainWidget::selectDevice(int index)
{
    if (index < 0 || index >= m_slots.size())
        return;
    const int slot = m_slots[index];
    const QMap<int, DeviceEntry> table = m_hidConfig->DeviceTable();
    const auto entry = table.find(slot);
    if (entry == table.end())
        return;
    const CatalogueEntry *model = DeviceCatalogue::Find(entry->devIno.mPid);
    m_hidConfig->m_fileProfileModel = model && model->fileProfileModel;
    m_hidConfig->m_noTriggerLevels = model && model->noTriggerLevels;
    m_hidConfig->m_Is6150A = model && model->is6150A;
    m_hidConfig->m_Is6102B = model && model->is6102B && table.size() == 1;
    m_hidConfig->m_deviceInConfig = true;
    m_hidConfig->SelectSlot(slot);
    emit SetNavMinTitle(entry->modelName);
    emit mainWinPageShow(PageId::ModuleSelection);
}

void MainWidget::on_btnSelect_clicked()
{
    selectDevice(ui->listDevices->currentRow());
}

void MainWidget::clickButtonA()
{
    if (isVisible())
        on_btnSelect_clicked();
}

void MainWidget::clickButtonDpadUp()
{
    if (isVisible() && ui->listDevices->currentRow() > 0)
        ui->listDevices->setCurrentRow(ui->listDevices->currentRow() - 1);
}

void MainWidget::clickButtonDpadDown()
{
    if (isVisible() && ui->listDevices->currentRow() + 1 < ui->listDevices->count())
        ui->listDevices->setCurrentRow(ui->listDevices->currentRow() + 1);
}
