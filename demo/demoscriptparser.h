#pragma once

#include "demostep.h"

#include <QString>
#include <QVector>

// Reads a demo script: one step per line, words separated by blanks, `#` starts a comment,
// blank lines ignored. Every malformed line is an error naming its number and text; the
// script is checked completely before anything runs.
class DemoScriptParser
{
public:
    struct Result
    {
        QVector<DemoStep> steps;
        QString error; // empty when every line is a valid step
    };

    static constexpr int kDefaultHoldMs = 50;
    static constexpr int kDefaultWaitForMs = 10000;
    static constexpr int kMaxMs = 600000;
    static constexpr int kMaxStick = 65535;
    static constexpr int kMaxTrigger = 1023;
    static constexpr int kMaxDrag = 10000;

    static Result Parse(const QString &script);
    // Controller button names a script may use, as written in the script.
    static const QStringList &ButtonNames();

private:
    static QString ParseLine(const QString &line, DemoStep &step);
    static bool Fault(const QStringList &args, DemoStep &step);
};
