#pragma once

#include <QList>
#include <QWidget>
#include <cstdint>
#include <memory>

class DevicePlatform;
class HidConfig;
class QModelIndex;
class UpdateFlow;
struct DeviceEntry;

namespace Ui {
class MainWidget;
}

// The device window: lists the connected controllers and dongles, offers a firmware
// update when a newer image is held for the chosen one, shows the update from the button
// to its result, and hands a device that needs no update to the configuration pages. The
// update itself is UpdateFlow's; this class shows the pages it asks for and their texts.
class MainWidget : public QWidget
{
    Q_OBJECT

public:
    explicit MainWidget(HidConfig *hidConfig, DevicePlatform *platform, QWidget *parent = nullptr);
    ~MainWidget() override;

    // Rebuilds the list from the device table, unless an update runs or a device waiting
    // in update mode takes over.
    void refreshDeviceList();
    // Opens configuration for the index-th named device of the table (the device selector).
    void selectDevice(int index);
    bool IsUpdating() const;
    // The page shown, 1..9 as UpdateFlow::Page numbers them.
    int CurrentPage() const { return m_page; }
    UpdateFlow *Flow() const { return m_flow; }

signals:
    void mainWinPageShow(int num);
    void SetMainWindowMintitle(QString strTitle, bool visity);
    void SetNavMinTitle(QString strText);
    void DeviceList();

public slots:
    void on_listDevices_clicked(const QModelIndex &index);
    void on_btnSelect_clicked();
    void on_btnUpdate_clicked();
    void on_btnCancel_clicked();
    void on_btnForcedUpdate_clicked();
    void on_btnIdentification_clicked();
    void on_btnNotice_clicked();
    void on_btnSupport_clicked();
    void on_btnNoDevice_clicked();
    void clickButtonA();
    void clickButtonB();
    void clickButtonX();
    void clickButtonDpadUp();
    void clickButtonDpadDown();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ShowPage(int page);
    void EmitTitle();
    void ShowOfferTexts();
    // The recovery page when no type is remembered: the user names the waiting model.
    void ShowModelChoice();
    void FillModelList();
    QString RefusalText() const;
    void ShowPictures(int page);
    // Styles, fixed texts and pictures.
    void SetUpPages();
    void UpdateFooter();
    // Sets the model flags of the chosen device and shows the module selection.
    void OpenConfiguration(int slot);
    // Back to the list from a result or information page.
    void BackToList();
    int SelectedSlot() const;
    // The slot of the device just updated, which may have come back in another slot.
    int UpdatedDeviceSlot() const;
    void OnRefreshRequested();
    void MoveRow(int step);

    std::unique_ptr<Ui::MainWidget> ui;
    HidConfig *m_hidConfig;
    UpdateFlow *m_flow;
    QList<QWidget *> m_pageWidgets; // hidden by every page switch
    QList<int> m_slots;             // device-table key of each list row
    uint16_t m_listedPid = 0;       // the product id of the only listed device, else 0
    int m_page = 0;
};
