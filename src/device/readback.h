#pragma once

#include <atomic>
#include <cstdint>

class HidConfig;

// Reads a device's whole configuration into the profile records: a chain of read
// commands, each reply storing its bytes and requesting the next step, with a
// watchdog that re-sends a step whose reply does not come.
class ReadBack
{
public:
    static constexpr int kWatchdogTicks = 3;
    static constexpr int kNoStep = -1;

    explicit ReadBack(HidConfig &config);

    // Starts reading the device in slot index (the model flags decide the order).
    void Start(int index);
    // Ends a running chain; replies then store without requesting further steps.
    void Stop() { m_readBack.store(false); }
    // Sends the command of step n; other step numbers send nothing.
    void RequestStep(int n);
    // Called on the read thread with every configuration reply of the configured device.
    void ParseReply(const uint8_t *reply, int length);
    // Watchdog tick (every 50 ms); returns false when the chain has ended.
    bool WatchdogTick();

    std::atomic<bool> m_readBack{false};
    std::atomic<bool> m_readDone{false};
    std::atomic<int> m_step{kNoStep};
    std::atomic<int> m_timeoutTicks{0};
    std::atomic<uint8_t> m_curveHalf{0};
    std::atomic<uint8_t> m_triggerLevel{0};
    std::atomic<bool> m_lightSkipOnce{false};
    std::atomic<int> m_replyDelay{20};

private:
    void Send(int n, bool resend);
    void Continue(int n);
    void Finish(const char *logLine);
    void StoreDeviceInfo(const uint8_t *reply);
    void StoreProfileName(const uint8_t *reply, int length);
    void StoreLight(const uint8_t *reply, int length);
    void StoreTriggerDeadZone(const uint8_t *reply);

    HidConfig &m_config;
};
