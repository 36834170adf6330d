#pragma once

#include "ui/configpage/configpage.h"

#include <QColor>
#include <QTimer>
#include <array>
#include <memory>

class QLabel;
class QPushButton;

namespace Ui {
class LightPage;
}

// The four lighting zones of the active profile: colour, brightness, effect mode and speed
// of each. Changes stay on the page until saved, except a mode change, which asks the
// device for the zone's speed at once. The controller moves a focus over the swatches, the
// brightness bar, the mode list, the speed buttons and the zone buttons.
class LightPage : public ConfigPage
{
    Q_OBJECT

public:
    static constexpr int kAreas = 4;
    static constexpr int kSwatches = 24;
    // Focus indices: 0 the navigation column, 1..24 the swatches row by row.
    static constexpr int kFocusBrightness = 25;
    static constexpr int kFocusMode = 26;
    static constexpr int kFocusSlow = 27;
    static constexpr int kFocusArea1 = 30;
    static constexpr int kFocusLast = 33;

    // Swatch 1..24; black for any other index.
    static QColor Swatch(int index);
    // The handle's x for a brightness in percent, kept on the bar.
    static int HandleX(int brightness);

    explicit LightPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~LightPage() override;

    PageReads ReadsBefore(PageLoad load) const override;

    // For the controller and its tests. Areas are 1..4.
    int FocusIndex() const { return m_index; }
    int AreaNum() const { return m_areaNum; }
    int SpeedSel() const { return m_speedSel; }
    QColor AreaColor(int area) const;
    int AreaBrightness(int area) const;
    int AreaMode(int area) const;
    int AreaSpeed(int area) const;
    bool IsPopupOpen() const { return m_popupOpen; }
    bool IsBrightEditing() const { return m_brightEdit; }

public slots:
    void UpdateUI();
    void onTimeSpeed();

    void on_btnArea_1_clicked();
    void on_btnArea_2_clicked();
    void on_btnArea_3_clicked();
    void on_btnArea_4_clicked();
    void on_btnSlow_clicked();
    void on_btnMin_clicked();
    void on_btnFast_clicked();
    void on_comBxModel_activated(int index);
    void on_lblSpeedFocus_linkActivated(const QString &link);
    void on_lblAreaFocus_linkActivated(const QString &link);

    void on_btnSave_clicked() override;
    void on_btnReset_clicked() override;

public:
    void clickPadButtonPadLeft(bool pressed) override;
    void clickPadButtonPadRight(bool pressed) override;
    void clickPadButtonPadUp(bool pressed) override;
    void clickPadButtonPadDown(bool pressed) override;
    void clickPadButtonA(bool pressed) override;
    void clickPadButtonB(bool pressed) override;

protected:
    void Reload() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void SetUpStyles();
    void BuildSwatches();

    // Shows area 1..4 with its colour, brightness, speed and mode.
    void SelectArea(int area);
    void SetColor(const QColor &color);
    // Speed button 1..3; the selected area takes speed − 1.
    void SetSpeed(int speed);
    void ShowBrightness(int value);
    void DragHandle(int x);
    // Asks the device for the speed of m_readZone and shows it once it has arrived.
    void ReadAreaSpeed();
    void StyleBrightness(bool white);

    // Controller focus.
    void SetFocusIndex(int index);
    void HideFocusFrames();
    void StepBrightness(int delta);

    std::unique_ptr<Ui::LightPage> ui;
    QTimer m_speedTimer;
    // The pause between a mode change and the speed read it asks for.
    QTimer m_readTimer;
    int m_readZone = 0;

    std::array<QColor, kAreas> m_color{};
    std::array<int, kAreas> m_Brightness{};
    std::array<int, kAreas> m_mode{};
    std::array<int, kAreas> m_speedValue{};
    int m_areaNum = 1;
    int m_speedSel = 2;
    int m_index = 0;
    int m_returnIndex = kFocusArea1;
    bool m_brightEdit = false;
    bool m_popupOpen = false;
    int m_popupIndex = 0;
    // The area whose speed the running speed timer shows, 0..3.
    int m_speedArea = 0;
    bool m_dragging = false;

    std::array<QPushButton *, kSwatches> m_swatches{};
    std::array<QLabel *, kSwatches> m_swatchFrames{};
    QString m_speedSelected, m_speedNormal;
};
