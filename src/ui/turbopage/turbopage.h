#pragma once

#include "ui/configpage/configpage.h"

#include <memory>

namespace Ui {
class TureboPage;
}

// Turbo buttons of the active profile. Its content comes with its own
// work; the main window already shows, loads and navigates it.
class TureboPage : public ConfigPage
{
    Q_OBJECT

public:
    explicit TureboPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~TureboPage() override;

    void updateTurboPage();
    PageReads ReadsBefore(PageLoad load) const override;

protected:
    void Reload() override;
    void PollRefresh() override;

private:
    std::unique_ptr<Ui::TureboPage> ui;
};
