#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

// A first-come first-served lock. The read loop takes a handle's lock again right
// after releasing it; a plain mutex could then keep a waiting writer out indefinitely.
class TicketLock
{
public:
    void lock();
    void unlock();

private:
    std::mutex m_mutex;
    std::condition_variable m_turn;
    uint64_t m_next = 0;
    uint64_t m_serving = 0;
};
