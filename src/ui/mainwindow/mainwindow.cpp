#include "mainwindow.h"

#include "device/devicecatalogue.h"
#include "device/deviceplatform.h"
#include "device/hidconfig.h"
#include "ui_mainwindow.h"

#include <QDebug>
#include <QThread>

MainWindow::MainWindow(DevicePlatform *platform, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);

    m_hidConfig = new HidConfig();
    m_hidThread = new QThread(this);
    m_hidConfig->moveToThread(m_hidThread);
    connect(m_hidThread, &QThread::started, m_hidConfig, &HidConfig::OnReadDevice);
    m_hidThread->start(QThread::InheritPriority);

    if (platform) {
        m_hidConfig->SetPlatform(platform);
        connect(platform, &DevicePlatform::InterfaceArrived, this, &MainWindow::OnInterfaceArrived);
        connect(platform, &DevicePlatform::InterfaceRemoved, this, &MainWindow::OnInterfaceRemoved);
        platform->StartMonitoring();
        m_hidConfig->Scan(DeviceCatalogue::kVendorId);
    }
}

MainWindow::~MainWindow()
{
    m_hidConfig->Stop();
    m_hidThread->quit();
    m_hidThread->wait();
    // The thread has ended, so the model can be released from here.
    delete m_hidConfig;
}

void MainWindow::OnInterfaceArrived(const QString &path)
{
    if (!DeviceCatalogue::PathHas(path, QStringLiteral("35c7")))
        return;
    const bool first = DeviceCatalogue::PathHas(path, QStringLiteral("col01"));
    const bool second = DeviceCatalogue::PathHas(path, QStringLiteral("col02"));
    if (!first && !second) {
        m_hidConfig->DeviceArrived(path);
        return;
    }
    // A collection device: its configuration collection goes first, then the gamepad.
    qDebug() << "DInput";
    (first ? m_collection01 : m_collection02) = path;
    if (m_collection01.isEmpty() || m_collection02.isEmpty())
        return;
    m_hidConfig->DeviceArrived(m_collection02);
    QThread::sleep(1);
    m_hidConfig->DeviceArrived(m_collection01);
    m_collection01.clear();
    m_collection02.clear();
}

void MainWindow::OnInterfaceRemoved(const QString &path)
{
    qDebug() << "设备移除" << path;
    m_hidConfig->DeviceRemoved(path);
}
