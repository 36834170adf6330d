#include "mainwindow.h"

#include "device/hidconfig.h"
#include "ui_mainwindow.h"

#include <QThread>

MainWindow::MainWindow(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);

    m_hidConfig = new HidConfig();
    m_hidThread = new QThread(this);
    m_hidConfig->moveToThread(m_hidThread);
    connect(m_hidThread, &QThread::started, m_hidConfig, &HidConfig::OnReadDevice);
    m_hidThread->start(QThread::InheritPriority);
}

MainWindow::~MainWindow()
{
    m_hidConfig->Stop();
    m_hidThread->quit();
    m_hidThread->wait();
    // The thread has ended, so the model can be released from here.
    delete m_hidConfig;
}
