#include "devicecatalogue.h"

namespace DeviceCatalogue {

namespace {
// Ordered as the model-name rules test them, so that the first match decides.
const std::vector<CatalogueEntry> kEntries = {
    // pid   dongle model               file   noTrig 6150A  6102B  slot refuse pidText stored
    {0x400F, true, "Vexalon", false, false, false, false, 2, true, true, 0},
    {0x400C, false, "Vexalon", false, false, false, false, -1, false, false, 0},
    {0x4021, true, "Vexalon", false, false, false, false, 10, true, true, 0},
    {0x401E, false, "Vexalon", false, false, false, false, -1, false, false, 0},
    {0x4024, true, "Vexalon", false, false, false, false, 11, false, true, 0},
    {0x4022, false, "Vexalon", false, false, false, false, -1, false, false, 0},
    {0x4019, true, "Vexalon Pro", true, false, false, false, 3, false, true, 0},
    {0x400E, false, "Vexalon Pro", true, false, false, false, -1, false, false, 0x400E},
    {0x4032, false, "Fendrix v3 Pro", true, true, false, false, -1, false, false, 0},
    {0x4034, true, "Fendrix v3 Pro", true, true, false, false, 5, true, false, 0x4032},
    {0x4031, true, "Fendrix v3 Pro", true, false, false, false, 4, false, true, 0},
    {0x402E, false, "Fendrix v3 Pro", true, false, false, false, -1, false, false, 0x402E},
    {0x401D, true, "Fendrix v1 Skylore", false, false, true, false, 6, true, true, 0},
    {0x401B, false, "Fendrix v1 Skylore", false, false, true, false, -1, false, false, 0},
    {0x4027, true, "Fendrix v1", false, false, false, false, 7, true, true, 0},
    {0x4025, false, "Fendrix v1", false, false, false, false, -1, false, false, 0},
    {0x4013, true, "Vexalon Adv", false, false, false, false, 0, true, true, 0},
    {0x401A, true, "Vexalon Adv", false, false, false, true, 1, true, true, 0},
    {0x402A, true, "Vexalon Adv", false, false, false, false, 8, true, true, 0},
    {0x402D, true, "Vexalon Adv", false, false, false, false, 9, true, true, 0},
    {0x402B, false, "Vexalon Adv", false, false, false, false, -1, false, false, 0},
    {0x4028, false, "Vexalon Adv", false, false, false, false, -1, false, false, 0},
    {0x4017, false, "Vexalon Adv", false, false, false, true, -1, false, false, 0x4017},
    {0x4010, false, "Vexalon Adv", false, false, false, false, -1, false, false, 0},
};
} // namespace

const std::vector<CatalogueEntry> &Entries()
{
    return kEntries;
}

QString PidText(uint16_t productId)
{
    return QStringLiteral("%1").arg(productId, 4, 16, QLatin1Char('0')).toUpper();
}

bool PathHas(const QString &path, const QString &needle)
{
    return path.indexOf(needle, 0, Qt::CaseInsensitive) > 0;
}

const CatalogueEntry *FindInPath(const QString &path)
{
    for (const CatalogueEntry &entry : kEntries)
        if (PathHas(path, PidText(entry.productId)))
            return &entry;
    return nullptr;
}

const CatalogueEntry *FindDevice(uint16_t productId, const QString &path)
{
    const CatalogueEntry *entry = Find(productId);
    return entry ? entry : FindInPath(path);
}

const CatalogueEntry *Find(uint16_t productId)
{
    for (const CatalogueEntry &entry : kEntries)
        if (entry.productId == productId)
            return &entry;
    return nullptr;
}

QString ModelName(const QString &path)
{
    const CatalogueEntry *entry = FindInPath(path);
    return QString::fromLatin1(entry ? entry->modelName : "Vexalon Adv");
}

} // namespace DeviceCatalogue
