#pragma once

#include <QWidget>
#include <array>
#include <memory>

class HidConfig;
class QAbstractButton;
class QMovie;

namespace Ui {
class ModuleSelection;
}

// The hub page shown once a device is chosen: one large button per configuration
// module, worked with the mouse or the controller (D-pad moves the highlight, A opens,
// B goes back to the device window). Controller navigation starts once the device's
// configuration has been read; until then a loading indicator shows.
class ModuleSelection : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kModules = 8;

    ModuleSelection(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~ModuleSelection() override;

    // Called on showing the page: back to the first module, waiting for the read-back.
    void ResetPage();
    // Highlights module i, limited to the modules the model has.
    void Highlight(int i);
    int Index() const { return m_index; }
    bool IsNavActive() const { return m_navActive; }

signals:
    void mainWinPageShow(int num);
    void DevicePage();

public slots:
    void on_btnCalibTest_clicked();
    void on_btnMapping_clicked();
    void on_btnTurbo_clicked();
    void on_btnStick_clicked();
    void on_btnTrigger_clicked();
    void on_btnVibrate_clicked();
    void on_btnProfile_clicked();
    void on_btnLight_clicked();
    void on_btnSelect_clicked();
    void on_btnBack_clicked();
    void clickPadButtonPadLeft(bool pressed);
    void clickPadButtonPadRight(bool pressed);
    void clickPadButtonPadUp(bool pressed);
    void clickPadButtonPadDown(bool pressed);
    void iniNavUI();

private:
    int MaxIndex() const;
    void Move(int delta);
    void Open(int i);

    std::unique_ptr<Ui::ModuleSelection> ui;
    HidConfig *m_hidConfig;
    std::array<QAbstractButton *, kModules> m_buttons{};
    QMovie *m_loading = nullptr;
    int m_index = 0;
    bool m_navActive = false;
    QString m_normalStyle;
    QString m_focusStyle;
};
