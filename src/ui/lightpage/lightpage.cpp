#include "lightpage.h"

#include "ui_lightpage.h"

LightPage::LightPage(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::LightPage>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
}

LightPage::~LightPage() = default;

void LightPage::UpdateUI() {}
