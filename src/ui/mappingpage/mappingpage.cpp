#include "mappingpage.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui_mappingpage.h"

MappingPage::MappingPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::MappingPage>())
{
    ui->setupUi(this);
}

MappingPage::~MappingPage() = default;

PageReads MappingPage::ReadsBefore(PageLoad load) const
{
    const PageRead mapping{[](ControllersCommunication &com) { return com.GetButtonMapping(); },
                           load == PageLoad::Show   ? 100
                           : load == PageLoad::Poll ? 20
                                                    : 120};
    return {mapping};
}

void MappingPage::Reload()
{
    updateMappingPage();
}

void MappingPage::PollRefresh() {}

void MappingPage::updateMappingPage() {}
