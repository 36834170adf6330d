#include "updateapp.h"

#include "device/hidconfig.h"
#include "ui_updateapp.h"

UpdateAPP::UpdateAPP(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::UpdateAPP>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
    hidConfig->m_appVersion = kVersion;
}

UpdateAPP::~UpdateAPP() = default;

bool UpdateAPP::isNewer() const
{
    return false;
}

void UpdateAPP::start() {}
