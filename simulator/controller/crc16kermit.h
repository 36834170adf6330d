#pragma once

#include <cstddef>
#include <cstdint>

namespace ctrlsim {

// CRC-16/KERMIT: reflected polynomial 0x8408, init 0, no final xor ("123456789" -> 0x2189).
// Kept separate from the application's CRC so a shared mistake cannot hide.
uint16_t crc16Kermit(const uint8_t *data, size_t length);

} // namespace ctrlsim
