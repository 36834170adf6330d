#pragma once

namespace ctrlsim {
class UpdatableDevice;
struct InputState;
} // namespace ctrlsim

// Sends one input report from a simulated device, on the node a real one reports its
// buttons on. False while the device is not in normal mode (updating or re-plugging).
bool SendDemoInput(ctrlsim::UpdatableDevice &device, const ctrlsim::InputState &state);
