#pragma once

#include "protocol/profile_info.h"
#include "savecheck.h"

#include <QString>
#include <QVector>

class HidConfig;

// Loads a whole record into one of the controller's profiles: switches to that profile
// when it is not the active one, sends every section in the controller's apply order with
// the commit, keeps the record as that profile's, then names the profile. The profiles
// page loads its files this way and the command line its imports, so that both are
// checked with the same reads.
namespace ProfileLoad {

// Read-back step 49 + p switches the controller to profile p.
constexpr int kSwitchProfileStep = 49;

// Sends record (its curve side is marked, as every apply does) into profile 0..2. An empty
// name leaves the profile's name alone. Returns whether every command was written.
bool Send(HidConfig &config, int profile, PROFILE_INFO &record, const QString &name);
// Names profile p after a load, behind a pause and a read of the active profile.
void Name(HidConfig &config, int profile, const QString &name);

// What a check of a load reads back: every section, and the trigger levels the model has.
QVector<SaveCheck::Section> Sections();
int TriggerLevels(const HidConfig &config);

} // namespace ProfileLoad
