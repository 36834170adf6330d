#pragma once

#include "controller/inputreport.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <functional>

// The controller a demo script plays: buttons by their script names, sticks and triggers.
// Every change is sent at once, and the state is sent again every 20 ms while anything is
// pressed or off centre, as a controller keeps reporting.
class ScriptPad : public QObject
{
    Q_OBJECT

public:
    // Delivers one report's worth of state; false when the device cannot take it now.
    using Sink = std::function<bool(const ctrlsim::InputState &)>;

    explicit ScriptPad(Sink sink, QObject *parent = nullptr);

    // Names as DemoScriptParser::ButtonNames() lists them.
    bool SetButtons(const QStringList &names, bool pressed);
    bool SetSticks(int lx, int ly, int rx, int ry);
    bool SetTriggers(int left, int right);
    // Everything released and centred; the neutral state is sent once.
    void Reset();
    ctrlsim::InputState State() const;

private:
    bool Send();
    bool Neutral() const;

    Sink m_sink;
    QSet<QString> m_held;
    ctrlsim::InputState m_analog; // sticks and the triggers' own travel
    QTimer m_repeat;
};
