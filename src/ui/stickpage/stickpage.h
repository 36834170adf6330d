#pragma once

#include <QWidget>
#include <memory>

class HidConfig;

namespace Ui {
class StickPage;
}

// Stick dead zones, response curves and inversion of the active profile. A frame for now: the main
// window already navigates to it, shows and hides it and calls its operations.
class StickPage : public QWidget
{
    Q_OBJECT

public:
    explicit StickPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~StickPage() override;

    void updateStickPage();
signals:
    void saveShowAndCloseText(int Flag);
    void SetCurExplanation(QString text);

private:
    std::unique_ptr<Ui::StickPage> ui;
    HidConfig *m_hidConfig;
};
