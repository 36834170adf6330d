#pragma once

#include "devicecatalogue.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class DevicePlatform;
class HidConfig;
class QTimer;

// Finds the vendor's devices at start-up and on hot-plug, opens their configuration
// interfaces into slots, enters them in the device table and learns their version.
class DeviceDiscovery
{
public:
    static constexpr int kMaxVersionRequests = 5;
    static constexpr int kVersionFirstMs = 1;
    static constexpr int kVersionEveryMs = 200;

    explicit DeviceDiscovery(HidConfig &config);
    ~DeviceDiscovery();

    void SetPlatform(DevicePlatform *platform) { m_platform = platform; }
    void Scan(uint16_t vendorId);
    // Opens and lists the device at path. While another device's version query is pending
    // the arrival waits its turn (without blocking) and true only means it was queued.
    bool DeviceArrived(const QString &path);
    void DeviceRemoved(const QString &path);
    // No arrival waits its turn and no version query runs: the table is complete.
    bool Idle() const;

    // bcdDevice as the version text and number shown for dongles (0x0130 gives 1.3.0, 130).
    static QString VersionText(uint16_t bcdDevice, int *number);

    QStringList m_acceptList;
    std::array<int, DeviceCatalogue::kCounterSlots> m_DongleController{};
    int m_lastConfigSlot = -1;

private:
    bool Open(const QString &path);
    void OnArrivalWait();
    bool Refused(const QString &path) const;
    int FreeSlot() const;
    int SlotOfNode(const QString &node) const;
    // Gives entries without an input interface an open one of the same model.
    void PairInputs();
    void CountInterface(const QString &path, int delta);
    void CountDongleInterface(const CatalogueEntry *catalogue, const QString &path);
    void ClampCounters();
    void ReadDongleVersion(int slot, const CatalogueEntry &entry);
    void StartVersionQuery();
    void OnVersionTick();
    void Pair(uint16_t productId);

    HidConfig &m_config;
    DevicePlatform *m_platform = nullptr;
    QHash<uint16_t, QString> m_inputPaths;
    QHash<uint16_t, QString> m_configPaths;
    std::unique_ptr<QTimer> m_versionTimer;
    std::unique_ptr<QTimer> m_arrivalTimer;
    QStringList m_arrivals; // waiting for a pending version query, in arrival order
    int m_versionRequests = 0;
};
