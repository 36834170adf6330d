#include "crc16.h"

namespace crc16 {

uint16_t kermitStep(uint16_t crc, uint8_t byte)
{
    uint8_t x = byte ^ static_cast<uint8_t>(crc & 0xFF);
    x ^= static_cast<uint8_t>(x << 4);
    return static_cast<uint16_t>((crc >> 8) ^ (x << 8) ^ (x << 3) ^ (x >> 4));
}

uint16_t kermit(const uint8_t *data, size_t length)
{
    uint16_t crc = 0;
    for (size_t i = 0; i < length; ++i)
        crc = kermitStep(crc, data[i]);
    return crc;
}

} // namespace crc16
