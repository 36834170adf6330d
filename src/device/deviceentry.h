#pragma once

#include <QString>
#include <cstdint>

// Identification of a connected device.
struct DeviceIdentity
{
    uint16_t mVid = 0;
    uint16_t mPid = 0;
    int versionNumber = 0;
    int reserved = 0;
    QString versionB;
    QString version;
    QString profileNames[3];
    bool versionFromDevice = true; // cleared when the version came from the USB descriptor
};

// One connected device in the table, keyed by the slot of its configuration interface.
struct DeviceEntry
{
    int inputSlot = -1; // slot of the input interface; -1 until it arrives
    QString productString;
    QString path;
    QString modelName;
    DeviceIdentity devIno;
    QString pidText;
};
