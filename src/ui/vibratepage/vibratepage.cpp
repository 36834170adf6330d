#include "vibratepage.h"

#include "ui_vibratepage.h"

VibratePage::VibratePage(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::VibratePage>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
}

VibratePage::~VibratePage() = default;

void VibratePage::updateVibratePage() {}
