#pragma once

#include <QWidget>
#include <memory>

class HidConfig;

namespace Ui {
class TestPage;
}

// The input test page: buttons, sticks, triggers and motors. A frame for now: the main window
// already navigates to it, shows and hides it and calls its operations.
class TestPage : public QWidget
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

private:
    std::unique_ptr<Ui::TestPage> ui;
    HidConfig *m_hidConfig;
};
