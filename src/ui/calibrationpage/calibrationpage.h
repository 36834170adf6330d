#pragma once

#include <QWidget>
#include <memory>

class HidConfig;

namespace Ui {
class CalibrationPage;
}

// The guided stick and trigger calibration. A frame for now: the main window already
// navigates to it, shows and hides it and calls its operations.
class CalibrationPage : public QWidget
{
    Q_OBJECT

public:
    explicit CalibrationPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~CalibrationPage() override;

    void prepare();
signals:
    void mainWinPageShow(int num);

private:
    std::unique_ptr<Ui::CalibrationPage> ui;
    HidConfig *m_hidConfig;
};
