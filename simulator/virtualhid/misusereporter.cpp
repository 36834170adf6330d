#include "virtualhid/misusereporter.h"

#include <cstdio>
#include <cstdlib>

namespace vhid {

MisuseReporter &MisuseReporter::instance()
{
    static MisuseReporter *reporter = new MisuseReporter; // never destroyed, like Bus
    return *reporter;
}

void MisuseReporter::setHandler(std::function<void(const std::string &)> handler)
{
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(handler);
}

void MisuseReporter::report(const std::string &what)
{
    ++count_;
    std::function<void(const std::string &)> handler;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handler = handler_;
    }
    if (handler) {
        handler(what);
        return;
    }
    std::fprintf(stderr, "virtualhid: hidapi misuse: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

} // namespace vhid
