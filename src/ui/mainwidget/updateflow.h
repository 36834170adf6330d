#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <array>
#include <cstdint>
#include <memory>

class DevicePlatform;
class Downloader;
class FileINI;
class HidConfig;
class HidDeviceReadWrite;
class QThread;
class QTimer;
struct DeviceEntry;

// The firmware update without pixels: which image a device gets and when it is offered,
// the run from the update button to the result, the recovery of a device left waiting in
// update mode, and the transfer thread. The device window shows the pages it asks for.
// Everything here runs on the GUI thread; the transfer reports back through queued signals.
class UpdateFlow : public QObject
{
    Q_OBJECT

public:
    enum Page
    {
        EmptyList = 1,
        DeviceList = 2,
        Identification = 3,
        Offer = 4,
        Updating = 5,
        Downloading = 6,
        Failed = 7,
        Succeeded = 8,
        Recovery = 9,
    };

    // Why a run ended before anything was sent: the failure page explains it.
    enum class Refusal
    {
        None,
        DeviceNotOpen,  // the controller's own connection is closed: it cannot be switched
        NoAccess,       // this user could not open the device once in update mode
        SeveralWaiting, // more than one device waits in update mode: which one is unknown
    };

    static constexpr int kTypeCount = 24;
    static constexpr uint16_t kUpdateVid = 0x2E2C;
    static constexpr uint16_t kUpdatePid = 0x5826;
    static constexpr int kProgressMax = 1000;
    static constexpr int kWaitForDeviceMs = 2000;
    static constexpr int kTickMs = 2;
    // Time a device gets to leave update mode after a reported success.
    static constexpr int kSettleMs = 3000;
    // A transfer whose progress stands still this long has lost its device's answers.
    static constexpr int kStallMs = 10000;

    // platform may be null: nothing then counts as present in update mode.
    UpdateFlow(HidConfig *config, DevicePlatform *platform, QObject *parent = nullptr);
    ~UpdateFlow() override;

    // The update type of a product id; -1 when the id has none.
    static int TypeOfProduct(uint16_t productId);
    static uint16_t ProductOfType(int type);
    static bool IsDongleType(int type);

    // Takes the device of a list entry: its type (kept when its id has none), whether it is
    // a dongle, and the slot its commands go to.
    void SelectDevice(const DeviceEntry &entry, int slot);
    // Whether the selected device is offered the held image: it must have a type of its
    // own, and the image must be newer than deviceVersion, valid and loadable.
    // Whether the held image is newer than deviceVersion ("1.30.0"), part by part.
    bool OfferFor(const QString &deviceVersion) const;
    int OfferedVersion() const;

    // The update button: switches the device into update mode, or starts at once when a
    // device already waits there.
    void StartUpdate();
    // The recovery button; false when no update-mode device enumerates.
    bool StartRecovery();
    // Runs while a device waits in update mode: shows the recovery or fetches its image
    // first; with no remembered type the recovery page asks for the model. Returns false
    // when no device waits, and the caller goes on normally.
    bool AvailabilityCheck();
    // The model of the waiting device, chosen by the user: remembered as the type, then
    // its image fetched or the recovery offered. False for a type out of range.
    bool ChooseRecoveryType(int type);
    // No type is remembered for the waiting device: the user must name its model.
    bool NeedsModelChoice() const { return m_updatType < 0; }
    Refusal LastRefusal() const { return m_refusal; }
    // The user left the result or recovery pages.
    void Leave();

    bool UpdateModePresent() const;
    bool IsUpdating() const { return m_updateRunning || m_updateArmed; }
    bool IsArmed() const { return m_updateArmed; }
    bool IsRunning() const { return m_updateRunning; }
    bool ResultOk() const { return m_resultOk; }
    bool IsDonglePath() const { return m_dongle; }
    int updateType() const { return m_updatType; }
    int SelectedSlot() const { return m_slot; }
    Downloader *downLoader() const { return m_downLoader; }
    // Tests shorten the stall time.
    void SetStallTimeout(int ms) { m_stallMs = ms; }

signals:
    void pageRequested(int page);
    void progressShown(int value);
    // The device list should be rebuilt (a device went away, or a download settled).
    void refreshRequested();
    // The image of the current type cannot be had: its download failed or is not valid.
    void imageUnavailable();
    // Aborts the transfer: connected straight to the transport, whose thread never
    // returns to its event loop while it reads.
    void updateStatic(bool ok);

public slots:
    void finishedLoad(int type);
    void downloadFailed(int type);
    void revPressValue(uint value);
    void revUpdateStatic(bool ok);
    void UpdateEnd();
    // Loads the current type's image into the transport and arms the transfer; false (and
    // the failure page on its way) when there is no image to send.
    bool updateFirmware();
    void on_timerUpdateProgress();
    void onUpdateUItimer();
    void OnDeviceArrived();
    void OnDeviceRemoved();

private:
    // A valid download whose application loads for the transfer.
    bool HoldsImage(int type) const;
    bool LoadCurrentImage();
    bool UpdateModeEnumerates() const;
    int UpdateModeCount() const;
    // What can be checked before the switch into update mode, which cannot be undone here.
    bool SwitchAllowed();
    // Ends the run on the failure page, saying why.
    void Refuse(Refusal why);
    void ReloadStoredType();
    void LogWiredStrings() const;
    // Ends the run on the failure page without a transfer.
    void FailSoon();
    // Ends a transfer whose device stopped answering; true when it did.
    bool EndIfStalled();
    // The configuration window has a device open and keeps its list.
    bool Busy() const;

    HidConfig *m_hidConfig;
    DevicePlatform *m_platform;
    Downloader *m_downLoader;
    std::unique_ptr<FileINI> m_settings;
    HidDeviceReadWrite *m_hid; // lives on m_hidThread, deleted after it ended
    QThread *m_hidThread;
    QTimer *m_updateTimer;
    QTimer *m_resultTimer;

    int m_updatType = 0; // -1: no type known for a waiting device
    Refusal m_refusal = Refusal::None;
    int m_slot = -1;
    uint16_t m_wiredPid = 0;      // the last wired device chosen, whose USB strings are logged
    bool m_selectedKnown = false; // the selected device's id has a type of its own
    bool m_dongle = false;
    bool m_updateRunning = false;
    bool m_updateArmed = false;
    bool m_resultReceived = false;
    bool m_resultOk = false;
    bool m_deviceOpened = false;
    bool m_transferStarted = false;
    int m_progress = 0;
    int m_stallMs = kStallMs;
    int m_lastProgress = -1;       // the progress the stall clock last saw change
    QElapsedTimer m_sinceProgress; // time since then
    std::array<bool, kTypeCount> m_offerShown{};
};
