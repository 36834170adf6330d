#include "ticketlock.h"

void TicketLock::lock()
{
    std::unique_lock<std::mutex> guard(m_mutex);
    const uint64_t ticket = m_next++;
    m_turn.wait(guard, [&] { return m_serving == ticket; });
}

void TicketLock::unlock()
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        ++m_serving;
    }
    m_turn.notify_all();
}
