#pragma once

#include <QString>
#include <cstdint>

// The pictures the device window shows for a product: the dongle and controller of the
// device list, and the updater's picture of the device on the offer and recovery pages.
struct DevicePictures
{
    QString dongle;
    QString controller;
    QString updater;

    // The pictures of the one listed device; Generic() when several are listed.
    static DevicePictures ForProduct(uint16_t productId, bool dongleDevice);
    static DevicePictures Generic();
    // The two models with pictures of their own (also the flags of a single listed device).
    static bool IsModel6101(uint16_t productId);
    static bool IsModel6102B(uint16_t productId);
    // While a transfer runs.
    static QString Updating();
    // The empty list.
    static QString NoDevice();
};
