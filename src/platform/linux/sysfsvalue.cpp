#include "sysfsvalue.h"

namespace {
constexpr int kMaxDigits = 8;
}

std::optional<uint32_t> SysfsValue::hex(const QByteArray &text, uint32_t maxValue)
{
    const QByteArray digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > kMaxDigits)
        return std::nullopt;
    uint32_t value = 0;
    for (char c : digits) {
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value << 4 | digit;
    }
    if (value > maxValue)
        return std::nullopt;
    return value;
}

std::optional<uint32_t> SysfsValue::hex(const char *text, uint32_t maxValue)
{
    if (!text)
        return std::nullopt;
    return hex(QByteArray(text), maxValue);
}
