#pragma once

#include "protocol/controllerscommunication.h"

#include <QVector>
#include <QtTest>
#include <functional>

// Writes without sleeping: remembers, at each protocol pause, how many frames the device
// had received by then, so tests see where the pauses fall.
class PauseRecorder : public ControllersCommunication
{
public:
    std::function<size_t()> framesSoFar;
    QVector<size_t> pauses;

protected:
    void Pause(int ms) override
    {
        QCOMPARE(ms, 20);
        pauses.append(framesSoFar ? framesSoFar() : 0);
    }
};
