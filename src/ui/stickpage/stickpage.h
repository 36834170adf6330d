#pragma once

#include "protocol/profilesettings.h"
#include "ui/configpage/configpage.h"
#include "ui/style.h"

#include <array>
#include <cstdint>
#include <memory>

class FileINI;
class ProgressBar;
class QPushButton;

namespace Ui {
class StickPage;
}

// Stick dead zones, inversion and response curves of the active profile, for both sticks.
// Keep-sync makes the right stick follow the left one. Mouse or controller: the D-pad moves
// a focus through the items of the tab shown, A acts on it and edits a bar handle by 1 %.
class StickPage : public ConfigPage
{
    Q_OBJECT

public:
    using Curve = ProfileSettings::Curve;
    // Curve presets as the device stores them; Trends is the page's own "custom" choice.
    enum Preset
    {
        NoPreset = ProfileSettings::NoPreset,
        Linear = ProfileSettings::Linear,
        Smooth = ProfileSettings::Smooth,
        Radical = ProfileSettings::Radical,
        Trends = 4,
    };
    static Curve PresetCurve(int preset);
    // Linear, Smooth or Radical for exactly their bytes, else NoPreset (never Trends).
    static int curvePreset(const uint8_t *bytes);

    explicit StickPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~StickPage() override;

    void updateStickPage();
    PageReads ReadsBefore(PageLoad load) const override;

    // For the controller and its tests: the focused item and the tab shown.
    int FocusIndex() const { return m_index; }
    bool IsDeadZoneTab() const { return m_deadZoneTab; }
    bool IsEditing() const { return m_editing; }
    bool IsKeepSync() const { return m_keepSync; }

signals:
    void SetCurExplanation(QString text);

public slots:
    void SetInsideLeftDeadArea(int inSideValue);
    void SetOutsideLeftDeadArea(int outSideValue);
    void SetInsideRightDeadArea(int inSideValue);
    void SetOutsideRightDeadArea(int outSideValue);

    void on_btnReverseLX_clicked();
    void on_btnReverseLY_clicked();
    void on_btnReverseRX_clicked();
    void on_btnReverseRY_clicked();

    void on_btnCureveLinearL_clicked();
    void on_btnCureVeSmoothL_clicked();
    void on_btnCurveRadicalL_clicked();
    void on_btnCureTrendsL_clicked();
    void on_btnCureveLinearR_clicked();
    void on_btnCureVeSmoothR_clicked();
    void on_btnCurveRadicalR_clicked();
    void on_btnCureTrendsR_clicked();

    void on_btnKeepSync_clicked();
    void on_btnDeadZone_clicked();
    void on_btnCurVe_clicked();

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
        Left = 0,
        Right = 1,
    };
    enum Quantity
    {
        Inner,
        Outer,
    };

    void SetUpStyles();
    // The one body of the four dead-zone slots.
    void SetDeadArea(Side side, Quantity quantity, int value);
    // The inversion slots: toggles one axis, and its twin on the other stick with keep-sync.
    void ToggleReverse(Side side, int axis);
    void StyleReverse(Side side, int axis, bool focused);
    // The preset slots: marks the preset on that side, takes its points, and with keep-sync
    // (not for Trends) does the same on the other side.
    void ChoosePreset(Side side, int preset);
    void ShowPreset(Side side, int preset);
    void CopyLeftToRight();
    void LoadBars();
    void StyleKeepSync(bool focused);
    // Whether the controller focus is on this item of the tab shown.
    bool IsFocused(int deadZoneItem, int curveItem) const;
    void WriteMembersToRecord();
    bool Save(int flag);

    // Controller focus.
    void SetFocusStyle(int index);
    void Unfocus(int index);
    void FocusItem(int index, bool focused);
    void DropFocus();
    void EndEditing();
    void EditStep(bool right);
    void StepHandle(Side side, Quantity quantity, int delta);
    void OnStickValue(ushort lx, ushort ly, ushort rx, ushort ry);

    ProgressBar *Bar(Side side) const;
    int &Value(Side side, Quantity quantity);
    bool &Reverse(Side side, int axis);
    QPushButton *ReverseButton(Side side, int axis) const;
    QPushButton *PresetButton(Side side, int preset) const;

    std::unique_ptr<Ui::StickPage> ui;
    std::unique_ptr<FileINI> m_settings;

    bool m_keepSync = false;
    bool m_reverseLX = false;
    bool m_reverseLY = false;
    bool m_reverseRX = false;
    bool m_reverseRY = false;
    int m_inSideLValue = 0;
    int m_outSideLValue = 0;
    int m_inSideRValue = 0;
    int m_outSideRValue = 0;
    Curve m_curveL{};
    Curve m_curveR{};
    uint8_t m_curveSide = 0;
    bool m_deadZoneTab = true;
    int m_index = 0;
    bool m_pageFocus = false;
    bool m_editing = false;
    bool m_resetFlag = false;
    bool m_updating = false;
    bool m_settingL = false;
    bool m_settingR = false;

    QString m_curveSelected, m_curveUnselected;
    Style::ToggleLooks m_reverse;
    Style::ToggleLooks m_sync;
    QString m_tabStyle, m_tabFocusStyle;
};
