#include "inputdecoder.h"

#include "hidconfig.h"

namespace {

enum Entry
{
    kA,
    kB,
    kX,
    kY,
    kView,
    kMenu,
    kShoulderL,
    kShoulderR,
    kTriggerFullL,
    kTriggerFullR,
    kStickL,
    kStickR,
    kPadUp,
    kPadRight,
    kPadDown,
    kPadLeft,
    kTriggerPastL,
    kTriggerPastR
};

uint16_t U16(const uint8_t *p)
{
    return uint16_t(p[0] | p[1] << 8);
}

bool OneOf(int value, int a, int b, int c)
{
    return value == a || value == b || value == c;
}

} // namespace

InputDecoder::InputDecoder(HidConfig &config) : m_config(config)
{
    qRegisterMetaType<ButtonStates>("ButtonStates");
}

void InputDecoder::SetTriggerSource(std::unique_ptr<TriggerSource> source)
{
    m_triggers = std::move(source);
    m_gamepadActive.fill(false);
}

ButtonStates InputDecoder::Buttons() const
{
    std::lock_guard<std::mutex> guard(m_buttonsLock);
    return m_buttons;
}

void InputDecoder::EmitLatch(Latch latch)
{
    switch (latch) {
    case A:
        emit m_config.pressButtonA(true);
        break;
    case B:
        emit m_config.pressButtonB(true);
        break;
    case X:
        emit m_config.pressButtonX(true);
        break;
    case Y:
        emit m_config.pressButtonY(true);
        break;
    case View:
        emit m_config.pressButtonView(true);
        break;
    case Menu:
        emit m_config.pressButtonMenu(true);
        break;
    case Up:
        emit m_config.pressButtonUp(true);
        break;
    case Right:
        emit m_config.pressButtonRight(true);
        break;
    case Down:
        emit m_config.pressButtonDown(true);
        break;
    case Left:
        emit m_config.pressButtonLeft(true);
        break;
    case LatchCount:
        break;
    }
}

// A held button emits once per press.
void InputDecoder::Edge(Latch latch, bool down)
{
    if (!down) {
        m_latch[latch].store(false);
        return;
    }
    if (m_latch[latch].exchange(true))
        return;
    if (latch >= Up)
        m_repeatTicks.store(0);
    EmitLatch(latch);
}

void InputDecoder::DirectionEdges(bool left, bool right, bool up, bool down)
{
    Edge(Left, left);
    Edge(Right, right);
    Edge(Up, up);
    Edge(Down, down);
}

void InputDecoder::DecodeLong(const uint8_t *r, int length)
{
    if (length < 17)
        return;
    const uint16_t lt = U16(r + 9);
    const uint16_t rt = U16(r + 11);
    const int pad = r[13];
    const uint8_t face = r[14];
    const uint8_t menu = r[15];
    Edge(A, face & 0x01);
    Edge(B, face & 0x02);
    Edge(X, face & 0x08);
    Edge(Y, face & 0x10);
    DirectionEdges(pad == 7, pad == 3, pad == 1, pad == 5);
    Edge(View, menu & 0x04);
    Edge(Menu, menu & 0x08);

    ButtonStates state;
    state[kView] = menu & 0x04;
    state[kMenu] = menu & 0x08;
    state[kShoulderL] = face & 0x40;
    state[kShoulderR] = face & 0x80;
    state[kStickL] = menu & 0x20;
    state[kStickR] = menu & 0x40;
    state[kPadUp] = OneOf(pad, 1, 2, 8);
    state[kPadRight] = OneOf(pad, 2, 3, 4);
    state[kPadDown] = OneOf(pad, 4, 5, 6);
    state[kPadLeft] = OneOf(pad, 6, 7, 8);
    emit m_config.stickValue(U16(r + 1), U16(r + 3), U16(r + 5), U16(r + 7));
    Finish(state, true, lt, rt);
}

void InputDecoder::DecodeShort(const uint8_t *r, int length)
{
    if (length != 14)
        return;
    m_reportMode.store(r[9]);
    const uint8_t face = r[10];
    const int pad = r[11]; // the whole byte: a held stick click masks the directions
    Edge(A, face & 0x01);
    Edge(B, face & 0x02);
    Edge(X, face & 0x04);
    Edge(Y, face & 0x08);
    DirectionEdges(pad == 28, pad == 12, pad == 4, pad == 20);
    Edge(View, face & 0x40);
    Edge(Menu, face & 0x80);

    ButtonStates state;
    state[kView] = face & 0x40;
    state[kMenu] = face & 0x80;
    state[kShoulderL] = face & 0x10;
    state[kShoulderR] = face & 0x20;
    state[kStickL] = pad & 0x01;
    state[kStickR] = pad & 0x02;
    state[kPadUp] = OneOf(pad, 4, 8, 32);
    state[kPadRight] = OneOf(pad, 8, 12, 16);
    state[kPadDown] = OneOf(pad, 16, 20, 24);
    state[kPadLeft] = OneOf(pad, 24, 28, 32);
    emit m_config.stickValue(U16(r), U16(r + 2), U16(r + 4), U16(r + 6));
    Finish(state, false, m_triggerL.load(), m_triggerR.load());
}

