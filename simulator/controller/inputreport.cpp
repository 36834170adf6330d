#include "controller/inputreport.h"

#include <algorithm>

namespace ctrlsim {

uint8_t dpadValue(bool up, bool right, bool down, bool left)
{
    static const uint8_t kValues[3][3] = {
        {8, 1, 2}, // up: with left, alone, with right
        {7, 0, 3},
        {6, 5, 4}, // down
    };
    const int dy = int(down) - int(up);
    const int dx = int(right) - int(left);
    return kValues[dy + 1][dx + 1];
}

namespace {

void putLe(std::vector<uint8_t> &out, size_t at, uint16_t value)
{
    out[at] = static_cast<uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

uint8_t bit(bool on, int n)
{
    return on ? static_cast<uint8_t>(1u << n) : 0;
}

} // namespace

std::vector<uint8_t> makeLongReport(const InputState &in, int length)
{
    std::vector<uint8_t> out(static_cast<size_t>(std::clamp(length, 17, 64)), 0);
    out[0] = 0x01;
    putLe(out, 1, in.lx);
    putLe(out, 3, in.ly);
    putLe(out, 5, in.rx);
    putLe(out, 7, in.ry);
    putLe(out, 9, in.lt);
    putLe(out, 11, in.rt);
    out[13] = in.dpad;
    out[14] =
        bit(in.a, 0) | bit(in.b, 1) | bit(in.x, 3) | bit(in.y, 4) | bit(in.lb, 6) | bit(in.rb, 7);
    out[15] = bit(in.view, 2) | bit(in.menu, 3) | bit(in.lstick, 5) | bit(in.rstick, 6);
    return out;
}

std::vector<uint8_t> makeShortReport(const InputState &in)
{
    std::vector<uint8_t> out(14, 0);
    putLe(out, 0, in.lx);
    putLe(out, 2, in.ly);
    putLe(out, 4, in.rx);
    putLe(out, 6, in.ry);
    out[9] = in.reportMode;
    out[10] = bit(in.a, 0) | bit(in.b, 1) | bit(in.x, 2) | bit(in.y, 3) | bit(in.lb, 4) |
              bit(in.rb, 5) | bit(in.view, 6) | bit(in.menu, 7);
    out[11] = static_cast<uint8_t>((in.dpad << 2) | bit(in.rstick, 1) | bit(in.lstick, 0));
    // An input report must never look like a reply frame (E1 00 ?? 3C); moving lx by one
    // step is invisible to anyone reading the stick.
    if (out[0] == 0xE1 && out[1] == 0x00 && out[3] == 0x3C) {
        out[0] = 0xE2;
    }
    return out;
}

} // namespace ctrlsim
