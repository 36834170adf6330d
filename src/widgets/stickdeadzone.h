#pragma once

#include <QColor>
#include <QWidget>

// A thumb stick's dead zones as concentric circles: the range, the active area inside
// the outer dead zone (orange, translucent) and the inner dead zone (a black disc on top).
// Also shows the stick's live position as a small dot once a position has arrived. Paints
// only; emits nothing.
class StickDeadZone : public QWidget
{
    Q_OBJECT

public:
    explicit StickDeadZone(QWidget *parent = nullptr);

    int OuterRadius() const { return m_outerRadius; }
    int InnerRadius() const { return m_innerRadius; }
    // The stick's raw position (0..65535 per axis, 32768 centred, y growing downwards),
    // drawn as a dot; no signal.
    void SetStickPosition(quint16 x, quint16 y);
    // Hides the dot until the next position.
    void ClearStickPosition();
    bool HasStickPosition() const { return m_hasPosition; }
    // Where the dot is drawn, in widget pixels.
    QPointF StickDot() const;

public slots:
    // Outer dead zone in percent: 0 fills the range, 100 leaves no active area.
    void SetOutsideDeadArea(int radius);
    // Inner dead zone in percent of the range.
    void SetInsideDeadArea(int radius);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void resizeEvent(QResizeEvent *event) override;
    // The range's radius: half the height less 3 px, never negative.
    int RangeRadius() const;
    // Radii in pixels from the percentages last set, for the current height.
    void ApplyPercents();
    // The area the dot covers, with room for its outline and antialiasing.
    QRect DotRect() const;

    QColor m_accent;
    int m_outerRadius = 50;
    int m_innerRadius = 10;
    // Percentages last set (-1 until set), kept so a resize rescales the circles.
    int m_outerPercent = -1;
    int m_innerPercent = -1;
    bool m_hasPosition = false;
    quint16 m_stickX = 32768;
    quint16 m_stickY = 32768;
};
