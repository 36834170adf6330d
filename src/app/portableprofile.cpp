// What a model offers, which record bytes a document sets or carries, the .qpf conversions and
// fitting a document onto a controller's record.
#include "portableprofile.h"
#include "app/portableprofile_p.h"

#include "app/profilefiles.h"
#include "device/devicecatalogue.h"

using namespace PortableProfileDetail;

namespace {

QString ModelOf(uint16_t vendorId, uint16_t productId, const QString &givenName)
{
    if (vendorId != DeviceCatalogue::kVendorId)
        return QString();
    const CatalogueEntry *entry = DeviceCatalogue::Find(productId);
    return entry ? Latin(entry->modelName) : givenName;
}

} // namespace

ModelFeatures ModelFeatures::Of(uint16_t productId)
{
    const CatalogueEntry *entry = DeviceCatalogue::Find(productId);
    ModelFeatures features;
    features.sixBackButtons = entry && entry->fileProfileModel;
    features.triggerLevels = !entry || !entry->noTriggerLevels;
    features.lighting = entry && entry->fileProfileModel;
    return features;
}

namespace PortableProfileJson {

PortableProfile::Bytes CarriedBytes()
{
    Bytes bits;
    Set(bits, 0, kButtonMapOpaque);
    Set(bits, kStatus);
    Set(bits, kCurrentProfile);
    Set(bits, kCurveSide);
    Set(bits, LockLevel(0), 2);
    return bits;
}

PortableProfile::Bytes SettingsBytes()
{
    return ~CarriedBytes();
}

QByteArray ToQpf(const PortableProfile &profile)
{
    PROFILE_INFO record = ProfileFiles::NewProfileRecord();
    const Bytes bytes = profile.covered | profile.carried;
    for (int i = 0; i < PROFILE_INFO::kSize; ++i)
        if (bytes.test(size_t(i)))
            record.bytes()[i] = profile.record.bytes()[i];
    if (profile.covered.test(kTurbo) && !profile.carried.test(kTurbo))
        record.turboMask = uint8_t((record.turboMask & ~profile.turboCovered) |
                                   (profile.record.turboMask & profile.turboCovered));
    return ProfileFiles::Encode(record);
}

PortableProfile FromQpf(const QByteArray &qpfBytes, const QString &name)
{
    return FromRecord(ProfileFiles::Decode(qpfBytes), name);
}

bool FitToController(const PortableProfile &profile, const PROFILE_INFO &controllerRecord,
                     uint16_t targetProductId, bool force, PROFILE_INFO &result,
                     QStringList &leftOut, QString &error)
{
    leftOut.clear();
    const bool known = profile.vendorId != 0 || profile.productId != 0;
    const QString targetModel = ModelOf(DeviceCatalogue::kVendorId, targetProductId, QString());
    const QString model = ModelOf(profile.vendorId, profile.productId, profile.modelName);
    const bool same =
        (profile.vendorId == DeviceCatalogue::kVendorId && profile.productId == targetProductId) ||
        (!model.isEmpty() && model == targetModel);
    if (known && !same && !force) {
        const QString made = profile.modelName.isEmpty() ? QStringLiteral("another model")
                                                         : QStringLiteral("a ") + profile.modelName;
        const QString target = targetModel.isEmpty() ? QStringLiteral("another model")
                                                     : QStringLiteral("a ") + targetModel;
        error = QStringLiteral("The profile was made for %1 (%2:%3); this controller is %4, so "
                               "it is taken only with --force.")
                    .arg(made, Hex4(profile.vendorId), Hex4(profile.productId), target);
        return false;
    }

    const ModelFeatures features = ModelFeatures::Of(targetProductId);
    if (!features.sixBackButtons && (profile.covered & ExtraBackButtonBytes()).any())
        leftOut << QStringLiteral("back buttons AGL3 and AGR3");
    if (!features.triggerLevels && (profile.covered & ExtraLevelBytes()).any())
        leftOut << QStringLiteral("trigger levels T2 and T3");
    if (!features.lighting && (profile.covered & LightingBytes()).any())
        leftOut << QStringLiteral("lighting");

    // Only the settings are sent: the carried bytes stay the controller's.
    const Bytes sent = profile.covered & SettingsBytes() & ~MissingBytes(features);
    result = controllerRecord;
    for (int i = 0; i < PROFILE_INFO::kSize; ++i)
        if (sent.test(size_t(i)))
            result.bytes()[i] = profile.record.bytes()[i];
    if (sent.test(kTurbo))
        result.turboMask = uint8_t((controllerRecord.turboMask & ~profile.turboCovered) |
                                   (profile.record.turboMask & profile.turboCovered));
    return true;
}

} // namespace PortableProfileJson
