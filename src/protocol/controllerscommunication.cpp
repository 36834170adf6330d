#include "controllerscommunication.h"

#include "commandcodes.h"
#include "crc16.h"
#include "device/hidslot.h"

#include <QByteArray>
#include <QDebug>
#include <QThread>
#include <algorithm>
#include <cstring>

using namespace CommandCode;

namespace {

constexpr int kCodeOffset = 4;
constexpr int kParamOffset = 5;
constexpr int kCrcOffset = 62;

struct Frame
{
    uint8_t bytes[ControllersCommunication::kFrameSize] = {};
    explicit Frame(uint8_t code) { bytes[kCodeOffset] = code; }
};

// UTF-8 bytes of name, cut at a character boundary so that at most maxBytes remain.
QByteArray utf8Prefix(const QString &name, int maxBytes)
{
    QByteArray utf8 = name.toUtf8();
    if (utf8.size() <= maxBytes)
        return utf8;
    int cut = maxBytes;
    while (cut > 0 && (static_cast<uint8_t>(utf8[cut]) & 0xC0) == 0x80)
        --cut;
    return utf8.left(cut);
}

} // namespace

ControllersCommunication::ControllersCommunication(QObject *parent) : QObject(parent)
{
    m_clock.start();
}

void ControllersCommunication::SetHandle(HidSlot *slot)
{
    m_slot.store(slot);
}

bool ControllersCommunication::SendData(uint8_t *buffer, int length)
{
    std::lock_guard<std::mutex> serialised(m_sendLock);
    HidSlot *slot = m_slot.load();
    if (!slot || !slot->isOpen()) {
        qDebug() << "handle 为空";
        return false;
    }
    const uint16_t crc = crc16::kermit(buffer + kCodeOffset, kCrcOffset - kCodeOffset);
    buffer[0] = 0xE1;
    buffer[1] = 0x00;
    buffer[2] = 0x01;
    buffer[3] = 0x3C;
    buffer[kCrcOffset] = static_cast<uint8_t>(crc >> 8);
    buffer[kCrcOffset + 1] = static_cast<uint8_t>(crc & 0xFF);

    // A handle closed in the meantime reads as null here; then nothing is written.
    const int result = slot->use([&](hid_device *handle) {
        return handle ? hid_write(handle, buffer, static_cast<size_t>(length)) : -1;
    });
    if (result > 0) {
        m_lastWriteOk.store(true);
        return true;
    }
    m_lastWriteOk.store(false);
    qDebug() << "write error";
    return false;
}

bool ControllersCommunication::SendCode(uint8_t code, std::initializer_list<uint8_t> params)
{
    Frame frame(code);
    std::copy(params.begin(), params.end(), frame.bytes + kParamOffset);
    return SendData(frame.bytes, kFrameSize);
}

bool ControllersCommunication::SendRecordBytes(uint8_t code, const PROFILE_INFO &record, int offset,
                                               int count)
{
    Frame frame(code);
    std::memcpy(frame.bytes + kParamOffset, record.bytes() + offset, static_cast<size_t>(count));
    return SendData(frame.bytes, kFrameSize);
}

bool ControllersCommunication::StartCalibration()
{
    return SendCode(kStartCalibration, {0x22});
}

bool ControllersCommunication::EndCalibration()
{
    return SendCode(kEndCalibration, {0x32});
}

bool ControllersCommunication::SetButtonMapping(const PROFILE_INFO &record)
{
    return SendRecordBytes(kSetButtonMapping, record, offsetof(PROFILE_INFO, buttonMap), 20);
}

bool ControllersCommunication::GetButtonMapping()
{
    return SendCode(kGetButtonMapping);
}

bool ControllersCommunication::SetStickDeadZone(const PROFILE_INFO &record)
{
    return SendRecordBytes(kSetStickDeadZone, record, offsetof(PROFILE_INFO, stickInsideL), 4);
}

