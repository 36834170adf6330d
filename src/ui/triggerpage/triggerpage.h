#pragma once

#include <QWidget>
#include <memory>

class HidConfig;

namespace Ui {
class TriggerPage;
}

// Trigger dead zones of the active profile, per trigger-lock level. A frame for now: the main
// window already navigates to it, shows and hides it and calls its operations.
class TriggerPage : public QWidget
{
    Q_OBJECT

public:
    explicit TriggerPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~TriggerPage() override;

    void updateTriggerPage();
signals:
    void saveShowAndCloseText(int Flag);

private:
    std::unique_ptr<Ui::TriggerPage> ui;
    HidConfig *m_hidConfig;
};
