#pragma once

#include "controller/devicestate.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace ctrlsim {

// Answers a command that has a reply, from a valid 64-byte frame. Returns the reply frame, or
// nothing for codes that are not read commands and for out-of-range parameters.
// SetCurrentProfile changes the state, hence the non-const reference.
std::optional<std::vector<uint8_t>> answerReadCommand(DeviceState &state,
                                                      const std::vector<uint8_t> &frame);

} // namespace ctrlsim
