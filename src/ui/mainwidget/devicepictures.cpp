#include "devicepictures.h"

namespace {

enum Look
{
    Generic,
    Model6101,
    Model6102B,
};

struct LookPictures
{
    const char *dongle;
    const char *controller;
    const char *updaterWired;
    const char *updaterDongle; // the dongle, with its controller where the look has one
};

constexpr LookPictures kLooks[] = {
    {":/Images/QuorelAPP/background/Dongle.png", ":/Images/QuorelAPP/background/Controller.png",
     ":/Assets/Legacy_Updater_Controller_5.png", ":/Assets/Legacy_Updater_Controller_13.png"},
    {":/Images/QuorelAPP/background/Dongle.png",
     ":/Images/QuorelAPP/background/Controller_6101_2.png",
     ":/Assets/Legacy_Updater_Controller_2.png", ":/Assets/Legacy_Updater_Controller_13.png"},
    {":/Images/QuorelAPP/background/Dongle_6102_B.png",
     ":/Images/QuorelAPP/background/Controller_6102_B.png",
     ":/Assets/Legacy_Updater_Controller_3.png", ":/Assets/Legacy_Updater_Controller_12.png"},
};

Look LookOf(uint16_t productId)
{
    switch (productId) {
    case 0x401A:
    case 0x4017:
        return Model6102B;
    case 0x4019:
    case 0x4031:
    case 0x400E:
    case 0x402E:
        return Model6101;
    default:
        return Generic;
    }
}

} // namespace

DevicePictures DevicePictures::ForProduct(uint16_t productId, bool dongleDevice)
{
    const LookPictures &look = kLooks[LookOf(productId)];
    return {QString::fromUtf8(look.dongle), QString::fromUtf8(look.controller),
            QString::fromUtf8(dongleDevice ? look.updaterDongle : look.updaterWired)};
}

bool DevicePictures::IsModel6101(uint16_t productId)
{
    return LookOf(productId) == Model6101;
}

bool DevicePictures::IsModel6102B(uint16_t productId)
{
    return LookOf(productId) == Model6102B;
}

DevicePictures DevicePictures::Generic()
{
    return ForProduct(0, false);
}

QString DevicePictures::Updating()
{
    return QStringLiteral(":/Assets/Legacy_Updater_Controller_14.png");
}

QString DevicePictures::NoDevice()
{
    return QStringLiteral(":/Assets/Legacy_Updater_NoControllerDetected_Button.png");
}
