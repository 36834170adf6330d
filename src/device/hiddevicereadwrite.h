#pragma once

#include "hidslot.h"
#include "loopwake.h"
#include "update/updatehiddevice.h"

#include <QObject>
#include <atomic>

// The single-device transport of the firmware updater: one handle opened by vendor and
// product id, read on a worker thread, and either waiting for the A button (button-wait
// mode) or feeding the firmware transfer.
class HidDeviceReadWrite : public QObject
{
    Q_OBJECT

public:
    static constexpr unsigned short kButtonWaitVid = 0x045E;
    static constexpr unsigned short kButtonWaitPid = 0x02FF;
    static constexpr int kReportSize = 64;

    explicit HidDeviceReadWrite(QObject *parent = nullptr);
    ~HidDeviceReadWrite() override;

    bool OpenDevice(unsigned short vid, unsigned short pid);
    void CloseDevice();
    bool IsOpen() const { return m_device.isOpen(); }
    bool IsButtonWait() const { return m_buttonWait.load(); }
    bool IsReading() const { return m_reading.load(); }

    bool LoadImage(const QByteArray &image) { return m_update.LoadImage(image); }
    void ResetProgress() { m_update.ResetProgress(); }
    bool StartUpdate();
    uint32_t Progress() const { return m_update.Progress(); }

    // Ends the read loop: it returns after at most the current pause. The destructor also
    // waits for a loop that has begun to leave.
    void Stop();

signals:
    void IsConnected(bool connected);
    void UpdateStatic(bool ok);
    void progressValue(uint value);
    void pressButtonA();

public slots:
    void OnReadDevice();
    void RevUpdateStatic(bool ok);

private:
    bool ReadWhileReading();
    void HandleReport(int length);

    HidSlot m_device;
    uint8_t m_inputBuf[kReportSize] = {};
    UpdateHIDDevice m_update;
    std::atomic<bool> m_reading{false};
    std::atomic<bool> m_running{true};
    std::atomic<bool> m_buttonWait{false};
    std::atomic<bool> m_inLoop{false}; // OnReadDevice is running

    LoopWake m_wake;
};
