#include "scriptpad.h"

namespace {

constexpr int kRepeatMs = 20;
constexpr uint16_t kTriggerFull = 1023;

} // namespace

ScriptPad::ScriptPad(Sink sink, QObject *parent) : QObject(parent), m_sink(std::move(sink))
{
    m_repeat.setInterval(kRepeatMs);
    connect(&m_repeat, &QTimer::timeout, this, [this] { m_sink(State()); });
}

bool ScriptPad::SetButtons(const QStringList &names, bool pressed)
{
    for (const QString &name : names) {
        if (pressed)
            m_held.insert(name);
        else
            m_held.remove(name);
    }
    return Send();
}

bool ScriptPad::SetSticks(int lx, int ly, int rx, int ry)
{
    m_analog.lx = uint16_t(lx);
    m_analog.ly = uint16_t(ly);
    m_analog.rx = uint16_t(rx);
    m_analog.ry = uint16_t(ry);
    return Send();
}

bool ScriptPad::SetTriggers(int left, int right)
{
    m_analog.lt = uint16_t(left);
    m_analog.rt = uint16_t(right);
    return Send();
}

void ScriptPad::Reset()
{
    m_held.clear();
    m_analog = ctrlsim::InputState();
    Send();
}

ctrlsim::InputState ScriptPad::State() const
{
    ctrlsim::InputState s = m_analog;
    const auto held = [this](const char *name) { return m_held.contains(QLatin1String(name)); };
    s.a = held("a");
    s.b = held("b");
    s.x = held("x");
    s.y = held("y");
    s.lb = held("lb");
    s.rb = held("rb");
    s.view = held("view");
    s.menu = held("menu");
    s.lstick = held("ls");
    s.rstick = held("rs");
    if (held("lt"))
        s.lt = kTriggerFull;
    if (held("rt"))
        s.rt = kTriggerFull;
    s.dpad = ctrlsim::dpadValue(held("up"), held("right"), held("down"), held("left"));
    return s;
}

bool ScriptPad::Neutral() const
{
    const ctrlsim::InputState neutral;
    const ctrlsim::InputState s = State();
    return m_held.isEmpty() && s.lx == neutral.lx && s.ly == neutral.ly && s.rx == neutral.rx &&
           s.ry == neutral.ry && s.lt == neutral.lt && s.rt == neutral.rt;
}

bool ScriptPad::Send()
{
    if (Neutral())
        m_repeat.stop();
    else
        m_repeat.start();
    return m_sink(State());
}
