#include "calibrationpage.h"

#include "ui_calibrationpage.h"

CalibrationPage::CalibrationPage(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::CalibrationPage>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
}

CalibrationPage::~CalibrationPage() = default;

void CalibrationPage::prepare() {}
