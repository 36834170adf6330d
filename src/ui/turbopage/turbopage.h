#pragma once

#include "ui/configpage/configpage.h"

#include <array>
#include <cstdint>
#include <memory>

class QLabel;
class QPushButton;

namespace Ui {
class TureboPage;
}

// Turbo (auto-repeat) on or off for A, B, X, Y, RB, LB, LT and RT: one bit each of the
// active profile's turbo byte. The controller moves a focus over the eight switches.
class TureboPage : public ConfigPage
{
    Q_OBJECT

public:
    static constexpr int kRows = 8;
    // The turbo bit of row 1..8 (RB and LB, rows 5 and 6, are bits 5 and 4).
    static uint8_t BitOfRow(int row);

    explicit TureboPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~TureboPage() override;

    void updateTurboPage();
    PageReads ReadsBefore(PageLoad load) const override;

    // For the controller and its tests.
    uint8_t WorkingMask() const { return m_mask; }
    int FocusIndex() const { return m_index; }

public slots:
    void on_btnTurboA_clicked();
    void on_btnTurboB_clicked();
    void on_btnTurboX_clicked();
    void on_btnTurboY_clicked();
    void on_btnTurboRB_clicked();
    void on_btnTurboLB_clicked();
    void on_btnTurboLT_clicked();
    void on_btnTurboRT_clicked();

    void on_btnSave_clicked() override;
    void on_btnReset_clicked() override;

public:
    void clickPadButtonPadLeft(bool pressed) override;
    void clickPadButtonPadRight(bool pressed) override;
    void clickPadButtonPadUp(bool pressed) override;
    void clickPadButtonPadDown(bool pressed) override;
    void clickPadButtonA(bool pressed) override;

protected:
    void Reload() override;
    void PollRefresh() override;
    void SaveNotConfirmed() override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    struct Row
    {
        QLabel *name;
        QLabel *arrow;
        QPushButton *button;
    };

    void Toggle(int row);
    // Takes mask as working mask and copy and shows it.
    void ShowMask(uint8_t mask);
    // The switch's look, focused when the controller is on its row.
    void StyleSwitch(int row);
    void StyleSwitch(int row, bool focused);
    void Highlight(int row);
    void Focus(int row, bool focused);

    std::unique_ptr<Ui::TureboPage> ui;
    std::array<Row, kRows> m_rows{};
    std::array<bool, kRows> m_on{};
    uint8_t m_mask = 0;
    uint8_t m_maskCopy = 0;
    int m_index = 0;
    bool m_pageFocus = false;
    bool m_loading = false;
    QString m_switchOn, m_switchOff, m_switchOnFocus, m_switchOffFocus;
    QString m_rowHighlighted, m_rowNormal;
};
