#include "hiddevicereadwrite.h"

#include "hidglobal.h"

#include <QDebug>
#include <QThread>
#include <chrono>
#include <cstring>
#include <exception>

namespace {
constexpr int kEmptyPauseMs = 2;
// How long one read waits for a report; the same bound as the pause after an empty poll.
constexpr int kReadWaitMs = 2;
constexpr int kNoHandle = -2;
constexpr auto kIdlePause = std::chrono::milliseconds(1000);
} // namespace

HidDeviceReadWrite::HidDeviceReadWrite(QObject *parent) : QObject(parent)
{
    // Direct: a transfer's result ends reading on the thread that produced it, before
    // anyone else hears of it.
    connect(&m_update, &UpdateHIDDevice::UpdateStatic, this, &HidDeviceReadWrite::RevUpdateStatic,
            Qt::DirectConnection);
}

HidDeviceReadWrite::~HidDeviceReadWrite()
{
    Stop();
    m_wake.WaitUntil([this] { return !m_inLoop.load(); });
    CloseDevice();
}

bool HidDeviceReadWrite::OpenDevice(unsigned short vid, unsigned short pid)
{
    if (m_device.isOpen())
        CloseDevice();
    {
        auto global = lockHidGlobal();
        hid_init();
    }
    if (!m_device.openIds(vid, pid)) {
        m_wake.Set(m_reading, false);
        return false;
    }
    emit IsConnected(true);
    m_update.SetDevice(&m_device);
    if (vid == kButtonWaitVid && pid == kButtonWaitPid) {
        m_buttonWait.store(true);
        m_wake.Set(m_reading, true);
    } else {
        m_buttonWait.store(false);
    }
    return true;
}

void HidDeviceReadWrite::CloseDevice()
{
    if (!m_device.isOpen())
        return;
    m_wake.Set(m_reading, false);
    m_device.close();
    emit IsConnected(false);
    auto global = lockHidGlobal();
    hid_exit();
}

void HidDeviceReadWrite::RevUpdateStatic(bool ok)
{
    m_wake.Set(m_reading, false);
    emit UpdateStatic(ok);
}

bool HidDeviceReadWrite::StartUpdate()
{
    m_wake.Set(m_reading, true);
    return m_update.StartTransfer();
}

void HidDeviceReadWrite::Stop()
{
    m_wake.Set(m_reading, false);
    m_wake.Set(m_running, false);
}

void HidDeviceReadWrite::OnReadDevice()
{
    m_wake.Set(m_inLoop, true);
    while (m_running.load()) {
        const bool buttonPressed = ReadWhileReading();
        if (!buttonPressed)
            m_wake.PauseUpTo(kIdlePause, [this] { return !m_running.load() || m_reading.load(); });
    }
    m_wake.SetLast(m_inLoop, false);
}

// Reads until reading is cleared. Returns true when it ended on the A button of
// button-wait mode. Each read waits up to the pause for a report, so a reply is handled
// as soon as it arrives rather than after a fixed sleep.
bool HidDeviceReadWrite::ReadWhileReading()
{
    while (m_reading.load()) {
        std::memset(m_inputBuf, 0, sizeof m_inputBuf);
        const int length = m_device.use([this](hid_device *handle) {
            return handle ? hid_read_timeout(handle, m_inputBuf, sizeof m_inputBuf, kReadWaitMs)
                          : kNoHandle;
        });
        if (length == 0)
            continue;
        if (length < 0) {
            // Device gone: a running transfer can no longer finish. Pause instead of spinning.
            if (length != kNoHandle && !m_buttonWait.load())
                m_update.Fail("update device read failed");
            QThread::msleep(kEmptyPauseMs);
            continue;
        }
        if (m_buttonWait.load()) {
            if ((m_inputBuf[10] & 0x01) == 0)
                continue;
            // Reading has stopped by the time anyone hears of the press.
            m_wake.Set(m_reading, false);
            emit pressButtonA();
            return true;
        }
        HandleReport(length);
    }
    return false;
}

void HidDeviceReadWrite::HandleReport(int length)
{
    try {
        m_update.HandleReply(m_inputBuf, length);
        emit progressValue(m_update.Progress());
    } catch (const std::exception &error) {
        qDebug() << "update read error:" << error.what();
        QThread::msleep(kEmptyPauseMs);
    }
}
