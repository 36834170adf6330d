#pragma once

#include <QWidget>

// The test page's stick range: a cross-hair, the range outline and one translucent disc
// whose radius the page sets in pixels. Paints only.
class DeadZoneExpan : public QWidget
{
    Q_OBJECT

public:
    explicit DeadZoneExpan(QWidget *parent = nullptr);

    void SetRadius(int radius);
    int Radius() const { return m_radius; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_radius;
};
