#include "testpage.h"

#include "ui_testpage.h"

TestPage::TestPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::TestPage>())
{
    ui->setupUi(this);
}

TestPage::~TestPage() = default;

void TestPage::Reload()
{
    StartTest();
}

void TestPage::StartTest() {}

void TestPage::StopTest() {}
