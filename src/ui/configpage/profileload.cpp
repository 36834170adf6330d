#include "profileload.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"

#include <QDebug>

namespace ProfileLoad {

bool Send(HidConfig &config, int profile, PROFILE_INFO &record, const QString &name)
{
    if (!ProfileStore::IsProfile(profile))
        return false;
    ControllersCommunication &com = *config.GetControllerComHandle();
    if (config.Profiles().Active().currentProfile != profile) {
        config.RequestStep(kSwitchProfileStep + profile);
        com.WriteAndPause(true);
        qDebug() << "设置当前Profile:" << profile;
    }
    const bool sent = com.ApplyProfile(record);
    // The record belongs to the profile just switched to, whatever the store still calls
    // active until the device acknowledges the switch.
    config.Profiles().SetRecord(profile, record);
    if (!name.isEmpty())
        Name(config, profile, name);
    return sent;
}

void Name(HidConfig &config, int profile, const QString &name)
{
    ControllersCommunication &com = *config.GetControllerComHandle();
    com.WriteAndPause(true);
    com.WriteAndPause(com.GetCurrentProfile());
    config.NameControllerProfile(profile, name);
}

QVector<SaveCheck::Section> Sections()
{
    using S = SaveCheck::Section;
    return {S::Mapping,       S::Turbo,           S::StickCurve, S::StickAxis,
            S::StickDeadZone, S::TriggerDeadZone, S::Vibration,  S::Lights};
}

int TriggerLevels(const HidConfig &config)
{
    return config.m_noTriggerLevels.load() ? 0b001 : 0b111;
}

} // namespace ProfileLoad
