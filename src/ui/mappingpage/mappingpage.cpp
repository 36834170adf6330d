#include "mappingpage.h"

#include "ui_mappingpage.h"

MappingPage::MappingPage(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::MappingPage>()), m_hidConfig(hidConfig)
{
    ui->setupUi(this);
}

MappingPage::~MappingPage() = default;

void MappingPage::updateMappingPage() {}

void MappingPage::pollRefresh() {}
