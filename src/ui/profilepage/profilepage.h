#pragma once

#include "ui/configpage/configpage.h"

#include <memory>

namespace Ui {
class ProfilePage;
}

// Profiles kept as files and the controller profiles they are bound to. Its content comes with its
// own work; the main window already shows, loads and navigates it.
class ProfilePage : public ConfigPage
{
    Q_OBJECT

public:
    explicit ProfilePage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~ProfilePage() override;

    void updateProfilePage();

public slots:
    void currentControllerProfile(int index);

protected:
    void Reload() override;

private:
    std::unique_ptr<Ui::ProfilePage> ui;
};
