#include "updateflow.h"

#include "app/fileini.h"
#include "device/devicecatalogue.h"
#include "device/deviceentry.h"
#include "device/deviceplatform.h"
#include "device/hidconfig.h"
#include "device/hiddevicereadwrite.h"
#include "device/hidglobal.h"
#include "protocol/controllerscommunication.h"
#include "protocol/versionnumber.h"
#include "update/downloader.h"
#include "update/firmwareimage.h"

#include <QDebug>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace {

// The update type is the index of the device's product id here; it picks the download.
constexpr std::array<uint16_t, UpdateFlow::kTypeCount> kTypeProducts = {
    0x4013, 0x401A, 0x402A, 0x402D, 0x400F, 0x4021, 0x4024, 0x4019, // 0..7
    0x4031, 0x4034, 0x401D, 0x4027, 0x4010, 0x4017, 0x4028, 0x402B, // 8..15
    0x400C, 0x401E, 0x4022, 0x400E, 0x402E, 0x4032, 0x401B, 0x4025, // 16..23
};

constexpr int kResultNowMs = 1;

} // namespace

UpdateFlow::UpdateFlow(HidConfig *config, DevicePlatform *platform, QObject *parent)
    : QObject(parent), m_hidConfig(config), m_platform(platform),
      m_downLoader(new Downloader(this)), m_settings(std::make_unique<FileINI>()),
      m_hid(new HidDeviceReadWrite()), m_hidThread(new QThread(this)),
      m_updateTimer(new QTimer(this)), m_resultTimer(new QTimer(this))
{
    connect(m_downLoader, &Downloader::finishedLoad, this, &UpdateFlow::finishedLoad);
    connect(m_downLoader, &Downloader::downloadFailed, this, &UpdateFlow::downloadFailed);
    connect(m_updateTimer, &QTimer::timeout, this, &UpdateFlow::on_timerUpdateProgress);
    connect(m_resultTimer, &QTimer::timeout, this, &UpdateFlow::onUpdateUItimer);
    connect(m_hid, &HidDeviceReadWrite::UpdateStatic, this, &UpdateFlow::revUpdateStatic);
    connect(m_hid, &HidDeviceReadWrite::progressValue, this, &UpdateFlow::revPressValue);
    // Direct: the transport's loop never returns to its event loop while it reads, so a
    // queued abort would only arrive after the loop ended.
    connect(this, &UpdateFlow::updateStatic, m_hid, &HidDeviceReadWrite::RevUpdateStatic,
            Qt::DirectConnection);
    if (m_platform) {
        connect(m_platform, &DevicePlatform::UsbDeviceArrived, this, &UpdateFlow::OnDeviceArrived);
        connect(m_platform, &DevicePlatform::UsbDeviceRemoved, this, &UpdateFlow::OnDeviceRemoved);
    }
    m_hid->moveToThread(m_hidThread);
    connect(m_hidThread, &QThread::started, m_hid, &HidDeviceReadWrite::OnReadDevice);
    m_hidThread->start(QThread::InheritPriority);
}

UpdateFlow::~UpdateFlow()
{
    m_hid->Stop();
    m_hidThread->quit();
    m_hidThread->wait();
    // The thread has ended, so the transport can go from here.
    delete m_hid;
}

int UpdateFlow::TypeOfProduct(uint16_t productId)
{
    const auto it = std::find(kTypeProducts.begin(), kTypeProducts.end(), productId);
    return it == kTypeProducts.end() ? -1 : int(it - kTypeProducts.begin());
}

uint16_t UpdateFlow::ProductOfType(int type)
{
    return type >= 0 && type < kTypeCount ? kTypeProducts[size_t(type)] : 0;
}

bool UpdateFlow::IsDongleType(int type)
{
    const CatalogueEntry *entry = DeviceCatalogue::Find(ProductOfType(type));
    return entry && entry->dongle;
}

