#pragma once

#include "ui/configpage/configpage.h"

#include <memory>

namespace Ui {
class TestPage;
}

// Live test of buttons, sticks, triggers and motors. Its content comes with its own
// work; the main window already shows, loads and navigates it.
class TestPage : public ConfigPage
{
    Q_OBJECT

public:
    explicit TestPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~TestPage() override;

    void StartTest();
    void StopTest();

signals:
    void mainWinPageShow(int num);
    void DevicePage();

protected:
    void Reload() override;

private:
    std::unique_ptr<Ui::TestPage> ui;
};
