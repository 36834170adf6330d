#pragma once

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
// switches pages by id, reads what a page needs from the device before showing it, and
// lets the controller move a focus frame over the navigation column.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kNavButtons = 8;

    explicit MainWindow(DevicePlatform *platform, QWidget *parent = nullptr);
    ~MainWindow() override;

    HidConfig *hidConfig() const { return m_hidConfig; }
    int CurrentPage() const { return m_currentPage; }
    int SelectIndex() const { return m_selectindex; }
    bool IsAccepted() const { return m_accepted; }
    bool IsNavUnlocked() const { return m_navUnlocked; }
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
    void OnInterfaceArrived(const QString &path);
    void OnInterfaceRemoved(const QString &path);
    void RefreshDevicesUnlessConfiguring();

    // Device reads before a page and its reload; also the profile-change reload.
    void ReadTriggerLevels();
    void ReloadPageAfterProfileChange(int page);
    void Wait(int ms);

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
    int m_pollPage = 0;
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
