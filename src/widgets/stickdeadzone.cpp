#include "widgets/stickdeadzone.h"

#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

namespace {

const QColor kAccent(255, 80, 1);
const QColor kRangeColor(52, 52, 52);
constexpr int kAccentFillAlpha = 81;
constexpr double kDotRadius = 4.0;
constexpr int kStickCentre = 32768;

} // namespace

StickDeadZone::StickDeadZone(QWidget *parent) : QWidget(parent), m_accent(kAccent) {}

int StickDeadZone::RangeRadius() const
{
    return qMax(0, height() / 2 - 3);
}

void StickDeadZone::SetOutsideDeadArea(int radius)
{
    // Out-of-range percentages would give a negative or oversized circle.
    m_outerPercent = qBound(0, radius, 100);
    ApplyPercents();
}

void StickDeadZone::SetInsideDeadArea(int radius)
{
    m_innerPercent = qBound(0, radius, 100);
    ApplyPercents();
}

void StickDeadZone::ApplyPercents()
{
    const int range = RangeRadius();
    int outer = m_outerRadius;
    int inner = m_innerRadius;
    if (m_outerPercent >= 0)
        outer = ((100 - m_outerPercent) * range) / 100;
    if (m_innerPercent >= 0)
        inner = (range * m_innerPercent) / 100;
    // The bars call at every handle movement; repaint only on a visible change.
    if (outer == m_outerRadius && inner == m_innerRadius)
        return;
    m_outerRadius = outer;
    m_innerRadius = inner;
    update();
}

void StickDeadZone::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ApplyPercents();
}

void StickDeadZone::SetStickPosition(quint16 x, quint16 y)
{
    if (m_hasPosition && x == m_stickX && y == m_stickY)
        return;
    const QRect before = m_hasPosition ? DotRect() : QRect();
    m_hasPosition = true;
    m_stickX = x;
    m_stickY = y;
    // Positions arrive with every input report: repaint the dot's old and new place only.
    if (!before.isNull())
        update(before);
    update(DotRect());
}

void StickDeadZone::ClearStickPosition()
{
    if (!m_hasPosition)
        return;
    const QRect before = DotRect();
    m_hasPosition = false;
    update(before);
}

QPointF StickDeadZone::StickDot() const
{
    const QPointF centre(width() / 2, height() / 2);
    const double range = RangeRadius();
    QPointF offset((double(m_stickX) - kStickCentre) / kStickCentre * range,
                   (double(m_stickY) - kStickCentre) / kStickCentre * range);
    // A corner of the square of raw values lies outside the circle: pull it onto the rim.
    const double length = qSqrt(QPointF::dotProduct(offset, offset));
    if (length > range && length > 0)
        offset *= range / length;
    return centre + offset;
}

QRect StickDeadZone::DotRect() const
{
    const double margin = kDotRadius + 2;
    const QPointF dot = StickDot();
    return QRectF(dot.x() - margin, dot.y() - margin, 2 * margin, 2 * margin).toAlignedRect();
}

void StickDeadZone::paintEvent(QPaintEvent *)
{
    const int cx = width() / 2;
    const int cy = height() / 2;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.save();

    const int r0 = cy - 1;
    painter.setPen(QPen(kRangeColor, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(cx - r0, 1, 2 * r0, 2 * r0);

    // Opaque outline, translucent fill.
    painter.setPen(QPen(m_accent, 3));
    m_accent.setAlpha(kAccentFillAlpha);
    painter.setBrush(QBrush(m_accent, Qt::SolidPattern));
    painter.drawEllipse(cx - m_outerRadius, cy - m_outerRadius, 2 * m_outerRadius,
                        2 * m_outerRadius);

    m_accent = kAccent;
    painter.setPen(QPen(m_accent, 3));
    painter.setBrush(Qt::black);
    painter.drawEllipse(cx - m_innerRadius, cy - m_innerRadius, 2 * m_innerRadius,
                        2 * m_innerRadius);

    if (m_hasPosition) {
        painter.setPen(QPen(kRangeColor, 1.5));
        painter.setBrush(Qt::white);
        painter.drawEllipse(StickDot(), kDotRadius, kDotRadius);
    }
    painter.restore();
}