void UpdateFlow::SelectDevice(const DeviceEntry &entry, int slot)
{
    const int type = TypeOfProduct(entry.devIno.mPid);
    if (type >= 0)
        m_updatType = type;
    m_selectedKnown = type >= 0;
    // The path tells what is plugged in: a 4034 dongle is recorded with its controller's id.
    const CatalogueEntry *model = DeviceCatalogue::FindInPath(entry.path);
    if (!model)
        model = DeviceCatalogue::Find(entry.devIno.mPid);
    m_dongle = model && model->dongle;
    m_slot = slot;
    if (!m_dongle)
        m_wiredPid = entry.devIno.mPid;
}

bool UpdateFlow::HoldsImage(int type) const
{
    if (!m_downLoader->IsdownloadSuccessed(type))
        return false;
    FirmwareImage::TransferImage image;
    return FirmwareImage::LoadForTransfer(m_downLoader->firmwareData(type), image) &&
           !image.application.isEmpty();
}

bool UpdateFlow::LoadCurrentImage()
{
    if (HoldsImage(m_updatType) && m_hid->LoadImage(m_downLoader->firmwareData(m_updatType)))
        return true;
    qDebug() << "no firmware image for type" << m_updatType;
    FailSoon();
    return false;
}

int UpdateFlow::OfferedVersion() const
{
    return m_downLoader->firmwareVersion(m_updatType);
}

bool UpdateFlow::OfferFor(const QString &deviceVersion) const
{
    // An id outside the table leaves the type of an earlier device: never offer its image.
    const VersionNumber::Parts offered =
        VersionNumber::Parse(m_downLoader->firmwareVersionText(m_updatType));
    return m_selectedKnown &&
           VersionNumber::IsNewer(offered, VersionNumber::Parse(deviceVersion)) &&
           HoldsImage(m_updatType);
}

bool UpdateFlow::UpdateModePresent() const
{
    // Only the id the transfer opens counts: a device that cannot be opened must not be
    // offered a recovery that would then wait for it forever.
    return m_platform && m_platform->UsbPresent(kUpdateVid, kUpdatePid);
}

int UpdateFlow::UpdateModeCount() const
{
    return m_platform ? m_platform->UsbCount(kUpdateVid, kUpdatePid) : 0;
}

bool UpdateFlow::UpdateModeEnumerates() const
{
    auto global = lockHidGlobal();
    hid_device_info *list = hid_enumerate(kUpdateVid, kUpdatePid);
    const bool found = list != nullptr;
    hid_free_enumeration(list);
    return found;
}

bool UpdateFlow::Busy() const
{
    return m_hidConfig->m_deviceInConfig;
}

void UpdateFlow::ReloadStoredType()
{
    m_updatType = m_settings->UpdateDeviceCode();
    m_dongle = IsDongleType(m_updatType);
}

void UpdateFlow::LogWiredStrings() const
{
    // Diagnostics only: the controller's build string, read before it is switched.
    constexpr uint8_t kBuildStringIndex = 0x66;
    constexpr uint16_t kBuildStringLanguage = 0x5344;
    if (!m_platform || m_wiredPid == 0)
        return;
    const QStringList strings = m_platform->UsbStrings(DeviceCatalogue::kVendorId, m_wiredPid,
                                                       kBuildStringIndex, kBuildStringLanguage);
    for (const QString &text : strings)
        qDebug().noquote() << "stringDesc:" << text;
}

void UpdateFlow::StartUpdate()
{
    if (m_deviceOpened || m_transferStarted)
        return;
    m_resultTimer->stop();
    m_refusal = Refusal::None;
    m_updateArmed = true;
    m_settings->SetUpdateDeviceCode(m_updatType);
    emit pageRequested(Updating);
    UpdateEnd();
    m_resultOk = false;
    m_resultReceived = false;
    // Nothing to send: the device is left alone rather than switched into update mode.
    if (!LoadCurrentImage())
        return;
    if (!m_dongle)
        LogWiredStrings();
    if (UpdateModePresent()) {
        if (!updateFirmware())
            return;
    } else if (!SwitchAllowed()) {
        return;
    } else {
        m_hidConfig->SelectWriteSlot(m_slot);
        if (!m_hidConfig->GetControllerComHandle()->EnterUpdateMode())
            qDebug() << "EnterUpdateMode failed";
    }
    m_updateTimer->start(kWaitForDeviceMs);
    emit pageRequested(Updating);
    m_updateRunning = true;
}

