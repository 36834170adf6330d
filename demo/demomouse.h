#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

// The mouse of a demo script: finds a widget by its object name and presses, moves and
// releases at a position of its window through the window system's event path, so the
// widget that lies at that position gets the events, as with a real mouse.
class DemoMouse
{
public:
    // The first visible widget with that object name: the active window searched first,
    // then the other visible top-level widgets. Null when there is none.
    static QWidget *FindVisible(const QString &objectName);
    // The visible top-level window to take a picture of: the active one, else the first
    // ordinary window shown.
    static QWidget *VisibleWindow();
    // "QToolButton btnMapping" or, for an unnamed widget, its class in its nearest named
    // ancestor.
    static QString Describe(const QWidget *widget);

    // Starts at the centre of the widget. False when its centre lies outside its window.
    bool Press(QWidget *target, QString *receiver);
    // Moves the held button to the press position plus offset; false once the window is gone.
    bool MoveBy(QPoint offset);
    bool Release();

private:
    QPointer<QWidget> m_window;
    QPoint m_pressAt;
    QPoint m_at;
};
