#include "vibratepage.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui_vibratepage.h"

#include <QDebug>

VibratePage::VibratePage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::VibratePage>())
{
    ui->setupUi(this);
}

VibratePage::~VibratePage() = default;

PageReads VibratePage::ReadsBefore(PageLoad load) const
{
    if (load == PageLoad::ProfileChange)
        return {{[](ControllersCommunication &com) {
                     qDebug() << "m_hidConfig->GetControllerComHandle()->GetVibRationStrength() "
                                 "on_comBxProfile_currentIndexChanged";
                     return com.GetVibRationStrength();
                 },
                 120}};
    return {{[](ControllersCommunication &com) { return com.GetVibRationStrength(); }, 100}};
}

void VibratePage::Reload()
{
    updateVibratePage();
}

void VibratePage::updateVibratePage() {}
