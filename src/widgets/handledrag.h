#pragma once

#include <QPoint>

class QEvent;
class QObject;

// The mouse side of a bar's handles, shared by the horizontal and the vertical bar: which
// handle the left button holds, how far the pointer has moved from where it pressed, and
// whether a handle is hovered (the bar's frame turns white for it).
class HandleDrag
{
public:
    enum class Step
    {
        None,
        Moved,        // the held handle was dragged by Delta()
        HoverChanged, // the pointer entered or left a handle
    };

    // Feeds an event a handle received.
    Step Feed(QObject *handle, QEvent *event);
    QPoint Delta() const { return m_delta; }
    bool Hovered() const { return m_hovered; }

private:
    QObject *m_held = nullptr; // the handle pressed, until released
    QPoint m_pressPoint;
    QPoint m_delta;
    bool m_hovered = false;
};