bool UpdateFlow::StartRecovery()
{
    m_resultReceived = false;
    m_refusal = Refusal::None;
    if (!UpdateModeEnumerates()) {
        m_updateRunning = false;
        return false;
    }
    if (m_deviceOpened || m_transferStarted)
        return true;
    m_resultTimer->stop();
    m_resultOk = false;
    if (!updateFirmware())
        return true; // the failure page follows
    emit pageRequested(Updating);
    m_updateRunning = true;
    qDebug() << "updateFirmware ()";
    return true;
}

void UpdateFlow::Leave()
{
    m_updateRunning = false;
    m_updateArmed = false;
}

bool UpdateFlow::AvailabilityCheck()
{
    const int waiting = UpdateModeCount();
    if (waiting == 0)
        return false;
    m_refusal = Refusal::None;
    if (waiting > 1) {
        m_refusal = Refusal::SeveralWaiting;
        emit pageRequested(Failed);
        return true;
    }
    // The recovery sends the remembered type's image, so that is the one to look for.
    ReloadStoredType();
    if (NeedsModelChoice()) {
        emit pageRequested(Recovery);
        return true;
    }
    const bool held = m_downLoader->IsdownloadSuccessed(m_updatType);
    qDebug() << "m_downLoader->IsdownloadSuccessed(m_updatType):" << held;
    if (held) {
        emit pageRequested(Recovery);
    } else {
        emit pageRequested(Downloading);
        m_downLoader->downloadFirmware(m_updatType);
    }
    return true;
}

bool UpdateFlow::ChooseRecoveryType(int type)
{
    if (type < 0 || type >= kTypeCount)
        return false;
    m_settings->SetUpdateDeviceCode(type);
    qDebug() << "recovery type chosen:" << type;
    if (!AvailabilityCheck())
        emit refreshRequested(); // the device left update mode meanwhile
    return true;
}

bool UpdateFlow::SwitchAllowed()
{
    if (m_slot < 0 || !m_hidConfig->IsSlotOpen(m_slot)) {
        Refuse(Refusal::DeviceNotOpen);
        return false;
    }
    if (m_platform && !m_platform->CanOpenDevice(kUpdateVid, kUpdatePid)) {
        Refuse(Refusal::NoAccess);
        return false;
    }
    return true;
}

void UpdateFlow::Refuse(Refusal why)
{
    qDebug() << "update refused:" << int(why);
    m_refusal = why;
    FailSoon();
}

void UpdateFlow::FailSoon()
{
    m_updateTimer->stop();
    m_resultOk = false;
    m_updateRunning = false;
    m_resultTimer->start(kResultNowMs);
}

void UpdateFlow::finishedLoad(int type)
{
    if (type != m_updatType || type < 0 || type >= kTypeCount || m_offerShown[size_t(type)])
        return;
    m_offerShown[size_t(type)] = true;
    if (!AvailabilityCheck())
        emit refreshRequested();
}

void UpdateFlow::downloadFailed(int type)
{
    if (type == m_updatType)
        emit imageUnavailable();
}

void UpdateFlow::revPressValue(uint value)
{
    m_progress = int(std::min<uint>(value, kProgressMax));
}

void UpdateFlow::revUpdateStatic(bool ok)
{
    // Only a transfer this run opened has a result; a late second report is dropped.
    if (!m_deviceOpened && !m_transferStarted)
        return;
    m_resultReceived = true;
    m_transferStarted = false;
    m_deviceOpened = false;
    m_updateTimer->stop();
    m_resultOk = ok;
    m_resultTimer->start(ok ? kSettleMs : kResultNowMs);
}

