#pragma once

#include "ui/configpage/configpage.h"

#include <QTransform>
#include <QWidget>
#include <array>
#include <memory>

class Bartool;
class CalibrationPage;
class DevicePlatform;
class HidConfig;
class LightPage;
class MainWidget;
class MappingPage;
class ModuleSelection;
class ProfilePage;
class QAbstractButton;
class QThread;
class QTimer;
class ReadSequence;
class StickPage;
class TestPage;
class TriggerPage;
class TureboPage;
class UpdateAPP;
class VibratePage;

namespace Ui {
class MainWindow;
}

// The application window: owns the device model and its worker thread, every page, the
// title and explanation lines, the profile and device selectors and the saved notice;
// switches pages by id from one table, runs the reads each page asks for before it shows,
// and lets the controller move a focus frame over the navigation column.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kNavButtons = 8;

    // How a page marks its navigation button while shown.
    enum class NavMark
    {
        None,
        Disable,
        Highlight,
    };
    // One page the window can show: its id, its navigation index (-1 when it has none),
    // its title and explanation, whether it is re-read every 500 ms, and whether only
    // file-profile models have it.
    struct PageEntry
    {
        int id;
        int navIndex;
        NavMark navMark;
        const char *title;
        const char *explanation;
        bool polled;
        bool fileProfileOnly;
    };
    static const PageEntry *FindPage(int id);

    explicit MainWindow(DevicePlatform *platform, QWidget *parent = nullptr);
    ~MainWindow() override;

    HidConfig *hidConfig() const { return m_hidConfig; }
    int CurrentPage() const { return m_currentPage; }
    int SelectIndex() const { return m_selectindex; }
    bool IsAccepted() const { return m_accepted; }
    bool IsNavUnlocked() const { return m_navUnlocked; }
    // The configuration page shown under id, or null for the other pages.
    ConfigPage *ConfigPageOf(int id) const;
    bool IsLoadingPage() const;
    ModuleSelection *Modules() const { return m_moduleSelection; }
    Bartool *TitleBar() const { return m_bartool; }

signals:
    void currentProfileIndex(int index);

public slots:
    void showPage(int num);
    void devicePage();
    void backMainPage();
    void backThisMain();
    void SetMainWindowMintitle(QString strTitle, bool visity);
    void SetNavMinTitle(QString strText);
    void showDeviceList();
    void GetCurExplanation(QString strText);
    void saveShowAndCloseText(int Flag);
    void saveShowAndCloseText();
    void SetProfileUI();
    void ProfileChanges(uchar profileID, QString name);
    void on_comBxProfile_currentIndexChanged(int index);
    void on_comBxDeviceList_activated(int index);
    void on_comBxDeviceList_currentIndexChanged(int index);
    void on_btnNext_clicked();
    void on_btnCalibTest_clicked();
    void on_btnMapping_clicked();
    void on_btnTruebo_clicked();
    void on_btnStick_clicked();
    void on_btnTrigger_clicked();
    void on_btnVibrate_clicked();
    void on_btnCalibTest_2_clicked();
    void on_btnMapping_2_clicked();
    void on_btnTruebo_2_clicked();
    void on_btnStick_2_clicked();
    void on_btnTrigger_2_clicked();
    void on_btnVibrate_2_clicked();
    void on_btnProfile_clicked();
    void on_btnLight_clicked();
    void unlockNavigation(bool unlock);
    void clickPadButtonPadUp(bool pressed);
    void clickPadButtonPadDown(bool pressed);
    void clickPadButtonRight(bool pressed);
    void clickButtonA();
    void clickButtonB();
    void miniWindow();
    void RevInOrOutString(QString string);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // The device window also watches the platform for the update-mode device.
    void CreatePages(DevicePlatform *platform);
    void ConnectSignals();
    void ApplyStyles();
    void SetUpSelectors();
    void OnSplashTick();
    void OnPollTimer();
    void OpenConfigPage(const PageEntry &entry);
    void OpenOtherPage(int num);
    void LoadPage(int id, PageLoad load, PageReads first);
    // Reloads the current page after a profile switch (switchedTo >= 0) or after the
    // profile list was rebuilt (-1).
    void ReloadForProfile(int switchedTo);
    void OnInterfaceArrived(const QString &path);
    void OnInterfaceRemoved(const QString &path);
    void RefreshDevicesUnlessConfiguring();

    bool IsExtendedModel() const;
    QWidget *NavColumn() const;
    QAbstractButton *NavButton(int column, int index) const;
    void EnableAllNavButtons();
    void DisableNavButton(int index);
    void OpenByIndex(int i);
    void setNavFocus(int i);
    void LockNavigation();

    std::unique_ptr<Ui::MainWindow> ui;
    Bartool *m_bartool = nullptr;
    HidConfig *m_hidConfig = nullptr;
    QThread *m_hidThread = nullptr;
    QTimer *m_splashTimer = nullptr;
    QTimer *m_pollTimer = nullptr;
    QTimer *m_profileTimer = nullptr;
    QTimer *m_savedTimer = nullptr;
    ReadSequence *m_reads = nullptr;
    QTransform m_spinMatrix; // identity: the loading frames are drawn upright
    int m_splashTick = 0;

    ModuleSelection *m_moduleSelection = nullptr;
    TestPage *m_testPage = nullptr;
    CalibrationPage *m_calibrationPage = nullptr;
    MappingPage *m_mappingPage = nullptr;
    TureboPage *m_turboPage = nullptr;
    StickPage *m_stickPage = nullptr;
    TriggerPage *m_triggerPage = nullptr;
    VibratePage *m_vibratePage = nullptr;
    LightPage *m_lightPage = nullptr;
    ProfilePage *m_profilePage = nullptr;
    MainWidget *m_mainWidget = nullptr;
    UpdateAPP *m_updateApp = nullptr;

    int m_currentPage = 0;
    int m_selectindex = 0;
    int m_currenSelect = -1;
    bool m_comSelect = false;
    int m_comIndex = 0;
    bool m_profileUpdating = false;
    bool m_navUnlocked = false;
    bool m_accepted = false;
    QString m_col01Path;
    QString m_col02Path;
    QString m_selectorStyle;
};
