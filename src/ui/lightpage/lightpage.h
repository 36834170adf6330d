#pragma once

#include "ui/configpage/configpage.h"

#include <memory>

namespace Ui {
class LightPage;
}

// The four lighting zones of the active profile. Its content comes with its own
// work; the main window already shows, loads and navigates it.
class LightPage : public ConfigPage
{
    Q_OBJECT

public:
    explicit LightPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~LightPage() override;

    void UpdateUI();
    PageReads ReadsBefore(PageLoad load) const override;

protected:
    void Reload() override;

private:
    std::unique_ptr<Ui::LightPage> ui;
};
