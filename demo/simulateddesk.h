#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace ctrlsim {
class SimulatedController;
}

// The command line's simulated controllers: the demo's wired Vexalon Pro (three named
// profiles, lighting) and its Vexalon Adv dongle, on the virtual bus. What they hold
// is kept in a file between runs, so that an import shows in the next show, as it would
// on a real controller.
class SimulatedDesk
{
public:
    static constexpr uint16_t kWiredPid = 0x400E;
    static constexpr uint16_t kDonglePid = 0x4013;

    // Plugs both devices with what statePath holds, or with fresh profiles when it holds
    // nothing usable. An empty path keeps nothing.
    explicit SimulatedDesk(const QString &statePath = QString());
    ~SimulatedDesk();

    // Writes the devices' committed profiles to the state file.
    bool Save() const;

    ctrlsim::SimulatedController &Wired() { return *m_devices[0]; }
    ctrlsim::SimulatedController &Dongle() { return *m_devices[1]; }

    // $XDG_RUNTIME_DIR/quorel-oradesk/simulated-controllers.json, or ORADESK_SIM_STATE.
    static QString DefaultStatePath();

private:
    QString m_statePath;
    std::vector<std::unique_ptr<ctrlsim::SimulatedController>> m_devices;
};
