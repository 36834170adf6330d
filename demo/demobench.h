#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

namespace ctrlsim {
class UpdatableDevice;
struct InputState;
} // namespace ctrlsim
class KeyboardPad;

// The demo's desk: a wired file-profile controller and a dongle on the virtual bus, and
// the keyboard as the buttons of one of them. Create it after the application object.
class DemoBench : public QObject
{
    Q_OBJECT

public:
    explicit DemoBench(QObject *parent = nullptr);
    ~DemoBench() override;

private:
    void SendInput(const ctrlsim::InputState &state);
    void SwitchTarget();
    QString TargetName() const;
    // ORADESK_DEMO_SCREENSHOT=<png>: grab the window after ORADESK_DEMO_SCREENSHOT_AFTER
    // seconds (3 by default), save it and quit.
    void ScheduleScreenshot();
    // ORADESK_DEMO_BENCH=1: print when the first window shows, walk to the module
    // selection with the keyboard's buttons, print the resident memory there (and save
    // ORADESK_DEMO_SCREENSHOT of it) and quit.
    void ScheduleBenchmark();
    void Press(void (*set)(ctrlsim::InputState &));

    std::vector<std::unique_ptr<ctrlsim::UpdatableDevice>> m_devices;
    size_t m_target = 0;
    KeyboardPad *m_pad = nullptr;
};
