#include "profilepage.h"

#include "ui_profilepage.h"

ProfilePage::ProfilePage(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::ProfilePage>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
}

ProfilePage::~ProfilePage() = default;

void ProfilePage::updateProfilePage() {}

void ProfilePage::currentControllerProfile(int) {}
