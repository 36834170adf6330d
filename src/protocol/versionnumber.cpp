#include "versionnumber.h"

namespace VersionNumber {

QString Dotted(int number)
{
    QString digits = QString::asprintf("%03d", number);
    digits.insert(1, QLatin1Char('.'));
    digits.insert(3, QLatin1Char('.'));
    return digits;
}

} // namespace VersionNumber
