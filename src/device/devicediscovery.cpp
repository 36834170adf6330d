#include "devicediscovery.h"

#include <QSet>

#include "deviceplatform.h"
#include "hidconfig.h"
#include "hidglobal.h"
#include "protocol/controllerscommunication.h"
#include "protocol/versionnumber.h"

#include <QDebug>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kProductStringLength = 255;
constexpr int kVersionWaitMs = 100;

bool IsConfigInterface(const QString &path)
{
    return DeviceCatalogue::PathHas(path, QStringLiteral("col02")) ||
           DeviceCatalogue::PathHas(path, QStringLiteral("MI"));
}

bool IsInputInterface(const QString &path)
{
    return DeviceCatalogue::PathHas(path, QStringLiteral("IG")) ||
           DeviceCatalogue::PathHas(path, QStringLiteral("col01"));
}

} // namespace

DeviceDiscovery::DeviceDiscovery(HidConfig &config)
    : m_config(config), m_arrivalTimer(std::make_unique<QTimer>())
{
    // No parent: the timer keeps the thread that built the model when the model moves.
    m_arrivalTimer->setSingleShot(true);
    QObject::connect(m_arrivalTimer.get(), &QTimer::timeout, [this] { OnArrivalWait(); });
}

DeviceDiscovery::~DeviceDiscovery() = default;

QString DeviceDiscovery::VersionText(uint16_t bcdDevice, int *number)
{
    const int decimal = QString::asprintf("%X", bcdDevice).toInt();
    if (number)
        *number = decimal;
    return VersionNumber::Dotted(decimal);
}

void DeviceDiscovery::Scan(uint16_t vendorId)
{
    m_arrivals.clear();
    m_arrivalTimer->stop();
    {
        std::lock_guard<std::mutex> guard(m_config.m_tableLock);
        m_config.m_deviceTable.clear();
    }
    std::fill(m_DongleController.begin(), m_DongleController.begin() + 3, 0);
    for (int slot = 0; slot < HidConfig::kSlotCount; ++slot)
        m_config.CloseSlot(slot);
    if (!m_platform)
        return;
    for (const HidInterface &hid : m_platform->Scan(vendorId)) {
        if (hid.vendorId != vendorId)
            continue;
        if (IsInputInterface(hid.pathText)) {
            m_inputPaths[hid.productId] = hid.pathText;
            Pair(hid.productId);
        }
        if (IsConfigInterface(hid.pathText)) {
            m_configPaths[hid.productId] = hid.pathText;
            Pair(hid.productId);
        }
    }
}

bool DeviceDiscovery::Idle() const
{
    return m_arrivals.isEmpty() && !m_config.m_versionQuery.load();
}

void DeviceDiscovery::Pair(uint16_t productId)
{
    if (!m_inputPaths.contains(productId) || !m_configPaths.contains(productId))
        return;
    const QString config = m_configPaths.take(productId);
    const QString input = m_inputPaths.take(productId);
    DeviceArrived(config);
    DeviceArrived(input);
}

bool DeviceDiscovery::Refused(const QString &path) const
{
    const CatalogueEntry *arriving = DeviceCatalogue::FindInPath(path);
    if (!arriving || !arriving->refusalChecked)
        return false;
    for (const DeviceEntry &entry : m_config.DeviceTable()) {
        const CatalogueEntry *known = DeviceCatalogue::FindInPath(entry.path);
        if (known && known->counterSlot >= 0 && m_DongleController[known->counterSlot] > 1) {
            qDebug() << "m_DongleController[1]:" << m_DongleController[0] << m_DongleController[1]
                     << m_DongleController[2];
            return true;
        }
    }
    return false;
}

int DeviceDiscovery::FreeSlot() const
{
    // Only the slots the read loop visits: an interface opened anywhere else would never
    // be read, and could push the real controller out of them.
    for (int slot = 0; slot < HidConfig::kPolledSlots; ++slot)
        if (m_config.m_devPath[slot].isEmpty())
            return slot;
    return -1;
}

int DeviceDiscovery::SlotOfNode(const QString &node) const
{
    for (int slot = 0; slot < HidConfig::kSlotCount; ++slot)
        if (!m_config.m_devNode[slot].isEmpty() && m_config.m_devNode[slot] == node)
            return slot;
    return -1;
}

