#pragma once

#include "device/buttonstates.h"
#include "protocol/profilesettings.h"
#include "ui/configpage/configpage.h"

#include <QElapsedTimer>
#include <array>
#include <cstdint>
#include <memory>

class QLabel;
class QPushButton;
class QTimer;

namespace Ui {
class MappingPage;
}

// Which controller button each back button (paddle) acts as. The user picks a back button
// (click, or D-pad and A), then presses the controller button it shall be; save writes the
// 20-byte mapping table. Four back buttons on most models, six on the file-profile models.
class MappingPage : public ConfigPage
{
    Q_OBJECT

public:
    static constexpr uint8_t kNone = ProfileSettings::kNoButton;
    // How long B must be held to give up waiting instead of assigning B.
    static constexpr int kCancelHoldMs = 1000;
    static constexpr int kArmMs = 200;

    // The code and name of the button at a pressed-buttons index; kNone, "None" for others.
    static uint8_t CodeOfIndex(int index);
    static QString NameOfCode(uint8_t code);

    explicit MappingPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~MappingPage() override;

    void updateMappingPage();
    PageReads ReadsBefore(PageLoad load) const override;

    // For the controller and its tests.
    bool IsWaiting() const { return m_waiting; }
    int Target() const { return m_target; }
    int FocusIndex() const { return m_index; }
    // The code shown for target 1..6 (kNone when unknown).
    uint8_t AssignedCode(int target) const;

public slots:
    void on_btnAGR1_clicked();
    void on_btnAGR2_clicked();
    void on_btnAGR3_clicked();
    void on_btnAGL1_clicked();
    void on_btnAGL2_clicked();
    void on_btnAGL3_clicked();
    void getButtons(ButtonStates buttons);
    void mappingFlag();

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
    // One back button's widgets and where its code lives in the record.
    struct Row
    {
        QPushButton *button;
        QLabel *arrow;
        QLabel *name;
        int offset;
    };

    bool SixButtons() const;
    int Targets() const { return SixButtons() ? 6 : 4; }
    // The row of target t (1..Targets()) in the numbering of the model; null for others.
    const Row *RowOfTarget(int t) const;
    void ClickBackButton(const char *name);
    void Select(int target);
    void Assign(uint8_t code);
    // Stops waiting without assigning.
    void CancelWait();
    void LoadLabels();
    void PlaceRows();
    void SetFocusStyle(int index);
    void Save(int flag);

    std::unique_ptr<Ui::MappingPage> ui;
    // AGR1, AGR2, AGR3, AGL1, AGL2, AGL3.
    std::array<Row, 6> m_rows{};
    std::array<uint8_t, 6> m_codes{};    // shown, written on save
    std::array<uint8_t, 6> m_codeCopy{}; // record offsets 14..19 as last loaded
    int m_target = 0;
    int m_index = 0;
    bool m_pageFocus = false;
    bool m_waiting = false;
    bool m_resetFlag = false;
    QTimer *m_armTimer;
    // Only a press that begins while waiting assigns: what was already held does not.
    ButtonStates m_lastButtons;
    // B pressed while waiting: assigned when let go, or the wait ends after a long hold.
    QTimer *m_cancelTimer;
    bool m_bHeld = false;
    QString m_labelSelected, m_labelNormal, m_arrowFocused, m_arrowNormal;
    QString m_backButton, m_backButtonSelected;
};
