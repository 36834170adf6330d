#pragma once

#include "protocol/profile_info.h"

#include <QString>
#include <array>
#include <deque>
#include <mutex>

// The configured device's three profile records, their names and which one replies are
// stored into. The read thread writes replies while the pages read and edit on the GUI
// thread, so every access copies in or out under one lock; nobody holds a reference.
class ProfileStore
{
public:
    static constexpr int kProfiles = 3;

    // Back to an empty store for a newly chosen device.
    void Reset();

    PROFILE_INFO Record(int profile) const;
    // The record of the active profile.
    PROFILE_INFO Active() const;
    // The bytes of the last replies, whatever record they went to.
    PROFILE_INFO Current() const;
    void SetRecord(int profile, const PROFILE_INFO &record);

    // Runs fn on the active record under the lock and returns the edited copy.
    template <typename Fn> PROFILE_INFO EditActive(Fn &&fn)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        PROFILE_INFO &record = m_records[size_t(m_active)];
        fn(record);
        return record;
    }

    // Reply bytes into the active record at offset, and into the current mirror when asked.
    void StoreActive(int offset, const uint8_t *bytes, int count, bool alsoCurrent = true);

    // The active profile: the record replies go to and pages edit.
    int ActiveIndex() const;
    void SetActiveIndex(int profile);

    // A profile switch was sent to the device. Its acknowledge, not the request, moves the
    // active record: replies still in flight belong to the profile they were read from.
    // Every switch sent is noted once; a re-send after a lost acknowledge is not.
    void SwitchRequested(int profile);
    // The device acknowledged the oldest switch still pending; returns the new active index.
    int SwitchAcknowledged();

    // The profile the device reported as its own active one.
    int DeviceProfile() const;
    void SetDeviceProfile(int profile);

    QString Name(int profile) const;
    void SetName(int profile, const QString &name);
    std::array<QString, kProfiles> Names() const;
    QString ActiveName() const;
    void SetActiveName(const QString &name);

    static bool IsProfile(int profile) { return profile >= 0 && profile < kProfiles; }

private:
    mutable std::mutex m_lock;
    std::array<PROFILE_INFO, kProfiles> m_records{};
    PROFILE_INFO m_current{};
    int m_active = 0;
    int m_deviceProfile = 0;
    std::deque<int> m_pendingSwitches;
    std::array<QString, kProfiles> m_names;
    QString m_activeName;
};
