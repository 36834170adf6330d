#pragma once

#include "ui/configpage/configpage.h"

#include <memory>

namespace Ui {
class MappingPage;
}

// Button and back-paddle mapping of the active profile. Its content comes with its own
// work; the main window already shows, loads and navigates it.
class MappingPage : public ConfigPage
{
    Q_OBJECT

public:
    explicit MappingPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~MappingPage() override;

    void updateMappingPage();
    PageReads ReadsBefore(PageLoad load) const override;

protected:
    void Reload() override;
    void PollRefresh() override;

private:
    std::unique_ptr<Ui::MappingPage> ui;
};
