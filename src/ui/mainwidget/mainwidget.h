#pragma once

#include <QWidget>
#include <memory>

class HidConfig;

namespace Ui {
class MainWidget;
}

// The device window: lists the connected controllers and dongles and hands the chosen
// one to the configuration pages. The firmware update it also runs is not built yet, so
// no update is ever offered or running.
class MainWidget : public QWidget
{
    Q_OBJECT

public:
    explicit MainWidget(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~MainWidget() override;

    // Rebuilds the list from the device table.
    void refreshDeviceList();
    // Chooses the device of list row index for configuration.
    void selectDevice(int index);
    bool IsUpdating() const { return false; }

signals:
    void mainWinPageShow(int num);
    void SetMainWindowMintitle(QString strTitle, bool visity);
    void SetNavMinTitle(QString strText);
    void DeviceList();

public slots:
    void on_btnSelect_clicked();
    void clickButtonA();
    void clickButtonDpadUp();
    void clickButtonDpadDown();

private:
    std::unique_ptr<Ui::MainWidget> ui;
    HidConfig *m_hidConfig;
    QList<int> m_slots; // device-table key of each list row
};
