#include "hidglobal.h"

std::unique_lock<std::mutex> lockHidGlobal()
{
    static std::mutex globalCalls;
    return std::unique_lock<std::mutex>(globalCalls);
}
