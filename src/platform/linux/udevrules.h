#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

// Reads udev rule files for the lines that give a device to the logged-in user, so the app
// can tell before switching a controller into update mode whether it will be able to open
// it there.
namespace UdevRules {

struct Grant
{
    QString subsystem; // "hidraw" or "usb"
    QString vendor;    // four lower-case hex digits
    QString product;   // empty: every product of the vendor
};

// The directories udev reads rules from, the one that overrides the others first.
QStringList SystemDirectories();
// The lines of one rule file that give a device to the user: TAG+="uaccess" or a mode
// readable and writable by everyone.
QList<Grant> Read(const QString &path);
bool Covers(const QList<Grant> &grants, const QString &subsystem, uint16_t vendorId,
            uint16_t productId);
// Whether the rule files in dirs give the hidraw nodes of these ids to the user. A file
// name found in an earlier directory hides the same name in later ones, as in udev.
bool GrantsHidraw(const QStringList &dirs, uint16_t vendorId, uint16_t productId);

} // namespace UdevRules
