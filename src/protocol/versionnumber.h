#pragma once

#include <QString>

// Firmware and app versions are kept as integers whose decimal digits are the dotted
// version: 114 is 1.1.4.
namespace VersionNumber {

// "%03d" with a dot after the first and the second digit: 114 gives "1.1.4", 99 "0.9.9".
QString Dotted(int number);

} // namespace VersionNumber