// Fills the latched and trigger entries, stores the state and reports it.
void InputDecoder::Finish(ButtonStates &state, bool withTriggers, uint16_t lt, uint16_t rt)
{
    state[kA] = m_latch[A].load();
    state[kB] = m_latch[B].load();
    state[kX] = m_latch[X].load();
    state[kY] = m_latch[Y].load();
    state[kTriggerFullL] = lt == kTriggerFull;
    state[kTriggerFullR] = rt == kTriggerFull;
    state[kTriggerPastL] = lt > m_triggerThreshold;
    state[kTriggerPastR] = rt > m_triggerThreshold;
    {
        std::lock_guard<std::mutex> guard(m_buttonsLock);
        m_buttons = state;
    }
    if (state[kPadDown] && m_latch[Y].load())
        emit m_config.FinishedCalibra();
    if (withTriggers)
        emit m_config.triggerValue(lt, rt);
    emit m_config.pressButtons(state);
}

void InputDecoder::PollTriggers()
{
    // The poll runs from a timer of the event loop, which also keeps the gamepad values
    // current: no events are processed from here, so nothing can re-enter a handler.
    if (!m_triggers)
        return;
    for (int id = 0; id < TriggerSource::kGamepads; ++id) {
        if (!m_triggers->IsConnected(id))
            continue;
        const auto l = uint16_t(m_triggers->Left(id) * kTriggerFull);
        const auto r = uint16_t(m_triggers->Right(id) * kTriggerFull);
        m_triggerL.store(l);
        m_triggerR.store(r);
        if (l || r) {
            m_gamepadActive[size_t(id)] = true;
            const ButtonStates state = SetFullTriggers(l == kTriggerFull, r == kTriggerFull);
            // In report mode 0x80 only both triggers fully pulled are reported.
            if (m_reportMode.load() == 0x80 && !(l == kTriggerFull && r == kTriggerFull))
                continue;
            emit m_config.triggerValue(l, r);
            emit m_config.pressButtons(state);
        } else if (m_gamepadActive[size_t(id)]) {
            emit m_config.triggerValue(0, 0);
            emit m_config.pressButtons(SetFullTriggers(false, false));
            m_gamepadActive[size_t(id)] = false;
        }
    }
}

ButtonStates InputDecoder::SetFullTriggers(bool left, bool right)
{
    std::lock_guard<std::mutex> guard(m_buttonsLock);
    m_buttons[kTriggerFullL] = left;
    m_buttons[kTriggerFullR] = right;
    return m_buttons;
}

void InputDecoder::TickLongPress(Latch latch, uint8_t turboBit, LongPress &press)
{
    // B drives the exit progress, Y the reset progress.
    auto progress = [&](int value) {
        if (latch == B)
            emit m_config.LoadingProgressButtonB(value);
        else
            emit m_config.LoadingProgress(value);
    };
    const bool held = m_latch[latch].load();
    if (held) {
        press.gap = 0;
    } else {
        if (press.count == 0)
            return;
        // With turbo on, the reported button flickers: a short gap does not end the press.
        const bool turbo = m_config.Profiles().Active().turboMask & turboBit;
        if (!turbo || ++press.gap > kTurboGapTicks) {
            if (press.count > kLongPressStart)
                progress(0);
            press = LongPress{};
            return;
        }
    }
    if (press.count >= kLongPressStart && press.count < kLongPressFire)
        progress(press.count - kLongPressStart);
    if (press.count < kLongPressParked)
        ++press.count;
    if (press.count == kLongPressFire) {
        if (latch == B)
            emit m_config.ExitTest();
        else
            emit m_config.pressButtonResetY(true);
        press.count = kLongPressParked;
    }
}

void InputDecoder::Tick()
{
    TickLongPress(B, 0x02, m_pressB);
    TickLongPress(Y, 0x08, m_pressY);
    for (Latch direction : {Left, Right, Down, Up}) {
        if (!m_latch[direction].load())
            continue;
        const int ticks = m_repeatTicks.fetch_add(1) + 1;
        if (ticks >= kRepeatStart && ticks % kRepeatEvery == 0)
            EmitLatch(direction);
        break;
    }
}
