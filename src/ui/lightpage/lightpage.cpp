#include "lightpage.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui_lightpage.h"

LightPage::LightPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::LightPage>())
{
    ui->setupUi(this);
}

LightPage::~LightPage() = default;

PageReads LightPage::ReadsBefore(PageLoad load) const
{
    const auto firstZone = [](ControllersCommunication &com) { return com.GetLight(0, 0); };
    if (load == PageLoad::ProfileChange)
        return {{nullptr, 20}, {firstZone, 600}};
    return {{firstZone, 100}};
}

void LightPage::Reload()
{
    UpdateUI();
}

void LightPage::UpdateUI() {}
