// The profile document reader on arbitrary bytes: it must never crash or read out of
// bounds, and whatever it accepts must write out and read back the same.
#include "app/portableprofile.h"

#include "quietqt.h"

#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Qt 5.15's JSON parser itself leaks a few nodes on some malformed input; that is Qt's to
// fix and must not hide a fault of the reader. Full stacks let the suppression see the parser
// below Qt's unsymbolised frames.
extern "C" const char *__asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:QJsonDocument::fromJson\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QuietQtOnce();
    const QByteArray file(reinterpret_cast<const char *>(data), int(size));
    PortableProfile profile;
    QString error;
    if (!PortableProfileJson::Read(file, profile, error)) {
        if (error.isEmpty() || !error.endsWith(QLatin1Char('.')) ||
            error.contains(QLatin1Char('\n')))
            abort();
        return 0;
    }
    QByteArray json;
    if (!PortableProfileJson::Write(profile, ModelFeatures::All(), json, error))
        abort();
    PortableProfile again;
    if (!PortableProfileJson::Read(json, again, error))
        abort();
    QByteArray twice;
    if (!PortableProfileJson::Write(again, ModelFeatures::All(), twice, error) || twice != json)
        abort();
    if (PortableProfileJson::ToQpf(again) != PortableProfileJson::ToQpf(profile))
        abort();
    return 0;
}
