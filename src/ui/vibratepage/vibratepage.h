#pragma once

#include "ui/configpage/configpage.h"
#include "ui/style.h"

#include <cstdint>
#include <memory>

class FileINI;
class ProgressBar;

namespace Ui {
class VibratePage;
}

class MotorTest;

// Rumble strengths of the active profile in percent: left and right main motor, and the
// trigger motors the record also holds. Keep-sync makes the main motors follow each other.
// While the page is shown and its window keeps the focus, pulling a trigger runs the motor
// of that side as a live test; whatever ends the test (release, hiding, focus loss, device
// removal, quit, destruction) stops the motors with one zero report.
class VibratePage : public ConfigPage
{
    Q_OBJECT

public:
    explicit VibratePage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~VibratePage() override;

    void updateVibratePage();
    PageReads ReadsBefore(PageLoad load) const override;

    // For the controller and its tests.
    int FocusIndex() const { return m_focusIndex; }
    bool IsEditing() const { return m_editing; }
    bool IsKeepSync() const { return m_keepSync; }
    bool IsTesting() const;

public slots:
    void LeftTriggerVibrationStrength(int value);
    void RightTriggerVibrationStrength(int value);
    void LeftMotorVibrationStrength(int value);
    void RightMotorVibrationStrength(int value);
    void triggerValue(ushort triggerL, ushort triggerR);

    void on_btnKeepSync_clicked();
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
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void SetUpStyles();
    void StyleKeepSync(bool focused);
    // One kind of motor panel is shown, in the upper place; the other waits below it.
    void ShowMotorPanels(bool triggerMotors);
    void CopyLeftToRight();

    // Controller focus.
    void SetFocusIndex(int index);
    void EndEditing();
    void EditStep(int delta);

    std::unique_ptr<Ui::VibratePage> ui;
    std::unique_ptr<FileINI> m_settings;
    MotorTest *m_motorTest;

    bool m_keepSync = false;
    uint8_t m_vibrationLT = 0;
    uint8_t m_vibrationRT = 0;
    uint8_t m_vibrationLM = 0;
    uint8_t m_vibrationRM = 0;
    int m_focusIndex = 0;
    bool m_editing = false;
    bool m_updating = false;
    // Set while one motor bar mirrors into the other, so that the other does not mirror back.
    bool m_mirroringLeft = false;
    bool m_mirroringRight = false;
    bool m_resetFlag = false;

    Style::ToggleLooks m_sync;
};
