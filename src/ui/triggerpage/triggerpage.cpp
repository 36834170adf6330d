#include "triggerpage.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui_triggerpage.h"

TriggerPage::TriggerPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::TriggerPage>())
{
    ui->setupUi(this);
}

TriggerPage::~TriggerPage() = default;

PageReads TriggerPage::ReadsBefore(PageLoad) const
{
    auto level = [](uint8_t n) {
        return [n](ControllersCommunication &com) { return com.GetTriggerDeadZone(n, n); };
    };
    if (m_hidConfig->m_noTriggerLevels)
        return {{level(0), 100}};
    return {{level(0), 20}, {level(1), 20}, {level(2), 100}};
}

void TriggerPage::Reload()
{
    updateTriggerPage();
}

void TriggerPage::updateTriggerPage() {}
