#pragma once

#include "buttonstates.h"
#include "triggersource.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class HidConfig;

// Turns the controller's input reports into edge-triggered button signals, the pressed
// state of 18 buttons and raw stick and trigger values; a 10 ms tick adds long presses
// and D-pad auto-repeat, and a 10 ms poll reads the gamepad triggers.
class InputDecoder
{
public:
    static constexpr int kLongPressStart = 99;
    static constexpr int kLongPressFire = 300;
    static constexpr int kLongPressParked = 400;
    static constexpr int kTurboGapTicks = 19;
    static constexpr int kRepeatStart = 100;
    static constexpr int kRepeatEvery = 10;
    static constexpr uint16_t kTriggerFull = 1023;

    enum Latch
    {
        A,
        B,
        X,
        Y,
        View,
        Menu,
        Up,
        Right,
        Down,
        Left,
        LatchCount
    };

    explicit InputDecoder(HidConfig &config);

    void DecodeLong(const uint8_t *report, int length);
    void DecodeShort(const uint8_t *report, int length);
    // Every 10 ms: long presses of B and Y, D-pad auto-repeat.
    void Tick();
    // Every 10 ms: the gamepads' analogue triggers.
    void PollTriggers();
    void SetTriggerSource(std::unique_ptr<TriggerSource> source);

    ButtonStates Buttons() const;
    uint8_t m_triggerThreshold = 50;
    std::atomic<uint8_t> m_reportMode{0};
    std::atomic<uint16_t> m_triggerL{0};
    std::atomic<uint16_t> m_triggerR{0};
    std::atomic<int> m_repeatTicks{0};

private:
    struct LongPress
    {
        int count = 0;
        int gap = 0;
    };

    void Edge(Latch latch, bool down);
    void DirectionEdges(bool left, bool right, bool up, bool down);
    void Finish(ButtonStates &state, bool withTriggers, uint16_t lt, uint16_t rt);
    void TickLongPress(Latch latch, uint8_t turboBit, LongPress &press);
    void EmitLatch(Latch latch);
    // Sets the fully-pulled entries and returns the state they leave.
    ButtonStates SetFullTriggers(bool left, bool right);

    HidConfig &m_config;
    std::array<std::atomic<bool>, LatchCount> m_latch{};
    mutable std::mutex m_buttonsLock;
    ButtonStates m_buttons;
    std::unique_ptr<TriggerSource> m_triggers;
    std::array<bool, TriggerSource::kGamepads> m_gamepadActive{};
    LongPress m_pressB;
    LongPress m_pressY;
};
