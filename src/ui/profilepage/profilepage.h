#pragma once

#include "app/profilefiles.h"
#include "ui/configpage/configpage.h"

#include <QMap>
#include <QVector>
#include <memory>

class ProfileButton;
class QTimer;

namespace Ui {
class ProfilePage;
}

// Profiles kept as files, as a scrolling two-column grid with an add button. A profile is
// loaded into the controller by binding it to one of the controller's three slots; user
// profiles can be renamed and deleted. A long Y restores the controller's profiles and
// binds the three reserved ones to them.
class ProfilePage : public ConfigPage
{
    Q_OBJECT

public:
    static constexpr int kMaxButtons = 128;
    // The controller profile of slot 1..3.
    static int ControllerProfileOfSlot(int slot);

    // directory: where the profile files are (tests give their own).
    explicit ProfilePage(HidConfig *hidConfig, QWidget *parent = nullptr,
                         const QString &directory = ProfileFiles::DefaultDirectory());
    ~ProfilePage() override;

    void updateProfilePage();

    // For the controller and its tests.
    int Count() const { return m_count; }
    int Current() const { return m_current; }
    bool InButton() const { return m_inButton; }
    int SubFocus() const { return m_subFocus; }
    ProfileButton *Button(int index) const;
    QStringList Names() const { return m_names; }

public slots:
    void on_btnAddProfile_clicked();
    void on_btnReset_clicked() override;
    void btnrevisenameClicked(bool pressed);
    void btndeleteClicked(bool pressed);
    void LoadProfile(int index);
    void reloadProfie(QString name);
    void ModifyNameProfileClick(int index, QString profileReName);
    void CreateProfile(QString profileName, PROFILE_INFO conFigData);
    void CancelPreviousColor(int colorID);
    void currentControllerProfile(int index);
    void ontimeprofileList();

public:
    void clickPadButtonPadLeft(bool pressed) override;
    void clickPadButtonPadRight(bool pressed) override;
    void clickPadButtonPadUp(bool pressed) override;
    void clickPadButtonPadDown(bool pressed) override;
    void clickPadButtonA(bool pressed) override;
    void clickPadButtonB(bool pressed) override;

protected:
    void Reload() override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void BuildGrid();
    void OnCloseButton(int index);
    // Binds the controller profile p's name to its slot on the button of that name.
    void BindDeviceNames();
    // Sends the current-profile read and the name of controller profile p after a load.
    void NameAfterLoad(int profile, const QString &name);
    void ResetStep();

    // Controller focus.
    void SetFocus(int current);
    void FocusLook(int current, bool focused);
    void EnterButton();
    void LeaveButton();
    void Scroll();

    std::unique_ptr<Ui::ProfilePage> ui;
    ProfileFiles m_files;
    QStringList m_names;
    QVector<ProfileButton *> m_buttons;
    // Slot of each bound profile by name: the grid is rebuilt after adds and renames.
    QMap<QString, int> m_slots;
    int m_count = 0;
    int m_current = -1;
    bool m_inButton = false;
    int m_subFocus = 0;
    int m_controllerProfile = 0;
    QTimer *m_resetTimer;
    int m_resetStep = 0;
    QString m_addStyle, m_addFocusStyle;
};
