#pragma once

#include <QWidget>
#include <memory>

class HidConfig;

namespace Ui {
class VibratePage;
}

// Vibration strengths of the active profile. A frame for now: the main window already
// navigates to it, shows and hides it and calls its operations.
class VibratePage : public QWidget
{
    Q_OBJECT

public:
    explicit VibratePage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~VibratePage() override;

    void updateVibratePage();
signals:
    void saveShowAndCloseText(int Flag);

private:
    std::unique_ptr<Ui::VibratePage> ui;
    HidConfig *m_hidConfig;
};
