#include "triggerpage.h"

#include "ui_triggerpage.h"

TriggerPage::TriggerPage(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::TriggerPage>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
}

TriggerPage::~TriggerPage() = default;

void TriggerPage::updateTriggerPage() {}
