#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The 64-byte frame used both for commands (host to device) and replies (device to host):
// E1 00 01 3C, command code, parameters, CRC-16/KERMIT of bytes 4..61 at 62 (high), 63 (low).
namespace ctrlsim::frame {

constexpr size_t kSize = 64;
constexpr size_t kCode = 4;
constexpr size_t kParams = 5;
constexpr size_t kCrcHigh = 62;
constexpr size_t kCrcLow = 63;
constexpr size_t kMaxParams = kCrcHigh - kParams;
constexpr std::array<uint8_t, 4> kHeader = {0xE1, 0x00, 0x01, 0x3C};

// Header, code, params from byte 5 (anything past byte 61 is dropped), zero padding, CRC.
std::vector<uint8_t> make(uint8_t code, const std::vector<uint8_t> &params = {});
// True only for exactly 64 bytes with the header and a correct CRC.
bool isValid(const std::vector<uint8_t> &report);
uint16_t crcOf(const std::vector<uint8_t> &frame); // over bytes 4..61 of a 64-byte frame

} // namespace ctrlsim::frame
