#include "reportkind.h"

ReportKind classifyReport(const uint8_t *report, int length)
{
    if (length >= 4 && report[0] == 0xE1 && report[1] == 0x00 && report[3] == 0x3C)
        return ReportKind::ConfigReply;
    if (length >= 17)
        return ReportKind::LongInput;
    if (length == 14)
        return ReportKind::ShortInput;
    return ReportKind::Ignored;
}
