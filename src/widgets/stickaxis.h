#pragma once

#include <QPointF>
#include <QWidget>

// A stick's response curve: a polyline from the bottom-left corner through two control
// points to the top-right corner. The points come in percent (input, output) and are kept
// in pixels; the caller repaints.
class StickAxis : public QWidget
{
    Q_OBJECT

public:
    explicit StickAxis(QWidget *parent = nullptr);

    void setPoint1(int x, int y);
    void setPoint2(int x, int y);
    QPointF point1() const { return m_point1; }
    QPointF point2() const { return m_point2; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointF ToPixels(int x, int y) const;

    QPointF m_point1{8, 112};
    QPointF m_point2{112, 8};
};
