#include "stickpage.h"

#include "ui_stickpage.h"

StickPage::StickPage(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::StickPage>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
}

StickPage::~StickPage() = default;

void StickPage::updateStickPage() {}
