#include "widgets/deadzoneexpan.h"

#include <QPainter>

namespace {

const QColor kDiscColor(255, 255, 255, 30);
const QColor kLineColor(52, 52, 52);

} // namespace

// The form sets the real size later; the test page sets the radius before it is seen.
DeadZoneExpan::DeadZoneExpan(QWidget *parent) : QWidget(parent), m_radius(qMax(0, width() / 2 - 30))
{
}

void DeadZoneExpan::SetRadius(int radius)
{
    const int bounded = qMax(0, radius);
    if (bounded == m_radius)
        return;
    m_radius = bounded;
    update();
}

void DeadZoneExpan::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();
    const int cx = w / 2;
    const int cy = h / 2;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(kDiscColor, Qt::SolidPattern));
    painter.drawEllipse(cx - m_radius, cy - m_radius, 2 * m_radius, 2 * m_radius);
    painter.restore();

    painter.save();
    painter.setPen(QPen(kLineColor, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(0, cy, w, cy);
    painter.drawLine(cx, 2, cx, h);
    painter.drawEllipse(cx - (cy - 1), 2, 2 * cy - 2, 2 * cy - 4);
    painter.restore();
}