void DeviceDiscovery::CountInterface(const QString &path, int delta)
{
    const CatalogueEntry *entry = DeviceCatalogue::FindInPath(path);
    if (entry && entry->counterSlot >= 0)
        m_DongleController[entry->counterSlot] += delta;
}

void DeviceDiscovery::CountDongleInterface(const CatalogueEntry *catalogue, const QString &path)
{
    if (!catalogue || !catalogue->dongle)
        return;
    CountInterface(path, 1);
    m_config.m_dongleFound = true;
}

void DeviceDiscovery::ClampCounters()
{
    for (int &counter : m_DongleController)
        counter = std::max(counter, 0);
}

bool DeviceDiscovery::DeviceArrived(const QString &path)
{
    // Give a pending version query its reply time before the write slot moves to the new
    // device; later arrivals queue behind, so pairs keep their order.
    if (!m_arrivals.isEmpty() || m_config.m_versionQuery.load()) {
        m_arrivals.append(path);
        if (!m_arrivalTimer->isActive())
            m_arrivalTimer->start(kVersionWaitMs);
        return true;
    }
    return Open(path);
}

void DeviceDiscovery::OnArrivalWait()
{
    while (!m_arrivals.isEmpty()) {
        Open(m_arrivals.takeFirst());
        if (!m_arrivals.isEmpty() && m_config.m_versionQuery.load()) {
            m_arrivalTimer->start(kVersionWaitMs);
            return;
        }
    }
}

bool DeviceDiscovery::Open(const QString &path)
{
    if (!m_acceptList.isEmpty() &&
        std::none_of(m_acceptList.begin(), m_acceptList.end(),
                     [&](const QString &id) { return DeviceCatalogue::PathHas(path, id); })) {
        qDebug() << "未找到設備";
        return false;
    }
    if (Refused(path))
        return false;

    const QString node = m_platform ? m_platform->OpenPathFor(path) : path;
    const CatalogueEntry *catalogue = DeviceCatalogue::FindInPath(path);
    const bool configInterface = IsConfigInterface(path);

    // A dongle's two collections share one node: open it once, and let the second
    // collection name the open slot, so that no report is read twice.
    const int shared = SlotOfNode(node);
    if (shared >= 0 && !configInterface) {
        CountDongleInterface(catalogue, path);
        m_config.UpdateEntry(m_lastConfigSlot, [&](DeviceEntry &e) { e.inputSlot = shared; });
        return true;
    }

    const int slot = FreeSlot();
    if (slot < 0) {
        qDebug() << "no free device slot";
        return false;
    }
    if (!m_config.OpenSlot(slot, path, node)) {
        emit m_config.OutputLogInfo(QStringLiteral("设备访问失败"));
        m_config.SetReading(false);
        return false;
    }
    wchar_t product[kProductStringLength + 1] = {};
    m_config.m_devHandle[slot].use([&](hid_device *handle) {
        return handle ? hid_get_product_string(handle, product, kProductStringLength) : -1;
    });
    CountDongleInterface(catalogue, path);

    if (!configInterface) {
        PairInputs();
    } else {
        m_config.m_lastConfigPath = path;
        m_lastConfigSlot = slot;
        qDebug() << "devpathName:" << path;
        DeviceEntry entry;
        entry.productString = QString::fromWCharArray(product);
        entry.path = path;
        entry.modelName = DeviceCatalogue::ModelName(path);
        if (catalogue && catalogue->pidTextListed)
            entry.pidText = DeviceCatalogue::PidText(catalogue->productId);
        if (catalogue && !catalogue->dongle && catalogue->storedPid)
            entry.devIno.mPid = catalogue->storedPid;
        {
            std::lock_guard<std::mutex> guard(m_config.m_tableLock);
            m_config.m_deviceTable.insert(slot, entry);
        }
        m_config.SelectWriteSlot(slot);
        m_config.m_versionQuery.store(true);
        if (catalogue && catalogue->dongle)
            ReadDongleVersion(slot, *catalogue);
        else
            StartVersionQuery();
    }

    if (configInterface)
        PairInputs();
    emit m_config.OutputLogInfo(QStringLiteral("设备访问成功"));
    m_config.SetReading(true);
    return true;
}

