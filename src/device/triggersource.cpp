#include "triggersource.h"

#include <QGamepad>

GamepadTriggerSource::GamepadTriggerSource()
{
    for (int id = 0; id < kGamepads; ++id)
        m_gamepad[size_t(id)] = std::make_unique<QGamepad>(id);
}

GamepadTriggerSource::~GamepadTriggerSource() = default;

bool GamepadTriggerSource::IsConnected(int id) const
{
    return m_gamepad[size_t(id)]->isConnected();
}

double GamepadTriggerSource::Left(int id) const
{
    return m_gamepad[size_t(id)]->buttonL2();
}

double GamepadTriggerSource::Right(int id) const
{
    return m_gamepad[size_t(id)]->buttonR2();
}
