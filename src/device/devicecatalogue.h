#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// The supported products of vendor 0x35C7, as data: every discovery rule reads this
// table instead of keeping its own list of ids.
struct CatalogueEntry
{
    uint16_t productId;
    bool dongle; // version read from the USB descriptor, counted per interface
    const char *modelName;
    bool fileProfileModel; // three named profiles on board, mirrored to files
    bool noTriggerLevels;  // one trigger level only
    bool is6150A;
    bool is6102B;        // set only when it is the single listed device
    int counterSlot;     // index into the dongle interface counters; -1 for none
    bool refusalChecked; // a second complete dongle of this id is refused
    bool pidTextListed;  // recorded as the entry's product-id text
    uint16_t storedPid;  // product id stored for the device; 0 = the one reported
};

namespace DeviceCatalogue {

constexpr uint16_t kVendorId = 0x35C7;
constexpr int kCounterSlots = 16;

const std::vector<CatalogueEntry> &Entries();
// The four upper-case hex digits searched for in paths ("400E").
QString PidText(uint16_t productId);
// A match counts only at a position greater than 0, in any case.
bool PathHas(const QString &path, const QString &needle);
// The catalogue entry whose product id the path holds, in table order; null for none.
const CatalogueEntry *FindInPath(const QString &path);
const CatalogueEntry *Find(uint16_t productId);
// The entry of a listed device: by the product id it reported, else by its path.
const CatalogueEntry *FindDevice(uint16_t productId, const QString &path);
// The model name a path shows; "Vexalon Adv" when no known id is found.
QString ModelName(const QString &path);

} // namespace DeviceCatalogue
