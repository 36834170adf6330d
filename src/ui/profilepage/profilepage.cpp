#include "profilepage.h"

#include "ui_profilepage.h"

ProfilePage::ProfilePage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::ProfilePage>())
{
    ui->setupUi(this);
}

ProfilePage::~ProfilePage() = default;

void ProfilePage::Reload()
{
    updateProfilePage();
}

void ProfilePage::updateProfilePage() {}

void ProfilePage::currentControllerProfile(int) {}
