#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

namespace ctrlsim {
class UpdatableDevice;
struct InputState;
} // namespace ctrlsim
class DemoServer;
class KeyboardPad;

// The demo's desk: a wired file-profile controller and a dongle on the virtual bus, the
// keyboard as the buttons of one of them, and a local download server with a newer
// firmware. Create it after the application object and before the window.
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
    // ORADESK_DEMO_RECOVERY=1: a controller left waiting in update mode by a failed update.
    void PlugWaitingDevice(bool typeRemembered);
    // The updater offers a device only an image it fetched earlier in the run; the demo
    // fetches the wired controller's at start so that its update can be walked through.
    void FetchWiredImage();
    // ORADESK_DEMO_SCRIPT=<file>: runs the script's steps (see DemoScript) and quits with
    // 0 after the last; with 1 when the file cannot be read, a line is malformed or a step
    // cannot be done.
    void StartScript();

    DemoServer *m_server = nullptr;
    std::vector<std::unique_ptr<ctrlsim::UpdatableDevice>> m_devices;
    std::unique_ptr<ctrlsim::UpdatableDevice> m_waiting;
    size_t m_target = 0;
    KeyboardPad *m_pad = nullptr;
};
