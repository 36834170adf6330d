#pragma once

#include "ui/configpage/configpage.h"

#include <memory>

namespace Ui {
class TriggerPage;
}

// Trigger dead zones of the active profile, per trigger-lock level. Its content comes with its own
// work; the main window already shows, loads and navigates it.
class TriggerPage : public ConfigPage
{
    Q_OBJECT

public:
    explicit TriggerPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~TriggerPage() override;

    void updateTriggerPage();
    PageReads ReadsBefore(PageLoad load) const override;

protected:
    void Reload() override;

private:
    std::unique_ptr<Ui::TriggerPage> ui;
};
