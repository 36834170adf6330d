#pragma once

#include "demomouse.h"
#include "demostep.h"

#include <QObject>
#include <QVector>
#include <vector>

namespace ctrlsim {
class UpdatableDevice;
}
class ScriptPad;

// Runs the steps of a demo script one after another on the GUI thread. Each step is
// started from a timer, and waits and held buttons are timers too, so the application
// keeps handling its events and the devices' reports meanwhile. Prints each step as it
// starts; the first step that cannot be done ends the run with its line and the reason.
class DemoScript : public QObject
{
    Q_OBJECT

public:
    // devices: the wired controller first, then the dongle.
    DemoScript(QVector<DemoStep> steps, std::vector<ctrlsim::UpdatableDevice *> devices,
               QObject *parent = nullptr);

    // Starts with the first step once the event loop runs.
    void Start();

signals:
    // 0 after the last step or `quit`, 1 when a step failed.
    void Finished(int exitCode);

private:
    void RunNext();
    // Runs or starts the step; an error text when it cannot be done. A step that does
    // not fail calls Continue() exactly once, now or from a timer.
    QString Run(const DemoStep &step);
    // Polls until a visible widget of that name is there (or, gone, is not), for at most
    // the step's timeout.
    void WaitForWidget(const DemoStep &step, bool gone, int waitedMs);
    // Presses the mouse at the centre of the step's widget; an error text when it cannot.
    QString PressOn(const DemoStep &step, QString *receiver);
    QString Click(const DemoStep &step);
    QString Drag(const DemoStep &step);
    void DragMove(int i, QPoint offset);
    QString Type(const DemoStep &step);
    QString Screenshot(const DemoStep &step);
    QString State(const DemoStep &step);
    QString Fault(const DemoStep &step);
    QString Text(const DemoStep &step);
    QString Sent(bool sent) const;
    void Continue(int ms = 0);
    void Fail(const QString &why);
    void Finish(int exitCode);

    QVector<DemoStep> m_steps;
    std::vector<ctrlsim::UpdatableDevice *> m_devices;
    int m_next = 0;
    const DemoStep *m_current = nullptr;
    size_t m_target = 0;
    bool m_done = false;
    ScriptPad *m_pad;
    DemoMouse m_mouse;
};
