#pragma once

#include "ui/configpage/configpage.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>

class MotorTest;
class QLabel;
struct ButtonStates;

namespace Ui {
class TestPage;
}

// The controller's live input: every button lights while pressed, the sticks move two dots,
// the triggers fill two bars. Held View + Menu opens the calibration, A with the triggers
// runs the motors, A with a stick held steady changes its inner dead zone live, and a long
// B ends the test. Input is taken per report; the widgets follow at the screen's rate.
class TestPage : public ConfigPage
{
    Q_OBJECT

public:
    static constexpr int kIndicators = 16;
    static constexpr int kHoldTicks = 200;
    static constexpr uint16_t kStickCentre = 32768;

    // The dot's offset in its area for a stick value; range is the area's width less the
    // dot's.
    static int DotOffset(uint16_t value, int range);

    explicit TestPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~TestPage() override;

    // Called by the main window: on showing the page, and at every page change.
    void StartTest();
    void StopTest();

    // For the controller and its tests.
    bool IsExitMode() const { return m_exitMode; }
    int TestDeadZone(int side) const { return m_testDeadZone[size_t(side)]; }
    int CalibrationHold() const { return m_calCount; }
    // The left stick's values the widgets show.
    QPoint ShownLeftStick() const { return m_shownLeft; }

signals:
    void mainWinPageShow(int num);
    void DevicePage();
    // The widgets were brought up to date with the last input.
    void InputShown();

public slots:
    void TestButtons(ButtonStates buttons);
    void stickValue(ushort stickLx, ushort stickLy, ushort stickRx, ushort stickRy);
    void triggerValue(ushort triggerL, ushort triggerR);
    void ExitTest();
    void LoadingProgress(int value) override;
    void onCalTime();
    void onDeadZoneDeal();
    void on_btnCalibra_clicked();
    void on_btnBackMainPage_clicked();

public:
    void clickPadButtonPadUp(bool pressed) override;
    void clickPadButtonPadDown(bool pressed) override;

protected:
    void Reload() override;

private:
    enum Side
    {
        Left,
        Right,
    };
    // The record's stick dead zones as the page keeps them.
    enum DeadZoneByte
    {
        OuterL,
        InnerL,
        OuterR,
        InnerR,
    };

    void SetUpStyles();
    // Input is applied to the widgets at most once a frame; the last report wins.
    void ScheduleFrame();
    void ApplyFrame();
    void StepDeadZone(Side side);
    void SendDeadZones();
    void ShowDeadZones();

    std::unique_ptr<Ui::TestPage> ui;
    MotorTest *m_motorTest;
    std::array<QLabel *, kIndicators> m_indicators{};

    // The last input and what it moved.
    std::array<bool, kIndicators> m_pressed{};
    std::array<uint16_t, 4> m_stick{kStickCentre, kStickCentre, kStickCentre, kStickCentre};
    std::array<uint16_t, 2> m_trigger{};
    std::array<int, 2> m_stickX{};
    std::array<int, 2> m_moved{};
    bool m_aHeld = false;
    bool m_exitMode = false;

    std::array<uint8_t, 4> m_deadZone{};
    std::array<int, 2> m_testDeadZone{};
    std::array<int, 2> m_deadZoneTicks{};
    int m_calCount = 0;
    QTimer m_calTimer;
    QTimer m_deadZoneTimer;
    QTimer m_frameTimer;
    QElapsedTimer m_sinceFrame;
    QTimer m_healthTimer;
    QPoint m_shownLeft;
};
