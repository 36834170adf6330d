#pragma once

#include <QWidget>
#include <memory>

class DevicePlatform;
class HidConfig;
class QThread;

namespace Ui {
class MainWindow;
}

// The application window. It owns the device model and the thread its read loop runs
// on for the whole run.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(DevicePlatform *platform, QWidget *parent = nullptr);
    ~MainWindow() override;

    HidConfig *hidConfig() const { return m_hidConfig; }

private:
    void OnInterfaceArrived(const QString &path);
    void OnInterfaceRemoved(const QString &path);

    std::unique_ptr<Ui::MainWindow> ui;
    HidConfig *m_hidConfig = nullptr;
    QThread *m_hidThread = nullptr;
    QString m_collection01;
    QString m_collection02;
};
