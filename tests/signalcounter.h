#pragma once

#include <QObject>
#include <atomic>

// Counts a signal emitted on any thread. The count is atomic, so a test thread that
// sees it rise also sees everything the emitting thread wrote before the signal.
class SignalCounter
{
public:
    template <typename Sender, typename Signal> SignalCounter(Sender *sender, Signal signal)
    {
        m_connection = QObject::connect(sender, signal, [this] { m_count.fetch_add(1); });
    }
    ~SignalCounter() { QObject::disconnect(m_connection); }
    SignalCounter(const SignalCounter &) = delete;
    SignalCounter &operator=(const SignalCounter &) = delete;

    int count() const { return m_count.load(); }

private:
    std::atomic<int> m_count{0};
    QMetaObject::Connection m_connection;
};
