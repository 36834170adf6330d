#include "widgets/stickaxis.h"

#include <QDebug>
#include <QPainter>

namespace {

// Percent kept free at both ends of each axis.
constexpr int kMargin = 5;
// The point markers' radius, also the inset of the points from the edges.
constexpr float kMarkerRadius = 7.5f;
const QColor kCurveColor(255, 80, 1);
const QColor kFrameColor(52, 52, 52);

} // namespace

StickAxis::StickAxis(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StickAxis"));
    resize(400, 300);
}

QPointF StickAxis::ToPixels(int x, int y) const
{
    const int w = width();
    const int h = height();
    x = qBound(kMargin, x, 100 - kMargin);
    y = qBound(kMargin, y, 100 - kMargin);
    int px = int((x - kMargin) * w / 100 + kMarkerRadius);
    if (px > w)
        px = int(w - kMarkerRadius);
    int py = int((100 - y - kMargin) * h / 100 + kMarkerRadius);
    if (py > h)
        py = int(h - kMarkerRadius);
    return QPointF(px, py);
}

void StickAxis::setPoint1(int x, int y)
{
    m_point1 = ToPixels(x, y);
}

void StickAxis::setPoint2(int x, int y)
{
    m_point2 = ToPixels(x, y);
}

void StickAxis::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(QPen(kCurveColor, 2));
    painter.setBrush(kCurveColor);
    painter.drawEllipse(m_point1, kMarkerRadius, kMarkerRadius);
    painter.drawEllipse(m_point2, kMarkerRadius, kMarkerRadius);

    painter.drawLine(QPointF(0, h), m_point1);
    painter.drawLine(QPointF(w, 0), m_point2);
    painter.drawLine(m_point1, m_point2);

    painter.setPen(QPen(kFrameColor, 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(0, 0), QPoint(w - 1, h - 1)));

    qDebug() << "point1,2" << m_point1 << m_point2;
}
