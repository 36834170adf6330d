#pragma once

#include <array>
#include <memory>

class QGamepad;

// The analogue triggers of the gamepads the system offers, each in 0..1.
class TriggerSource
{
public:
    static constexpr int kGamepads = 4;
    virtual ~TriggerSource() = default;
    virtual bool IsConnected(int id) const = 0;
    virtual double Left(int id) const = 0;
    virtual double Right(int id) const = 0;
};

// Triggers read through QGamepad, device ids 0..3.
class GamepadTriggerSource : public TriggerSource
{
public:
    GamepadTriggerSource();
    ~GamepadTriggerSource() override;
    bool IsConnected(int id) const override;
    double Left(int id) const override;
    double Right(int id) const override;

private:
    std::array<std::unique_ptr<QGamepad>, kGamepads> m_gamepad;
};
