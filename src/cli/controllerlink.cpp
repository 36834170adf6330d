#include "controllerlink.h"

#include "device/devicecatalogue.h"
#include "device/deviceplatform.h"
#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui/configpage/profileload.h"
#include "ui/configpage/savecheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int kPollMs = 5;
} // namespace

QString ControllerLink::Device::Link() const
{
    return dongle ? QStringLiteral("2.4G") : QStringLiteral("USB");
}

ControllerLink::ControllerLink(DevicePlatform *platform, QObject *parent)
    : QObject(parent), m_platform(platform), m_config(new HidConfig())
{
    m_config->SetPlatform(platform);
    m_config->StopInputTimers();
    // Connected once for the link's life: the read thread emits while a read runs, and a
    // connection made or dropped meanwhile would race with it.
    connect(m_config, &HidConfig::ReadFinished, this, [this] { m_finished = true; });
    connect(m_config, &HidConfig::CurrentProfile, this, [this] { m_activeKnown = true; });
    connect(m_config, &HidConfig::profileChanges, this, [this](uchar profile, const QString &) {
        if (profile == 0 && m_finished)
            m_firstName = true;
    });
    m_check = new SaveCheck(nullptr, m_config);
    m_check->setParent(this);
    connect(m_check, &SaveCheck::Confirmed, this, [this] { m_confirmed = true; });
    connect(m_check, &SaveCheck::Failed, this, [this](const QString &why) { m_failure = why; });
    m_config->moveToThread(&m_thread);
    connect(&m_thread, &QThread::started, m_config, &HidConfig::OnReadDevice);
    m_thread.start();
}

ControllerLink::~ControllerLink()
{
    m_config->Stop();
    m_thread.quit();
    m_thread.wait();
    // The loop has returned, so the model can go from here.
    delete m_config;
}

bool ControllerLink::WaitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= timeoutMs)
            loop.quit();
    });
    tick.start(kPollMs);
    if (!done())
        loop.exec();
    return done();
}

QVector<ControllerLink::Device> ControllerLink::Devices()
{
    if (!m_scanned && m_platform) {
        m_scanned = true;
        m_config->Scan(DeviceCatalogue::kVendorId);
        // Wired controllers are asked for their version one after the other, and devices
        // found meanwhile wait their turn to be opened.
        WaitUntil([this] { return m_config->Discovery().Idle(); }, kDiscoveryTimeoutMs);
    }
    QVector<Device> devices;
    const QMap<int, DeviceEntry> table = m_config->DeviceTable();
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        if (it->modelName.isEmpty())
            continue;
        const CatalogueEntry *model = DeviceCatalogue::FindDevice(it->devIno.mPid, it->path);
        Device device;
        device.catalogue = model;
        device.slot = it.key();
        device.inputSlot = it->inputSlot;
        device.model = it->modelName;
        device.vendorId = it->devIno.mVid ? it->devIno.mVid : DeviceCatalogue::kVendorId;
        device.productId = it->devIno.mPid ? it->devIno.mPid : (model ? model->productId : 0);
        device.dongle = model && model->dongle;
        device.firmware = it->devIno.version;
        device.fileProfiles = model && model->fileProfileModel;
        devices.append(device);
    }
    return devices;
}

void ControllerLink::Configure(const Device &device)
{
    if (m_configured == device.slot)
        return;
    m_configured = device.slot;
    m_config->SetModelFlags(device.catalogue);
    m_config->m_deviceInConfig = true;
    // Only this device is read from now on.
    m_config->SetLockSlots(true, uint8_t(device.slot),
                           uint8_t(device.inputSlot >= 0 ? device.inputSlot : device.slot));
    m_config->ConfigureSlot(device.slot);
}

bool ControllerLink::Read(const Device &device, Profiles &profiles)
{
    Configure(device);
    m_finished = false;
    m_activeKnown = false;
    m_firstName = false;
    m_config->SelectSlot(device.slot);
    // A file-profile model's read ends once the device confirms its active profile again;
    // a plain model's goes on after ReadFinished with the lights and the name.
    const bool fileProfiles = device.fileProfiles;
    const bool done = WaitUntil(
        [this, fileProfiles] { return m_finished && (fileProfiles ? m_activeKnown : m_firstName); },
        kReadTimeoutMs);
    if (!done) {
        m_config->Reader().Stop();
        return false;
    }
    const ProfileStore &store = m_config->Profiles();
    for (int p = 0; p < device.ProfileCount(); ++p) {
        profiles.records[size_t(p)] = store.Record(p);
        profiles.names[size_t(p)] = store.Name(p);
    }
    profiles.active = device.fileProfiles ? std::clamp(store.DeviceProfile(), 0, 2) : 0;
    return true;
}

ControllerLink::LoadResult ControllerLink::Load(const Device &device, int profile,
                                                PROFILE_INFO record, const QString &name,
                                                QString *why)
{
    // The checking reads' replies reach the model only from the configured device, and
    // the active record must be known to decide whether to switch: read first.
    if (m_config->ConfiguredSlot() != device.slot) {
        Profiles profiles;
        if (!Read(device, profiles)) {
            if (why)
                *why = QStringLiteral("the controller did not answer");
            return LoadResult::NotConfirmed;
        }
    }
    m_confirmed = false;
    m_failure.clear();
    const QString profileName = device.fileProfiles ? name : QString();
    if (!ProfileLoad::Send(*m_config, profile, record, profileName)) {
        if (why)
            *why = QStringLiteral("a command could not be written to the controller");
        return LoadResult::NotSent;
    }
    m_check->Start(record, ProfileLoad::Sections(), ProfileLoad::TriggerLevels(*m_config),
                   profileName.isEmpty() ? -1 : profile, profileName);
    WaitUntil([this] { return m_confirmed || !m_failure.isEmpty(); }, kReadTimeoutMs);
    if (m_confirmed)
        return LoadResult::Confirmed;
    m_check->Cancel();
    if (why)
        *why = m_failure.isEmpty() ? QStringLiteral("the check did not end") : m_failure;
    return LoadResult::NotConfirmed;
}
