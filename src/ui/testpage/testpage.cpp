#include "testpage.h"

#include "ui_testpage.h"

TestPage::TestPage(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::TestPage>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
}

TestPage::~TestPage() = default;

void TestPage::StartTest() {}

void TestPage::StopTest() {}
