#include "readback.h"

#include "hidconfig.h"
#include "protocol/commandcodes.h"
#include "protocol/controllerscommunication.h"

#include <QDebug>
#include <QThread>
#include <algorithm>

using namespace CommandCode;

namespace {

constexpr int kLightFirstStep = 12;
constexpr int kFirstNameStep = 28;
constexpr int kFirstProfileStep = 49;

// Bytes a reply of each code must hold before its payload is read.
int RequiredLength(uint8_t code, const uint8_t *reply, int length)
{
    switch (code) {
    case kGetButtonMapping:
        return 25;
    case kGetTurbo:
    case kGetCurrentProfile:
    case kGetStatusByte:
        return 6;
    case kGetStickAxis:
    case kGetStickDeadZone:
    case kGetVibrationStrength:
        return 9;
    case kGetStickCurve:
        return 13;
    case kGetTriggerDeadZone:
        return 12;
    case kGetTriggerLock:
        return 8;
    case kGetLight:
        return length > 5 && reply[5] == 3 ? 10 : 8;
    case kGetProfileName:
        return 7;
    case kGetDeviceInfo:
        return 25;
    default:
        return 5;
    }
}

QString Dotted(const uint8_t *digits)
{
    return QString::asprintf("%d.%d.%d", digits[0], digits[1], digits[2]);
}

} // namespace

ReadBack::ReadBack(HidConfig &config) : m_config(config) {}

void ReadBack::Start(int index)
{
    m_config.SelectWriteSlot(index);
    m_config.Profiles().SetActiveIndex(0);
    m_readBack.store(true);
    if (!m_config.m_fileProfileModel) {
        m_readDone.store(false);
        RequestStep(1);
    } else {
        // The chain walks all three profiles and ends by switching back to the one the
        // device reports active: ask for it first, or opening the device would leave it on
        // profile 1 whatever the player had chosen.
        m_config.GetControllerComHandle()->GetCurrentProfile();
        RequestStep(kFirstProfileStep);
    }
}

void ReadBack::RequestStep(int n)
{
    Send(n, false);
}

void ReadBack::Send(int n, bool resend)
{
    m_timeoutTicks.store(0);
    m_step.store(n);
    ControllersCommunication &com = *m_config.GetControllerComHandle();
    if (n >= kLightFirstStep && n < kFirstNameStep) {
        const int light = n - kLightFirstStep;
        com.GetLight(uint8_t(light / 4), uint8_t(light % 4));
        return;
    }
    switch (n) {
    case 0:
        com.GetDeviceInfo();
        break;
    case 1:
        com.GetButtonMapping();
        break;
    case 2:
        com.GetTurbo();
        break;
    case 3:
        com.GetStickAxis();
        break;
    case 4:
        com.GetStickDeadZone();
        break;
    case 5:
        m_curveHalf.store(0);
        com.GetStickCurve(0);
        break;
    case 6:
        m_curveHalf.store(1);
        com.GetStickCurve(1);
        break;
    case 7:
    case 8:
    case 9: {
        const uint8_t level = uint8_t(n - 7);
        m_triggerLevel.store(level);
        com.GetTriggerDeadZone(level, level);
        break;
    }
    case 10:
        com.GetTriggerLock();
        break;
    case 11:
        com.GetVibRationStrength();
        break;
    case 28:
        emit m_config.UpdateLightPage();
        com.GetProfileName(0);
        break;
    case 29:
        com.GetProfileName(1);
        break;
    case 30:
        com.GetProfileName(2);
        break;
    case 49:
    case 50:
    case 51:
        // A re-send stands in for a switch whose acknowledge was lost: noted once.
        if (!resend)
            m_config.Profiles().SwitchRequested(n - kFirstProfileStep);
        com.SetCurrentProfile(uint8_t(n - kFirstProfileStep));
        break;
    default:
        break;
    }
}

void ReadBack::Continue(int n)
{
    if (m_readBack.load())
        RequestStep(n);
}

void ReadBack::Finish(const char *logLine)
{
    emit m_config.ReadFinished();
    m_readDone.store(true);
    m_readBack.store(false);
    qDebug() << logLine;
}

bool ReadBack::WatchdogTick()
{
    if (!m_readBack.load())
        return false;
    if (m_timeoutTicks.fetch_add(1) + 1 >= kWatchdogTicks) {
        qDebug() << "time out";
        Send(m_step.load(), true);
    }
    return true;
}

