#pragma once

#include "profile_info.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <atomic>
#include <deque>
#include <functional>
#include <initializer_list>
#include <mutex>

class HidSlot;

// Frames configuration commands as 64-byte reports and writes them to the device slot
// it was given. Commands are fire-and-forget: replies come back through the read loop.
class ControllersCommunication : public QObject
{
    Q_OBJECT

public:
    static constexpr int kFrameSize = 64;
    static constexpr int kPauseMs = 20;
    static constexpr int kMaxNameBytes = 55;

    explicit ControllersCommunication(QObject *parent = nullptr);

    // The slot whose handle commands go to; null sends nothing.
    void SetHandle(HidSlot *slot);
    HidSlot *Handle() const { return m_slot.load(); }
    bool LastWriteSucceeded() const { return m_lastWriteOk.load(); }

    bool StartCalibration();
    bool EndCalibration();
    bool SetButtonMapping(const PROFILE_INFO &record);
    bool GetButtonMapping();
    bool SetStickDeadZone(const PROFILE_INFO &record);
    bool GetStickDeadZone();
    bool SetStickAxis(const PROFILE_INFO &record);
    bool GetStickAxis();
    bool SetVibrationStrength(const PROFILE_INFO &record);
    bool GetVibRationStrength();
    bool SetLight(uint8_t item, uint8_t zone, const PROFILE_INFO &record);
    bool GetLight(uint8_t item, uint8_t zone);
    bool SetCurrentProfile(uint8_t profile);
    bool GetCurrentProfile();
    bool GetStatusByte();
    bool SetTtriggerDeadZone(uint8_t levelL, uint8_t levelR, const PROFILE_INFO &record);
    bool GetTriggerDeadZone(uint8_t levelL, uint8_t levelR);
    bool GetTriggerLock();
    bool SetTurbo(const PROFILE_INFO &record);
    bool GetTurbo();
    bool SetStickCurve(uint8_t half, const PROFILE_INFO &record);
    bool GetStickCurve(uint8_t half);
    // The half the oldest curve request still unanswered asked for: the reply does not
    // say. Requests older than kCurveReplyMs count as lost. -1 when none is pending.
    int TakeCurveHalf();
    static constexpr int kCurveReplyMs = 1000;
    bool EnterUpdateMode();
    bool SetVibrationTest(uint8_t leftPercent, uint8_t rightPercent);
    bool SetProfileName(uint8_t profile, const QString &name);
    bool GetProfileName(uint8_t profile);
    bool ResetToDefault();
    bool GetDeviceInfo();
    bool SaveConfig();

    // The protocol pause after a write that is not committed yet; returns written.
    bool WriteAndPause(bool written);
    // The write-then-commit order of every page: each write followed by a pause, then
    // SaveConfig. Returns true when every command was written.
    bool WriteThenSave(std::initializer_list<std::function<bool()>> writes);
    // Sends a whole record in the device's apply order and commits it. Marks the record's
    // curve side first, as the stick page does.
    bool ApplyProfile(PROFILE_INFO &record);

protected:
    // Pause after a write, on the sending thread.
    virtual void Pause(int ms);

private:
    bool SendData(uint8_t *buffer, int length);
    bool SendCode(uint8_t code, std::initializer_list<uint8_t> params = {});
    bool SendRecordBytes(uint8_t code, const PROFILE_INFO &record, int offset, int count);

    std::mutex m_sendLock;
    std::atomic<HidSlot *> m_slot{nullptr};
    struct CurveRequest
    {
        uint8_t half;
        qint64 sentAt; // on m_clock
    };
    std::mutex m_curveLock;
    std::deque<CurveRequest> m_curveRequests;
    QElapsedTimer m_clock;
    std::atomic<bool> m_lastWriteOk{false};
};
