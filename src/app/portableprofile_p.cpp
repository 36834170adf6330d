// Internal helpers shared by the profile document writer, reader and converters.
#include "app/portableprofile_p.h"

#include "protocol/profilesettings.h"

namespace PS = ProfileSettings;

namespace PortableProfileDetail {

// Bytes of the features a model may lack.
Bytes ExtraBackButtonBytes()
{
    Bytes bits;
    Set(bits, PS::kFirstBackButton + PS::kFourBackButtons, PS::kBackButtons - PS::kFourBackButtons);
    return bits;
}

Bytes ExtraLevelBytes()
{
    Bytes bits;
    for (int side = 0; side < 2; ++side) {
        Set(bits, LevelStart(side, 1), kLevels - 1);
        Set(bits, LevelEnd(side, 1), kLevels - 1);
    }
    return bits;
}

Bytes LightingBytes()
{
    Bytes bits;
    Set(bits, PS::LightAreaOffset(0), kAreas * PROFILE_INFO::kLightZoneBytes);
    return bits;
}

// Bytes a model lacks.
Bytes MissingBytes(const ModelFeatures &features)
{
    Bytes bits;
    if (!features.sixBackButtons)
        bits |= ExtraBackButtonBytes();
    if (!features.triggerLevels)
        bits |= ExtraLevelBytes();
    if (!features.lighting)
        bits |= LightingBytes();
    return bits;
}

// Text kept in a document: no control characters, no broken UTF-16.
bool IsPlainText(const QString &text)
{
    if (!text.isValidUtf16())
        return false;
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}

// The checks shared by the writer and the reader for the free texts.
bool CheckText(const QString &text, const QString &path, int maxBytes, int maxLength,
               QString &error)
{
    if (!IsPlainText(text)) {
        error = QStringLiteral("%1 holds a control character or broken text.").arg(path);
        return false;
    }
    if (maxBytes > 0 && text.toUtf8().size() > maxBytes) {
        error = QStringLiteral("%1 is %2 bytes long in UTF-8; it may be at most %3.")
                    .arg(path)
                    .arg(text.toUtf8().size())
                    .arg(maxBytes);
        return false;
    }
    if (maxLength > 0 && text.size() > maxLength) {
        error = QStringLiteral("%1 is %2 characters long; it may be at most %3.")
                    .arg(path)
                    .arg(text.size())
                    .arg(maxLength);
        return false;
    }
    return true;
}

} // namespace PortableProfileDetail
