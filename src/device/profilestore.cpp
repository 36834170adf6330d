#include "profilestore.h"

#include <cstring>

namespace {

int Clamped(int profile)
{
    return profile < 0                          ? 0
           : profile >= ProfileStore::kProfiles ? ProfileStore::kProfiles - 1
                                                : profile;
}

} // namespace

void ProfileStore::Reset()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_records = {};
    m_current = {};
    m_active = 0;
    m_deviceProfile = 0;
    m_pendingSwitches.clear();
    m_names = {};
    m_activeName.clear();
}

PROFILE_INFO ProfileStore::Record(int profile) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_records[size_t(Clamped(profile))];
}

PROFILE_INFO ProfileStore::Active() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_records[size_t(m_active)];
}

PROFILE_INFO ProfileStore::Current() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_current;
}

void ProfileStore::SetRecord(int profile, const PROFILE_INFO &record)
{
    if (!IsProfile(profile))
        return;
    std::lock_guard<std::mutex> guard(m_lock);
    m_records[size_t(profile)] = record;
}

void ProfileStore::StoreActive(int offset, const uint8_t *bytes, int count, bool alsoCurrent)
{
    if (offset < 0 || count < 0 || offset + count > PROFILE_INFO::kSize)
        return;
    std::lock_guard<std::mutex> guard(m_lock);
    std::memcpy(m_records[size_t(m_active)].bytes() + offset, bytes, size_t(count));
    if (alsoCurrent)
        std::memcpy(m_current.bytes() + offset, bytes, size_t(count));
}

int ProfileStore::ActiveIndex() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_active;
}

void ProfileStore::SetActiveIndex(int profile)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_active = Clamped(profile);
    m_pendingSwitches.clear();
}

void ProfileStore::SwitchRequested(int profile)
{
    if (!IsProfile(profile))
        return;
    std::lock_guard<std::mutex> guard(m_lock);
    m_pendingSwitches.push_back(profile);
}

int ProfileStore::SwitchAcknowledged()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_pendingSwitches.empty()) {
        m_active = m_pendingSwitches.front();
        m_pendingSwitches.pop_front();
    }
    return m_active;
}

int ProfileStore::DeviceProfile() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_deviceProfile;
}

void ProfileStore::SetDeviceProfile(int profile)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_deviceProfile = profile;
}

QString ProfileStore::Name(int profile) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_names[size_t(Clamped(profile))];
}

void ProfileStore::SetName(int profile, const QString &name)
{
    if (!IsProfile(profile))
        return;
    std::lock_guard<std::mutex> guard(m_lock);
    m_names[size_t(profile)] = name;
}

std::array<QString, ProfileStore::kProfiles> ProfileStore::Names() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_names;
}

QString ProfileStore::ActiveName() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_activeName;
}

void ProfileStore::SetActiveName(const QString &name)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_activeName = name;
}
