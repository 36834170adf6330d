#pragma once

#include "ui/configpage/configpage.h"

#include <memory>

namespace Ui {
class VibratePage;
}

// Vibration strengths of the active profile. Its content comes with its own
// work; the main window already shows, loads and navigates it.
class VibratePage : public ConfigPage
{
    Q_OBJECT

public:
    explicit VibratePage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~VibratePage() override;

    void updateVibratePage();
    PageReads ReadsBefore(PageLoad load) const override;

protected:
    void Reload() override;

private:
    std::unique_ptr<Ui::VibratePage> ui;
};
