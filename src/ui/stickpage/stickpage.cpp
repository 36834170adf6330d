#include "stickpage.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui_stickpage.h"

StickPage::StickPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::StickPage>())
{
    ui->setupUi(this);
}

StickPage::~StickPage() = default;

PageReads StickPage::ReadsBefore(PageLoad load) const
{
    auto deadZones = [](ControllersCommunication &com) { return com.GetStickDeadZone(); };
    auto axes = [](ControllersCommunication &com) { return com.GetStickAxis(); };
    auto left = [](ControllersCommunication &com) { return com.GetStickCurve(0); };
    auto right = [](ControllersCommunication &com) { return com.GetStickCurve(1); };
    if (load == PageLoad::ProfileChange)
        return {{deadZones, 20}, {axes, 20}, {left, 20}, {right, 220}};
    return {{deadZones, 10}, {left, 10}, {right, 100}};
}

void StickPage::Reload()
{
    updateStickPage();
}

void StickPage::updateStickPage() {}