bool ControllersCommunication::GetStickDeadZone()
{
    return SendCode(kGetStickDeadZone);
}

bool ControllersCommunication::SetStickAxis(const PROFILE_INFO &record)
{
    return SendRecordBytes(kSetStickAxis, record, offsetof(PROFILE_INFO, stickReverseLX), 4);
}

bool ControllersCommunication::GetStickAxis()
{
    return SendCode(kGetStickAxis);
}

bool ControllersCommunication::SetVibrationStrength(const PROFILE_INFO &record)
{
    return SendRecordBytes(kSetVibrationStrength, record, offsetof(PROFILE_INFO, triggerVibrationL),
                           4);
}

bool ControllersCommunication::GetVibRationStrength()
{
    return SendCode(kGetVibrationStrength);
}

bool ControllersCommunication::SetLight(uint8_t item, uint8_t zone, const PROFILE_INFO &record)
{
    if (item > 3 || zone >= PROFILE_INFO::kLightZones) {
        qDebug() << "SetLight: no such item or zone" << item << zone;
        return false;
    }
    Frame frame(kSetLight);
    frame.bytes[kParamOffset] = item;
    frame.bytes[kParamOffset + 1] = zone;
    const uint8_t *area = record.lightAreas + PROFILE_INFO::kLightZoneBytes * zone;
    if (item < 3)
        frame.bytes[kParamOffset + 2] = area[item];
    else
        std::memcpy(frame.bytes + kParamOffset + 2, area + 3, 3);
    return SendData(frame.bytes, kFrameSize);
}

bool ControllersCommunication::GetLight(uint8_t item, uint8_t zone)
{
    return SendCode(kGetLight, {item, zone});
}

bool ControllersCommunication::SetCurrentProfile(uint8_t profile)
{
    return SendCode(kSetCurrentProfile, {profile});
}

bool ControllersCommunication::GetCurrentProfile()
{
    return SendCode(kGetCurrentProfile);
}

bool ControllersCommunication::GetStatusByte()
{
    return SendCode(kGetStatusByte);
}

bool ControllersCommunication::SetTtriggerDeadZone(uint8_t levelL, uint8_t levelR,
                                                   const PROFILE_INFO &record)
{
    if (levelL >= PROFILE_INFO::kTriggerLevels || levelR >= PROFILE_INFO::kTriggerLevels) {
        qDebug() << "SetTtriggerDeadZone: no such level" << levelL << levelR;
        return false;
    }
    Frame frame(kSetTriggerDeadZone);
    uint8_t *p = frame.bytes + kParamOffset;
    p[0] = levelL;
    p[1] = levelR;
    p[2] = record.triggerLStart[levelL];
    p[3] = record.triggerLEnd[levelL];
    p[4] = record.triggerRStart[levelR];
    p[5] = record.triggerREnd[levelR];
    return SendData(frame.bytes, kFrameSize);
}

bool ControllersCommunication::GetTriggerDeadZone(uint8_t levelL, uint8_t levelR)
{
    return SendCode(kGetTriggerDeadZone, {levelL, levelR});
}

bool ControllersCommunication::GetTriggerLock()
{
    return SendCode(kGetTriggerLock);
}

bool ControllersCommunication::SetTurbo(const PROFILE_INFO &record)
{
    return SendRecordBytes(kSetTurbo, record, offsetof(PROFILE_INFO, turboMask), 1);
}

bool ControllersCommunication::GetTurbo()
{
    return SendCode(kGetTurbo);
}

bool ControllersCommunication::SetStickCurve(uint8_t half, const PROFILE_INFO &record)
{
    if (half > 1) {
        qDebug() << "SetStickCurve: no such half" << half;
        return false;
    }
    Frame frame(kSetStickCurve);
    frame.bytes[kParamOffset] = half;
    std::memcpy(frame.bytes + kParamOffset + 1, half == 0 ? record.stickCurveL : record.stickCurveR,
                8);
    return SendData(frame.bytes, kFrameSize);
}

