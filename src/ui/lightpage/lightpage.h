#pragma once

#include <QWidget>
#include <memory>

class HidConfig;

namespace Ui {
class LightPage;
}

// The four lighting zones of the active profile. A frame for now: the main window already
// navigates to it, shows and hides it and calls its operations.
class LightPage : public QWidget
{
    Q_OBJECT

public:
    explicit LightPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~LightPage() override;

    void UpdateUI();
signals:
    void saveShowAndCloseText(int Flag);

private:
    std::unique_ptr<Ui::LightPage> ui;
    HidConfig *m_hidConfig;
};
