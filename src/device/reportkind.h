#pragma once

#include <cstdint>

// What the configuration read loop does with a report it read.
enum class ReportKind
{
    ConfigReply,
    LongInput,
    ShortInput,
    Ignored
};

// A reply carries E1 00 ?? 3C whatever its length; otherwise the length decides.
ReportKind classifyReport(const uint8_t *report, int length);
