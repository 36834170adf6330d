#include "controller/frame.h"

#include "controller/crc16kermit.h"

#include <algorithm>

namespace ctrlsim::frame {

uint16_t crcOf(const std::vector<uint8_t> &frame)
{
    return crc16Kermit(frame.data() + kCode, kCrcHigh - kCode);
}

std::vector<uint8_t> make(uint8_t code, const std::vector<uint8_t> &params)
{
    std::vector<uint8_t> out(kSize, 0);
    std::copy(kHeader.begin(), kHeader.end(), out.begin());
    out[kCode] = code;
    std::copy_n(params.begin(), std::min(params.size(), kMaxParams), out.begin() + kParams);
    const uint16_t crc = crcOf(out);
    out[kCrcHigh] = static_cast<uint8_t>(crc >> 8);
    out[kCrcLow] = static_cast<uint8_t>(crc & 0xFF);
    return out;
}

bool isValid(const std::vector<uint8_t> &report)
{
    if (report.size() != kSize || !std::equal(kHeader.begin(), kHeader.end(), report.begin())) {
        return false;
    }
    const uint16_t crc = crcOf(report);
    return report[kCrcHigh] == (crc >> 8) && report[kCrcLow] == (crc & 0xFF);
}

} // namespace ctrlsim::frame
