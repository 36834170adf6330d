#include "hidreportdescriptor.h"

#include <vector>

namespace {

// Item prefixes with the size bits masked off.
constexpr uint8_t kUsagePage = 0x04;
constexpr uint8_t kPush = 0xA4;
constexpr uint8_t kPop = 0xB4;
constexpr uint8_t kUsage = 0x08;
constexpr uint8_t kInput = 0x80;
constexpr uint8_t kOutput = 0x90;
constexpr uint8_t kFeature = 0xB0;
constexpr uint8_t kCollection = 0xA0;
constexpr uint8_t kEndCollection = 0xC0;
constexpr uint32_t kApplication = 0x01;
// Deeper global stacks than this are not pushed; a pop of an empty stack does nothing.
constexpr size_t kMaxPushDepth = 32;

uint32_t littleEndian(const uint8_t *bytes, size_t length)
{
    uint32_t value = 0;
    for (size_t i = length; i > 0; --i)
        value = (value << 8) | bytes[i - 1];
    return value;
}

// The usage of the collection being read: a Usage local item seen since the last main item.
struct PendingUsage
{
    bool present = false;
    bool pageGiven = false; // a four-byte Usage carries its own page
    uint16_t page = 0;
    uint16_t usage = 0;
};

} // namespace

QVector<HidCollectionUsage> HidReportDescriptor::topLevelCollections(const uint8_t *data,
                                                                     size_t size)
{
    QVector<HidCollectionUsage> result;
    if (!data)
        return result;

    bool pageSet = false;
    uint16_t page = 0;
    std::vector<std::pair<bool, uint16_t>> pushed;
    PendingUsage local;
    size_t depth = 0;
    bool counting = false; // the open top-level collection is an Application with a usage
    HidCollectionUsage open;

    size_t pos = 0;
    while (pos < size) {
        const uint8_t prefix = data[pos];
        if ((prefix & 0xF0) == 0xF0) {
            // Long item: prefix, data length, tag, data. Nothing in it matters here.
            if (size - pos < 3)
                break;
            const size_t length = data[pos + 1];
            if (size - pos - 3 < length)
                break;
            pos += 3 + length;
            continue;
        }
        const size_t length = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        if (size - pos - 1 < length)
            break; // the item's data runs past the end
        const uint32_t value = littleEndian(data + pos + 1, length);
        pos += 1 + length;

        switch (prefix & 0xFC) {
        case kUsagePage:
            page = static_cast<uint16_t>(value);
            pageSet = true;
            break;
        case kPush:
            if (pushed.size() < kMaxPushDepth)
                pushed.emplace_back(pageSet, page);
            break;
        case kPop:
            if (!pushed.empty()) {
                pageSet = pushed.back().first;
                page = pushed.back().second;
                pushed.pop_back();
            }
            break;
        case kUsage:
            local.present = true;
            local.pageGiven = length == 4;
            local.page = static_cast<uint16_t>(value >> 16);
            local.usage = static_cast<uint16_t>(value);
            break;
        case kCollection:
            if (depth == 0) {
                counting = value == kApplication && local.present && (local.pageGiven || pageSet);
                open.usagePage = local.pageGiven ? local.page : page;
                open.usage = local.usage;
            }
            ++depth;
            local = PendingUsage();
            break;
        case kEndCollection:
            if (depth > 0) {
                --depth;
                if (depth == 0 && counting)
                    result.append(open);
            }
            local = PendingUsage();
            break;
        case kInput:
        case kOutput:
        case kFeature:
            local = PendingUsage();
            break;
        default:
            break;
        }
    }
    return result;
}
