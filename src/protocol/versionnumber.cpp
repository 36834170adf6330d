#include "versionnumber.h"

#include <QStringList>

namespace VersionNumber {

QString Dotted(int number)
{
    QString digits = QString::asprintf("%03d", number);
    digits.insert(1, QLatin1Char('.'));
    digits.insert(3, QLatin1Char('.'));
    return digits;
}

QString Display(int number)
{
    return QStringLiteral("v") + Dotted(number);
}

Parts Parse(const QString &dotted)
{
    Parts parts;
    const QStringList fields = dotted.trimmed().split(QLatin1Char('.'));
    if (fields.isEmpty() || fields.size() > 3)
        return parts;
    int values[3] = {0, 0, 0};
    for (int i = 0; i < fields.size(); ++i) {
        const QString &field = fields[i];
        if (field.isEmpty() || field.size() > 4)
            return parts;
        for (const QChar c : field)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return parts;
        values[i] = field.toInt();
    }
    parts.major = values[0];
    parts.minor = values[1];
    parts.patch = values[2];
    parts.valid = true;
    return parts;
}

bool IsNewer(const Parts &offered, const Parts &installed)
{
    if (!offered.valid)
        return false;
    const Parts base = installed.valid ? installed : Parts{};
    if (offered.major != base.major)
        return offered.major > base.major;
    if (offered.minor != base.minor)
        return offered.minor > base.minor;
    return offered.patch > base.patch;
}

} // namespace VersionNumber