void ReadBack::ParseReply(const uint8_t *reply, int length)
{
    if (length < 5)
        return;
    const uint8_t code = reply[4];
    // Reply bytes come from the device: a reply too short for its code is dropped.
    if (length < RequiredLength(code, reply, length))
        return;

    ProfileStore &profiles = m_config.Profiles();
    auto store = [&](int recordOffset, int replyOffset, int count) {
        profiles.StoreActive(recordOffset, reply + replyOffset, count);
    };

    switch (code) {
    case kGetButtonMapping:
        store(0, 5, 20);
        Continue(2);
        break;
    case kGetTurbo:
        store(20, 5, 1);
        Continue(3);
        break;
    case kGetStickAxis:
        store(23, 5, 4);
        Continue(4);
        break;
    case kGetStickDeadZone:
        store(27, 5, 4);
        Continue(5);
        break;
    case kGetStickCurve: {
        // The half of the request this reply answers: pages read the curves too.
        const int asked = m_config.GetControllerComHandle()->TakeCurveHalf();
        const uint8_t half = asked >= 0 ? uint8_t(asked) : m_curveHalf.load();
        store(32 + 8 * half, 5, 8);
        if (half == 0)
            RequestStep(6);
        else
            Continue(7);
        break;
    }
    case kGetTriggerDeadZone:
        StoreTriggerDeadZone(reply);
        break;
    case kGetTriggerLock:
        store(48, 6, 2);
        RequestStep(11);
        m_triggerLevel.store(5);
        break;
    case kGetVibrationStrength:
        store(62, 5, 4);
        RequestStep(12);
        if (!m_config.m_fileProfileModel && m_readBack.load())
            Finish("配置数据读取完成，非灯光模式");
        break;
    case kGetLight:
        StoreLight(reply, length);
        break;
    case kGetProfileName:
        StoreProfileName(reply, length);
        break;
    case kSetCurrentProfile: {
        // From here on the device answers from the profile it was switched to.
        const int active = profiles.SwitchAcknowledged();
        if (m_readBack.load()) {
            m_readDone.store(false);
            RequestStep(1);
        } else {
            m_config.GetControllerComHandle()->GetCurrentProfile();
        }
        qDebug() << "Set Current Profile:" << active;
        break;
    }
    case kGetCurrentProfile:
        store(22, 5, 1);
        profiles.SetDeviceProfile(reply[5]);
        // The chain's own question at its start is no news for the pages: they hear of the
        // active profile once the chain has switched back to it.
        if (!m_readBack.load())
            emit m_config.CurrentProfile();
        break;
    case kGetStatusByte:
        store(21, 5, 1);
        break;
    case kGetDeviceInfo:
        StoreDeviceInfo(reply);
        break;
    default:
        break;
    }
}

void ReadBack::StoreTriggerDeadZone(const uint8_t *reply)
{
    const uint8_t a = reply[6];
    const uint8_t b = reply[7];
    // A level beyond the three would write into other fields.
    if (a >= PROFILE_INFO::kTriggerLevels || b >= PROFILE_INFO::kTriggerLevels)
        return;
    // The levels only say which entries these are: the active lock comes with 0xB7.
    m_config.Profiles().EditActive([&](PROFILE_INFO &record) {
        record.triggerLStart[a] = reply[8];
        record.triggerLEnd[a] = reply[9];
        record.triggerRStart[b] = reply[10];
        record.triggerREnd[b] = reply[11];
    });
    switch (m_triggerLevel.load()) {
    case 0:
        if (m_config.m_noTriggerLevels)
            Continue(10);
        else
            RequestStep(8);
        break;
    case 1:
        RequestStep(9);
        break;
    case 2:
        Continue(10);
        break;
    default:
        break;
    }
}

void ReadBack::StoreLight(const uint8_t *reply, int length)
{
    const uint8_t item = reply[5];
    const uint8_t zone = reply[6];
    // Item and zone index the 24 lighting bytes: anything beyond them is dropped.
    if (item > 3 || zone >= PROFILE_INFO::kLightZones || length < (item == 3 ? 10 : 8))
        return;
    const int base = 66 + PROFILE_INFO::kLightZoneBytes * zone;
    const int offset = item < 3 ? base + item : base + 3;
    const int count = item < 3 ? 1 : 3;
    m_config.Profiles().StoreActive(offset, reply + 7, count);

    switch (item) {
    case 0:
        RequestStep(13 + zone);
        break;
    case 1:
        if (!m_lightSkipOnce.load())
            RequestStep(17 + zone);
        m_lightSkipOnce.store(false);
        break;
    case 2:
        RequestStep(21 + zone);
        break;
    default:
        if (zone < 3)
            RequestStep(25 + zone);
        else
            RequestStep(kFirstNameStep + m_config.Profiles().ActiveIndex());
        break;
    }
}

void ReadBack::StoreProfileName(const uint8_t *reply, int length)
{
    const uint8_t p = reply[5];
    if (p >= HidConfig::kProfileCount)
        return;
    // The length byte is the device's: never read past the report.
    const int n = std::min<int>(reply[6], length - 7);
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(reply + 7), n);
    m_config.Profiles().SetName(p, name);
    m_config.UpdateEntry(m_config.m_lastReadIndex.load(),
                         [&](DeviceEntry &entry) { entry.devIno.profileNames[p] = name; });
    emit m_config.profileChanges(p, name);
    if (p == 0) {
        Continue(50);
    } else if (p == 1) {
        Continue(51);
    } else if (m_readBack.load()) {
        Finish("配置数据读取完成，灯光模式");
        RequestStep(kFirstProfileStep + std::clamp(m_config.Profiles().DeviceProfile(), 0, 2));
    }
}

void ReadBack::StoreDeviceInfo(const uint8_t *reply)
{
    const uint16_t vid = uint16_t(reply[14] | reply[15] << 8);
    const uint16_t pid = uint16_t(reply[16] | reply[17] << 8);
    HidConfig::DeviceVersion version;
    version.vid = vid;
    version.pid = pid;
    version.versionB = Dotted(reply + 22);
    version.number = QString::asprintf("%d%d%d", reply[19], reply[20], reply[21]).toInt();
    version.versionA = Dotted(reply + 19);
    {
        std::lock_guard<std::mutex> guard(m_config.m_tableLock);
        m_config.m_version = version;
    }
    m_config.UpdateEntry(m_config.m_lastReadIndex.load(), [&](DeviceEntry &entry) {
        entry.devIno.mVid = vid;
        entry.devIno.mPid = pid;
        entry.devIno.versionNumber = version.number;
        entry.devIno.version = version.versionA;
        entry.devIno.versionB = version.versionB;
    });
    m_config.m_versionQuery.store(false);
    if (m_config.m_lockSlots.load())
        m_config.SelectWriteSlot(m_config.m_lockSlotA.load());
    emit m_config.UpdateInfo();
}
