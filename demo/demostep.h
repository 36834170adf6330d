#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// One step of a demo script, as parsed from its line.
struct DemoStep
{
    enum class Kind
    {
        Wait,       // numbers: ms
        WaitFor,    // argument: object name; numbers: timeout ms
        WaitGone,   // argument: object name; numbers: timeout ms
        Key,        // names: one button; numbers: hold ms
        Hold,       // names: buttons
        Release,    // names: buttons
        Stick,      // numbers: lx ly rx ry
        Trigger,    // numbers: l r
        Device,     // argument: "wired" or "dongle"
        Click,      // argument: object name
        Drag,       // argument: object name; numbers: dx dy
        Type,       // argument: the text
        Screenshot, // argument: file
        State,      // argument: file
        Fault,      // names: the fault ("drop-write" ...); numbers: its code, index or ms
        Text,       // argument: object name; names: the file
        Quit,
    };

    Kind kind = Kind::Quit;
    int line = 0; // 1-based line in the script
    QString text; // the line without its comment, trimmed
    QString argument;
    QStringList names;
    QVector<int> numbers;
};
