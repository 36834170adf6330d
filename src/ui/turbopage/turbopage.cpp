#include "turbopage.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui_turbopage.h"

TureboPage::TureboPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::TureboPage>())
{
    ui->setupUi(this);
}

TureboPage::~TureboPage() = default;

PageReads TureboPage::ReadsBefore(PageLoad load) const
{
    const PageRead turbo{[](ControllersCommunication &com) { return com.GetTurbo(); },
                         load == PageLoad::Show   ? 100
                         : load == PageLoad::Poll ? 20
                                                  : 120};
    return {turbo};
}

void TureboPage::Reload()
{
    updateTurboPage();
}

void TureboPage::PollRefresh() {}

void TureboPage::updateTurboPage() {}
