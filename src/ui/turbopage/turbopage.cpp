#include "turbopage.h"

#include "ui_turbopage.h"

TureboPage::TureboPage(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::TureboPage>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
}

TureboPage::~TureboPage() = default;

void TureboPage::updateTurboPage() {}

void TureboPage::pollRefresh() {}
