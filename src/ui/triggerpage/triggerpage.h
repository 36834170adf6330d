#pragma once

#include "ui/configpage/configpage.h"
#include "ui/style.h"

#include <array>
#include <cstdint>
#include <memory>

class FileINI;
class QPushButton;
class VerProgressBar;

namespace Ui {
class TriggerPage;
}

// The two triggers' dead zones (start and end, in percent) for each of the three trigger
// lock levels T1..T3. The picture shows the controller from behind, so the right trigger's
// panel is on the left. Keep-sync makes the right trigger follow the left one.
class TriggerPage : public ConfigPage
{
    Q_OBJECT

public:
    static constexpr int kLevels = 3;
    using Levels = std::array<uint8_t, kLevels>;

    explicit TriggerPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~TriggerPage() override;

    void updateTriggerPage();
    PageReads ReadsBefore(PageLoad load) const override;

    // For the controller and its tests.
    int FocusIndex() const { return m_focusIndex; }
    bool IsEditing() const { return m_editing; }
    int LevelLeft() const { return m_locationL; }
    int LevelRight() const { return m_locationR; }

public slots:
    void on_btnRT1_clicked();
    void on_btnRT2_clicked();
    void on_btnRT3_clicked();
    void on_btnLT1_clicked();
    void on_btnLT2_clicked();
    void on_btnLT3_clicked();
    void on_btnKeepSync_clicked();
    void getTriggerLDeadZoneStartValue(int value);
    void getTriggerLDeadZoneEndValue(int value);
    void getTriggerRDeadZoneStartValue(int value);
    void getTriggerRDeadZoneEndValue(int value);

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
    enum Side
    {
        Left,
        Right,
    };

    bool HasLevels() const;
    Levels &Start(Side side) { return side == Left ? m_triggerLStrar : m_triggerRStrar; }
    Levels &End(Side side) { return side == Left ? m_triggerLEnd : m_triggerREnd; }
    uint8_t &Location(Side side) { return side == Left ? m_locationL : m_locationR; }
    VerProgressBar *Bar(Side side) const;
    QPushButton *LevelButton(Side side, int level) const;

    // The level slots: that side's level, and with keep-sync the other side's too.
    void SelectLevel(Side side, int level);
    void ShowLevel(Side side, int level);
    void LoadBar(Side side);
    // A handle dragged: start (or end) of the side's level, mirrored with keep-sync.
    void SetValue(Side side, bool start, int value);
    void CopyLeftToRight();
    void StyleKeepSync(bool focused);
    bool Save(int flag);

    // Controller focus.
    void Move(int next);
    void FocusItem(int index, bool focused);
    void EndEditing();
    void EditStep(bool up);
    void StepHandle(Side side, bool start, int delta);

    std::unique_ptr<Ui::TriggerPage> ui;
    std::unique_ptr<FileINI> m_settings;
    bool m_keepSync = false;
    uint8_t m_locationL = 0;
    uint8_t m_locationR = 0;
    Levels m_triggerLStrar{};
    Levels m_triggerLEnd{};
    Levels m_triggerRStrar{};
    Levels m_triggerREnd{};
    bool m_updating = false;
    bool m_editing = false;
    bool m_resetFlag = false;
    int m_focusIndex = 0;
    Style::ToggleLooks m_sync;
    QString m_levelSelected, m_levelUnselected;
};
