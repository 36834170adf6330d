#pragma once

#include "protocol/profile_info.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <QVector>
#include <array>
#include <functional>

struct CatalogueEntry;
class DevicePlatform;
class HidConfig;
class SaveCheck;

// The connected controllers as the command line uses them: the model's read loop on a
// thread of its own, the devices found at start, and whole profiles read from and loaded
// into a controller. Every call waits, running the event loop, until the controller has
// answered or a bound has passed; nothing here waits forever.
class ControllerLink : public QObject
{
    Q_OBJECT

public:
    struct Device
    {
        int slot = -1;
        int inputSlot = -1;
        QString model;
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        bool dongle = false;
        QString firmware;
        bool fileProfiles = false; // three named profiles on board
        const CatalogueEntry *catalogue = nullptr;
        int ProfileCount() const { return fileProfiles ? 3 : 1; }
        QString Link() const;
    };
    struct Profiles
    {
        std::array<PROFILE_INFO, 3> records{};
        std::array<QString, 3> names;
        int active = 0;
    };
    enum class LoadResult
    {
        Confirmed,
        NotSent,      // a command could not be written
        NotConfirmed, // the controller does not hold what was sent
    };

    // How long a whole read of one controller may take, and finding the devices: each
    // wired controller's version query takes up to a second when it does not answer.
    static constexpr int kReadTimeoutMs = 15000;
    static constexpr int kDiscoveryTimeoutMs = 10000;

    explicit ControllerLink(DevicePlatform *platform, QObject *parent = nullptr);
    ~ControllerLink() override;

    // The controllers and dongles present, in the order the device list shows them.
    QVector<Device> Devices();
    // Reads every profile of device; false when the controller stopped answering.
    bool Read(const Device &device, Profiles &profiles);
    // Loads record into profile 0..2 of device, as the profiles page loads a file, and reads
    // it back; reads the device first unless it was the last one read. why gets the difference or
    // the silence when it is not confirmed.
    LoadResult Load(const Device &device, int profile, PROFILE_INFO record, const QString &name,
                    QString *why);

    HidConfig &Model() { return *m_config; }

private:
    void Configure(const Device &device);
    // Runs the event loop until done() or timeoutMs; returns done().
    static bool WaitUntil(const std::function<bool()> &done, int timeoutMs);

    DevicePlatform *m_platform;
    HidConfig *m_config;
    QThread m_thread;
    SaveCheck *m_check;
    bool m_scanned = false;
    int m_configured = -1;
    // What the model has signalled since the current read or load began.
    bool m_finished = false;
    bool m_activeKnown = false;
    bool m_firstName = false;
    bool m_confirmed = false;
    QString m_failure;
};