void UpdateFlow::UpdateEnd()
{
    emit progressShown(0);
    m_hid->ResetProgress();
    m_progress = 0;
}

bool UpdateFlow::updateFirmware()
{
    UpdateEnd();
    if (!LoadCurrentImage())
        return false;
    if (m_updateTimer->isActive())
        return true;
    emit progressShown(0);
    m_deviceOpened = false;
    if (UpdateModePresent()) {
        m_updateTimer->start(kTickMs);
        qDebug() << "start update...";
    } else {
        m_updateTimer->start(kWaitForDeviceMs);
        qDebug() << "start update...000";
    }
    return true;
}

void UpdateFlow::on_timerUpdateProgress()
{
    if (m_resultReceived)
        return;
    if (!m_deviceOpened) {
        // Loaded again here: the device may have come up without the arrival that runs
        // updateFirmware, and the transport must never send the image of an earlier run.
        if (!LoadCurrentImage())
            return;
        // The transport opens the first device it finds: with two waiting that is a guess.
        if (UpdateModeCount() > 1) {
            Refuse(Refusal::SeveralWaiting);
            return;
        }
        if (!m_hid->OpenDevice(kUpdateVid, kUpdatePid)) {
            qDebug() << "m_hid.OpenDevice(MyVid,MyPid)" << m_updateTimer->timerId();
            FailSoon();
            return;
        }
        m_deviceOpened = true;
        m_lastProgress = -1;
        // Marked first: a Start that cannot be written reports its failure from inside.
        m_transferStarted = true;
        m_hid->StartUpdate();
        if (!m_resultReceived)
            m_updateTimer->setInterval(kTickMs);
    }
    if (!EndIfStalled())
        emit progressShown(m_progress);
}

bool UpdateFlow::EndIfStalled()
{
    const int progress = std::max(m_progress, int(m_hid->Progress()));
    if (progress != m_lastProgress) {
        m_lastProgress = progress;
        m_sinceProgress.start();
        return false;
    }
    if (!m_transferStarted || m_sinceProgress.elapsed() < m_stallMs)
        return false;
    // Unfinished, the transfer failed. With every block delivered, the device decides, as
    // after a success: it has taken the image if it leaves update mode.
    qDebug() << "update stalled at" << progress;
    m_updateTimer->stop();
    emit updateStatic(progress >= kProgressMax);
    return true;
}

void UpdateFlow::onUpdateUItimer()
{
    m_resultTimer->stop();
    // A device still in update mode after a reported success did not take the image.
    m_resultOk = m_resultOk && !UpdateModePresent();
    m_updateRunning = false;
    m_updateArmed = false;
    emit pageRequested(m_resultOk ? Succeeded : Failed);
}

void UpdateFlow::OnDeviceArrived()
{
    if (!m_updateRunning || m_resultReceived) {
        if (!Busy())
            AvailabilityCheck();
        return;
    }
    // The device has just switched into update mode after the command. Once the device
    // is open the transfer owns the image and its position, so a later arrival of some
    // other device must not reload them.
    if (m_progress == 0 && !m_deviceOpened && UpdateModePresent()) {
        emit pageRequested(Updating);
        updateFirmware();
    }
}

void UpdateFlow::OnDeviceRemoved()
{
    const bool present = UpdateModePresent();
    // The transport's own count can be ahead of the last queued progress report.
    const int progress = std::max(m_progress, int(m_hid->Progress()));
    if (present || progress >= kProgressMax || !m_transferStarted) {
        // Refused for two waiting devices, the one left is offered its recovery at once.
        const bool refusedForTwo = m_refusal == Refusal::SeveralWaiting && !IsUpdating();
        if ((refusedForTwo || (!m_resultReceived && !present)) && !Busy())
            emit refreshRequested();
        return;
    }
    // Gone in the middle of a transfer.
    m_resultTimer->start(kResultNowMs);
    m_updateTimer->stop();
    m_updateRunning = false;
    m_resultOk = false;
    emit updateStatic(false);
    qDebug() << "shebeiduanikai......";
}
