#include "controller/devicestate.h"

#include <algorithm>

namespace ctrlsim {

DeviceState::Record &DeviceState::active()
{
    return profiles[static_cast<size_t>(std::clamp(activeProfile, 0, kProfiles - 1))];
}

const DeviceState::Record &DeviceState::active() const
{
    return profiles[static_cast<size_t>(std::clamp(activeProfile, 0, kProfiles - 1))];
}

DeviceState DeviceState::sane(uint16_t productId)
{
    DeviceState s;
    s.productId = productId;
    for (size_t p = 0; p < s.profiles.size(); ++p) {
        for (size_t i = 0; i < rec::kSize; ++i) {
            s.profiles[p][i] = static_cast<uint8_t>(1 + (p * rec::kSize + i) % 255);
        }
        s.names[p] = "Profile " + std::to_string(p + 1);
    }
    s.saved = s.profiles;
    s.version = {1, 3, 0};
    s.version2 = {1, 30, 0};
    s.statusByte = 0x01;
    return s;
}

} // namespace ctrlsim
