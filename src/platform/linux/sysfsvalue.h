#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>

// Reads numbers out of sysfs attributes and uevent properties, which are untrusted text.
class SysfsValue
{
public:
    // A hex number of one to eight digits (surrounding white space allowed) that is at
    // most maxValue; nullopt for anything else.
    static std::optional<uint32_t> hex(const QByteArray &text, uint32_t maxValue);
    // Same for a C string, which may be null.
    static std::optional<uint32_t> hex(const char *text, uint32_t maxValue);
};
