#include "readsequence.h"

ReadSequence::ReadSequence(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ReadSequence::Next);
}

void ReadSequence::Start(ControllersCommunication *com, PageReads reads, std::function<void()> done)
{
    Cancel();
    m_com = com;
    m_reads = std::move(reads);
    m_done = std::move(done);
    m_next = 0;
    m_running = true;
    Next();
}

void ReadSequence::Cancel()
{
    m_timer.stop();
    m_running = false;
    m_reads.clear();
    m_done = nullptr;
}

void ReadSequence::Next()
{
    if (!m_running)
        return;
    if (m_next < m_reads.size()) {
        const PageRead &read = m_reads[m_next++];
        if (read.send && m_com)
            read.send(*m_com);
        m_timer.start(read.pauseMs);
        return;
    }
    m_running = false;
    // Taken out first: done may start the next sequence.
    std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    m_reads.clear();
    if (done)
        done();
}
