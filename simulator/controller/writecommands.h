#pragma once

#include "controller/devicestate.h"

#include <cstdint>
#include <vector>

namespace ctrlsim {

// Applies a write command (one that has no reply) to the state. `frame` is a valid 64-byte
// frame; out-of-range parameters make the command a no-op. `factory` is what reset restores.
// Returns false when the code is not a write command.
bool applyWriteCommand(DeviceState &state, const DeviceState &factory,
                       const std::vector<uint8_t> &frame);

} // namespace ctrlsim