void DeviceDiscovery::PairInputs()
{
    // Hot-plug may bring a wired controller's input interface before its configuration
    // interface: an open input interface goes with the entry of the same model that has
    // none yet, whichever came first.
    const QMap<int, DeviceEntry> table = m_config.DeviceTable();
    QSet<int> paired;
    for (const DeviceEntry &entry : table)
        if (entry.inputSlot >= 0)
            paired.insert(entry.inputSlot);
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        if (it->inputSlot >= 0)
            continue;
        const CatalogueEntry *model = DeviceCatalogue::FindInPath(it->path);
        for (int slot = 0; slot < HidConfig::kPolledSlots; ++slot) {
            const QString &path = m_config.m_devPath[slot];
            if (path.isEmpty() || IsConfigInterface(path) || paired.contains(slot) ||
                DeviceCatalogue::FindInPath(path) != model)
                continue;
            m_config.UpdateEntry(it.key(), [slot](DeviceEntry &e) { e.inputSlot = slot; });
            paired.insert(slot);
            break;
        }
    }
}

void DeviceDiscovery::ReadDongleVersion(int slot, const CatalogueEntry &catalogue)
{
    uint16_t release = 0;
    if (m_platform) {
        // Asked twice, as the hub walk always was; the later answer counts.
        m_platform->UsbRelease(DeviceCatalogue::kVendorId, catalogue.productId);
        release = m_platform->UsbRelease(DeviceCatalogue::kVendorId, catalogue.productId);
    }
    int number = 0;
    const QString text = VersionText(release, &number);
    m_config.m_lastReadIndex.store(slot);
    m_config.UpdateEntry(slot, [&](DeviceEntry &e) {
        e.devIno.mVid = DeviceCatalogue::kVendorId;
        e.devIno.mPid = catalogue.storedPid ? catalogue.storedPid : catalogue.productId;
        e.devIno.versionNumber = number;
        e.devIno.version = text;
        e.devIno.versionB = QStringLiteral("1.30.0");
        e.devIno.versionFromDevice = false;
    });
    m_config.m_versionQuery.store(false);
}

void DeviceDiscovery::StartVersionQuery()
{
    m_versionRequests = 0;
    m_versionTimer = std::make_unique<QTimer>();
    QObject::connect(m_versionTimer.get(), &QTimer::timeout, [this] { OnVersionTick(); });
    m_versionTimer->start(kVersionFirstMs);
}

void DeviceDiscovery::OnVersionTick()
{
    if (m_config.m_versionQuery.load() && m_versionRequests < kMaxVersionRequests) {
        m_config.RequestStep(0);
        ++m_versionRequests;
        m_versionTimer->setInterval(kVersionEveryMs);
        return;
    }
    m_config.m_versionQuery.store(false);
    m_versionTimer->stop();
    m_versionTimer.release()->deleteLater();
    m_versionRequests = 0;
}

void DeviceDiscovery::DeviceRemoved(const QString &path)
{
    int slot = -1;
    for (int i = 0; i < HidConfig::kSlotCount && slot < 0; ++i)
        if (m_config.m_devPath[i] == path)
            slot = i;
    if (slot < 0 || !m_config.IsSlotOpen(slot)) {
        ClampCounters();
        return;
    }

    // The configured device is gone: its read-back stops re-sending into a closed slot.
    if (slot == m_config.ConfiguredSlot()) {
        m_config.m_reader.Stop();
        m_config.ClearConfiguredSlot();
    }

    bool ownEntry = false;
    {
        std::lock_guard<std::mutex> guard(m_config.m_tableLock);
        auto &table = m_config.m_deviceTable;
        ownEntry = table.contains(slot) && table[slot].path == path;
        if (ownEntry) {
            // Only the removed device's own count and entry go: the others still stand.
            CountInterface(path, -2);
            table.remove(slot);
            m_config.m_dongleFound =
                std::any_of(table.begin(), table.end(), [](const DeviceEntry &e) {
                    const CatalogueEntry *model = DeviceCatalogue::FindInPath(e.path);
                    return model && model->dongle;
                });
        }
    }
    if (ownEntry && m_config.m_lockSlots.load() &&
        (slot == m_config.m_lockSlotA.load() || slot == m_config.m_lockSlotB.load())) {
        m_config.m_lockSlots.store(false);
        emit m_config.backMainPage();
    }

    m_config.CloseSlot(slot);
    bool anyPolled = false;
    for (int i = 0; i < HidConfig::kPolledSlots; ++i)
        anyPolled = anyPolled || !m_config.m_devPath[i].isEmpty();
    if (!anyPolled)
        m_config.SetReading(false);
    {
        auto global = lockHidGlobal();
        hid_exit();
    }
    ClampCounters();
}
