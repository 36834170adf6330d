#pragma once

#include <QString>

// Firmware and app versions are kept as integers whose decimal digits are the dotted
// version: 114 is 1.1.4.
namespace VersionNumber {

// "%03d" with a dot after the first and the second digit: 114 gives "1.1.4", 99 "0.9.9".
QString Dotted(int number);
// The same with a leading "v", as footers and offers show it: 123 gives "v1.2.3".
QString Display(int number);

// A version by its parts. Joined digits cannot be compared: 2.0.10 would read as 2010 and
// pass 2.1.0 (210), so which version is newer is decided part by part.
struct Parts
{
    int major = 0;
    int minor = 0;
    int patch = 0;
    bool valid = false;
};

// "1.30.0", "2.1" or "3" (missing parts are 0), blanks around it allowed; anything else,
// or a part beyond 9999, is not valid.
Parts Parse(const QString &dotted);

// Whether offered is a strictly newer version than installed. An offer that is not a valid
// version is never newer; an installed version that is not valid counts as 0.0.0.
bool IsNewer(const Parts &offered, const Parts &installed);

} // namespace VersionNumber
