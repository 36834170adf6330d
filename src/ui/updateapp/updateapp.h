#pragma once

#include <QWidget>
#include <memory>

class HidConfig;

namespace Ui {
class UpdateAPP;
}

// Tells of a newer application release and offers its download page. A frame for now: the main
// window already navigates to it, shows and hides it and calls its operations.
class UpdateAPP : public QWidget
{
    Q_OBJECT

public:
    // This build's version number: 1.2.3.
    static constexpr int kVersion = 123;

    explicit UpdateAPP(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~UpdateAPP() override;

    bool isNewer() const;
    void start();
signals:
    void backMainPage();
    void backThisMain();

private:
    std::unique_ptr<Ui::UpdateAPP> ui;
    HidConfig *m_hidConfig;
};
