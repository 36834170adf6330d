#pragma once

#include "protocol/profile_info.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <bitset>
#include <cstdint>

// What a model offers, from the device catalogue.
struct ModelFeatures
{
    bool sixBackButtons = true; // AGL3 and AGR3: file-profile models only
    bool triggerLevels = true;  // T2 and T3: all but the one-level models
    bool lighting = true;       // file-profile models only

    // An id the catalogue does not know counts as four back buttons, levels, no lighting.
    static ModelFeatures Of(uint16_t productId);
    static ModelFeatures All() { return {}; }
};

// One profile as a portable JSON document: the record, what of it the document sets, and
// the model, firmware and name it came from.
struct PortableProfile
{
    static constexpr const char *kFormat = "quorel-oradesk-profile";
    static constexpr int kVersion = 1;
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;
    static constexpr int kMaxNameBytes = 55;      // UTF-8
    static constexpr int kMaxFirmwareLength = 32; // characters
    static constexpr int kMaxModelNameLength = 64;

    using Bytes = std::bitset<PROFILE_INFO::kSize>;

    uint16_t vendorId = 0, productId = 0; // 0/0: model unknown (converted from a .qpf)
    QString modelName;
    QString firmware;      // empty when unknown
    QString name;          // profile name
    PROFILE_INFO record{}; // zero where the document says nothing
    Bytes covered;         // record bytes set by "settings": what an import sends
    Bytes carried;         // set by "unmapped" or the lock levels: kept in files, never sent
    // Of a covered turbo byte, the bits "settings.turbo" names; the others stay as they are.
    uint8_t turboCovered = 0xFF;
};

namespace PortableProfileJson {

// The record bytes the "settings" object names, and those only carried.
PortableProfile::Bytes SettingsBytes();
PortableProfile::Bytes CarriedBytes();

// A whole record as a document (every setting covered, the rest carried), model unknown;
// the caller fills in the model and firmware it knows.
PortableProfile FromRecord(const PROFILE_INFO &record, const QString &name);

// The named settings of a whole record, leaving out what the model lacks. False, with one
// plain sentence naming the field in error, when a value has no name or is out of range.
bool Settings(const PROFILE_INFO &record, const ModelFeatures &features, QJsonObject &settings,
              QString &error);

// The document: the covered settings the model has and the carried bytes, indented, ending
// in a newline. Fails as Settings does, and for a name or firmware too long to read back.
bool Write(const PortableProfile &profile, const ModelFeatures &features, QByteArray &json,
           QString &error);

// Reads and checks a document from anywhere. On failure, profile is unspecified and error is
// one plain sentence ending in '.', such as
// "settings.sticks.left.innerDeadZone is 150; it must be 0 to 100."
bool Read(const QByteArray &bytes, PortableProfile &profile, QString &error);

// The .qpf bytes of a document: a new profile's record overlaid with every covered or carried
// byte.
QByteArray ToQpf(const PortableProfile &profile);
// A .qpf file's record as a document: model unknown, every byte covered or carried.
PortableProfile FromQpf(const QByteArray &qpfBytes, const QString &name);

// Import onto a controller: the controller's own record of the target profile overlaid with
// the covered bytes the target model has. leftOut gets a phrase per feature the document sets
// but the model lacks ("back buttons AGL3 and AGR3", "trigger levels T2 and T3", "lighting").
// False with error when the document names another model than targetProductId's and force is
// false; a document of unknown model is accepted.
bool FitToController(const PortableProfile &profile, const PROFILE_INFO &controllerRecord,
                     uint16_t targetProductId, bool force, PROFILE_INFO &result,
                     QStringList &leftOut, QString &error);

} // namespace PortableProfileJson
