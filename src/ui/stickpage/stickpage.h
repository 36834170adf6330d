#pragma once

#include "ui/configpage/configpage.h"

#include <memory>

namespace Ui {
class StickPage;
}

// Stick dead zones, response curves and inversion of the active profile. Its content comes with its
// own work; the main window already shows, loads and navigates it.
class StickPage : public ConfigPage
{
    Q_OBJECT

public:
    explicit StickPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~StickPage() override;

    void updateStickPage();
    PageReads ReadsBefore(PageLoad load) const override;

signals:
    void SetCurExplanation(QString text);

protected:
    void Reload() override;

private:
    std::unique_ptr<Ui::StickPage> ui;
};
