#pragma once

#include <QWidget>
#include <memory>

class HidConfig;

namespace Ui {
class TureboPage;
}

// Turbo buttons of the active profile. A frame for now: the main window already
// navigates to it, shows and hides it and calls its operations.
class TureboPage : public QWidget
{
    Q_OBJECT

public:
    explicit TureboPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~TureboPage() override;

    void updateTurboPage();
    void pollRefresh();
signals:
    void saveShowAndCloseText(int Flag);

private:
    std::unique_ptr<Ui::TureboPage> ui;
    HidConfig *m_hidConfig;
};
