#include "calibrationpage.h"

#include "ui_calibrationpage.h"

CalibrationPage::CalibrationPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::CalibrationPage>())
{
    ui->setupUi(this);
}

CalibrationPage::~CalibrationPage() = default;

void CalibrationPage::Reload()
{
    // The calibration page covers the navigation column's area too.
    move(0, 32);
    prepare();
}

void CalibrationPage::prepare() {}
