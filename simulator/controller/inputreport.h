#pragma once

#include <cstdint>
#include <vector>

namespace ctrlsim {

// Buttons, sticks and triggers of one input report.
struct InputState
{
    bool a = false, b = false, x = false, y = false;
    bool lb = false, rb = false, view = false, menu = false;
    bool lstick = false, rstick = false;
    uint8_t dpad = 0; // 0 released, 1 up, 2 up-right, 3 right, ... 8 up-left (clockwise)
    uint16_t lx = 0x8000, ly = 0x8000, rx = 0x8000, ry = 0x8000;
    uint16_t lt = 0, rt = 0; // 0..1023
    uint8_t reportMode = 0;
};

// The D-pad value of the pressed directions: opposite ones cancel, two neighbours make a
// diagonal.
uint8_t dpadValue(bool up, bool right, bool down, bool left);

// Long layout, `length` bytes (clamped to 17..64): 0 = 0x01; 1..8 lx ly rx ry LE; 9..10 lt;
// 11..12 rt; 13 dpad; 14 A b0, B b1, X b3, Y b4, LB b6, RB b7; 15 View b2, Menu b3,
// left stick b5, right stick b6; the rest zero.
std::vector<uint8_t> makeLongReport(const InputState &input, int length = 20);

// Short layout, 14 bytes: 0..7 lx ly rx ry LE; 8 = 0; 9 report mode; 10 A B X Y LB RB View Menu
// in bits 0..7; 11 = dpad << 2 | right stick << 1 | left stick; 12..13 = 0.
std::vector<uint8_t> makeShortReport(const InputState &input);

} // namespace ctrlsim
