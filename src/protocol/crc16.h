#pragma once

#include <cstddef>
#include <cstdint>

namespace crc16 {

// One step of CRC-16/KERMIT (reflected 0x1021, init 0, no final xor).
uint16_t kermitStep(uint16_t crc, uint8_t byte);
uint16_t kermit(const uint8_t *data, size_t length);

} // namespace crc16