bool ControllersCommunication::GetStickCurve(uint8_t half)
{
    {
        // Noted before sending, so the reply cannot come first.
        std::lock_guard<std::mutex> guard(m_curveLock);
        m_curveRequests.push_back({half, m_clock.elapsed()});
    }
    if (SendCode(kGetStickCurve, {half}))
        return true;
    std::lock_guard<std::mutex> guard(m_curveLock);
    if (!m_curveRequests.empty())
        m_curveRequests.pop_back();
    return false;
}

int ControllersCommunication::TakeCurveHalf()
{
    std::lock_guard<std::mutex> guard(m_curveLock);
    const qint64 now = m_clock.elapsed();
    while (!m_curveRequests.empty() && now - m_curveRequests.front().sentAt > kCurveReplyMs)
        m_curveRequests.pop_front();
    if (m_curveRequests.empty())
        return -1;
    const int half = m_curveRequests.front().half;
    m_curveRequests.pop_front();
    return half;
}

bool ControllersCommunication::EnterUpdateMode()
{
    return SendCode(kEnterUpdateMode);
}

bool ControllersCommunication::SetVibrationTest(uint8_t leftPercent, uint8_t rightPercent)
{
    return SendCode(kSetVibrationTest, {0, 0, leftPercent, rightPercent});
}

bool ControllersCommunication::SetProfileName(uint8_t profile, const QString &name)
{
    // Bytes 7..61 hold the name; a longer one is cut rather than written over the CRC.
    const QByteArray utf8 = utf8Prefix(name, kMaxNameBytes);
    Frame frame(kSetProfileName);
    frame.bytes[kParamOffset] = profile;
    frame.bytes[kParamOffset + 1] = static_cast<uint8_t>(utf8.size());
    std::memcpy(frame.bytes + kParamOffset + 2, utf8.constData(), static_cast<size_t>(utf8.size()));
    return SendData(frame.bytes, kFrameSize);
}

bool ControllersCommunication::GetProfileName(uint8_t profile)
{
    return SendCode(kGetProfileName, {profile});
}

bool ControllersCommunication::ResetToDefault()
{
    return SendCode(kResetToDefault);
}

bool ControllersCommunication::GetDeviceInfo()
{
    return SendCode(kGetDeviceInfo);
}

bool ControllersCommunication::SaveConfig()
{
    return SendCode(kSaveConfig);
}

void ControllersCommunication::Pause(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

bool ControllersCommunication::WriteAndPause(bool written)
{
    Pause(kPauseMs);
    return written;
}

bool ControllersCommunication::WriteThenSave(std::initializer_list<std::function<bool()>> writes)
{
    bool all = true;
    for (const auto &write : writes)
        all = WriteAndPause(write()) && all;
    return SaveConfig() && all;
}

bool ControllersCommunication::ApplyProfile(PROFILE_INFO &record)
{
    bool all = true;
    all = WriteAndPause(SetButtonMapping(record)) && all;
    all = WriteAndPause(SetTurbo(record)) && all;
    all = WriteAndPause(SetStickCurve(0, record)) && all;
    all = WriteAndPause(SetStickCurve(1, record)) && all;
    record.stickCurveSide = 1;
    all = WriteAndPause(SetStickAxis(record)) && all;
    all = WriteAndPause(SetStickDeadZone(record)) && all;
    for (uint8_t level = 0; level < PROFILE_INFO::kTriggerLevels; ++level)
        all = WriteAndPause(SetTtriggerDeadZone(level, level, record)) && all;
    all = WriteAndPause(SetVibrationStrength(record)) && all;
    for (uint8_t zone = 0; zone < PROFILE_INFO::kLightZones; ++zone)
        for (uint8_t item = 0; item < 4; ++item)
            all = WriteAndPause(SetLight(item, zone, record)) && all;
    return SaveConfig() && all;
}
