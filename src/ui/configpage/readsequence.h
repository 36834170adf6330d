#pragma once

#include "configpage.h"

#include <QObject>
#include <QTimer>
#include <functional>

// Runs the reads before a page loads without blocking: each read is sent, then a timer
// waits out its pause before the next, and the page loads at the end. Starting a new
// sequence or cancelling drops the pending one, so nothing waits inside another wait and
// a page change or a removal always wins over reads still in flight.
class ReadSequence : public QObject
{
    Q_OBJECT

public:
    explicit ReadSequence(QObject *parent = nullptr);

    // Replaces any pending sequence; done runs once every read and pause has passed.
    void Start(ControllersCommunication *com, PageReads reads, std::function<void()> done);
    void Cancel();
    bool IsRunning() const { return m_running; }

private:
    void Next();

    QTimer m_timer;
    ControllersCommunication *m_com = nullptr;
    PageReads m_reads;
    int m_next = 0;
    std::function<void()> m_done;
    bool m_running = false;
};
