#pragma once

#include <QWidget>
#include <memory>

class HidConfig;

namespace Ui {
class ProfilePage;
}

// Profiles kept as files, and the profile slots of the controller. A frame for now: the main window
// already navigates to it, shows and hides it and calls its operations.
class ProfilePage : public QWidget
{
    Q_OBJECT

public:
    explicit ProfilePage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~ProfilePage() override;

    void updateProfilePage();
signals:
    void saveShowAndCloseText(int Flag);

public slots:
    void currentControllerProfile(int index);

private:
    std::unique_ptr<Ui::ProfilePage> ui;
    HidConfig *m_hidConfig;
};
