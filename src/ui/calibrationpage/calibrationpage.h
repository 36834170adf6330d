#pragma once

#include "ui/configpage/configpage.h"

#include <memory>

namespace Ui {
class CalibrationPage;
}

// The guided stick and trigger calibration. Its content comes with its own
// work; the main window already shows, loads and navigates it.
class CalibrationPage : public ConfigPage
{
    Q_OBJECT

public:
    explicit CalibrationPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~CalibrationPage() override;

    void prepare();

signals:
    void mainWinPageShow(int num);

protected:
    void Reload() override;

private:
    std::unique_ptr<Ui::CalibrationPage> ui;
};
