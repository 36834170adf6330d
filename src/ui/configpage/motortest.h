#pragma once

#include <QObject>
#include <QPointer>

class HidConfig;
class QWidget;

// The controller's motor test as a page runs it: a report with the two strengths while the
// player drives it, and the zero report exactly once when it ends, whatever ends it: the
// page hiding, the device leaving, the application ending or losing the focus.
class MotorTest : public QObject
{
    Q_OBJECT

public:
    // Strength in percent of a trigger value 0..1023.
    static int Strength(int trigger);

    MotorTest(QWidget *page, HidConfig *hidConfig);
    ~MotorTest() override;

    // Runs the motors at these strengths (percent) while the page is shown and the window
    // has the focus; both at zero, or a test not allowed, stops them.
    void Drive(int leftPercent, int rightPercent);
    // Sends the zero report if a non-zero one is still in effect.
    void Stop();
    bool IsRunning() const { return m_running; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Allowed() const;

    QWidget *m_page;
    // Null once the model is gone: the main window deletes it before its pages.
    QPointer<HidConfig> m_model;
    bool m_running = false;
    bool m_suspended = false;
};
