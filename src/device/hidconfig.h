#pragma once

#include "configreply.h"
#include "devicediscovery.h"
#include "deviceentry.h"
#include "hidslot.h"
#include "inputdecoder.h"
#include "inputhealth.h"
#include "loopwake.h"
#include "profilestore.h"
#include "protocol/profile_info.h"
#include "readback.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>

class ControllersCommunication;
class DevicePlatform;
class QTimer;

// The application's model of the connected controllers: the open device slots and the
// read loop over them, the profile records of the configured device, and the signals
// that pages and the main window listen to. Lives on its own worker thread; its timers
// stay on the thread that built it.
class HidConfig : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSlotCount = 64;
    static constexpr int kPolledSlots = 16;
    static constexpr int kReportSize = 64;
    static constexpr int kReadTimeoutMs = 1;
    // Reports taken from one slot in a pass before the next slot gets its turn.
    static constexpr int kDrainPerPass = 64;
    static constexpr int kProfileCount = ProfileStore::kProfiles;

    explicit HidConfig(QObject *parent = nullptr);
    ~HidConfig() override;

    ControllersCommunication *GetControllerComHandle() const { return m_controllersCom.get(); }
    // Puts another command writer in place (tests give one with shorter pauses); it takes
    // over the slot the current one writes to. Call before the read loop runs.
    void UseControllersCommunication(std::unique_ptr<ControllersCommunication> com);

    // Opens node (path when empty) into slot index and records path for it; the slot's
    // previous handle is closed.
    bool OpenSlot(int index, const QString &path, const QString &node = QString());
    void CloseSlot(int index);
    bool IsSlotOpen(int index) const;
    // Makes slot index the configured device: commands go to it, only its replies reach the
    // read-back, and its configuration is read.
    void SelectSlot(int index);
    // Makes slot index the configured device without reading it: commands go to it and
    // its replies reach the model.
    void ConfigureSlot(int index);
    // No device is configured any more (back to the device list).
    void ClearConfiguredSlot() { m_configSlot.store(-1); }
    int ConfiguredSlot() const { return m_configSlot.load(); }
    // Makes slot index the one commands are written to.
    void SelectWriteSlot(int index);
    // Sends the read command of one read-back step (pages re-read single sections).
    void RequestStep(int n) { m_reader.RequestStep(n); }
    ReadBack &Reader() { return m_reader; }

    // Discovery: the start-up scan and hot-plug arrivals and removals of path texts.
    void SetPlatform(DevicePlatform *platform) { m_discovery.SetPlatform(platform); }
    void Scan(uint16_t vendorId) { m_discovery.Scan(vendorId); }
    bool DeviceArrived(const QString &path) { return m_discovery.DeviceArrived(path); }
    void DeviceRemoved(const QString &path) { m_discovery.DeviceRemoved(path); }
    DeviceDiscovery &Discovery() { return m_discovery; }
    InputDecoder &Input() { return m_input; }
    // Stops the 10 ms button and trigger timers, so that their slots run only when called.
    void StopInputTimers();

    // The configured device's profile records and names, shared by both threads.
    ProfileStore &Profiles() { return m_store; }
    const ProfileStore &Profiles() const { return m_store; }

    // What the last device-information reply said.
    struct DeviceVersion
    {
        uint16_t vid = 0;
        uint16_t pid = 0;
        int number = 0;
        QString versionA;
        QString versionB;
    };
    DeviceVersion LastDeviceVersion() const;

    QMap<int, DeviceEntry> DeviceTable() const;
    // Runs fn on the entry keyed by slot, if there is one.
    template <typename Fn> void UpdateEntry(int slot, Fn &&fn)
    {
        std::lock_guard<std::mutex> guard(m_tableLock);
        auto it = m_deviceTable.find(slot);
        if (it != m_deviceTable.end())
            fn(*it);
    }
    // Turns polling on or off; the loop wakes at once either way.
    void SetReading(bool reading);
    // Ends the read loop: it returns after at most the current pause.
    void Stop();

    void SetLockSlots(bool locked, uint8_t slotA, uint8_t slotB);
    void SetVersionQuery(bool pending) { m_versionQuery.store(pending); }
    bool IsVersionQueryPending() const { return m_versionQuery.load(); }
    bool IsReading() const { return m_isReading.load(); }

    // Whether a configuration reply of code from slot index may reach the records.
    bool AcceptsReply(int index, uint8_t code) const;
    // Passed on unchanged to whoever hands focus between navigation and page.
    void RequestUnlockNavigation(bool unlock) { emit unlockNavigation(unlock); }
    // Announces the active record so that it is mirrored to its profile file.
    void RequestCreateProfile();
    // Names controller profile p (0..2): kept with its record, sent to the device, announced.
    void NameControllerProfile(int profile, const QString &name);

    // Sets the model flags below from the chosen device's catalogue entry (null: none set).
    void SetModelFlags(const CatalogueEntry *model);
    // Model flags: set on the GUI thread when a device is chosen, read by the read thread.
    bool m_isChinese = false;
    std::atomic<bool> m_fileProfileModel{false};
    std::atomic<bool> m_noTriggerLevels{false};
    // Whether a save is read back and compared before its notice shows. Only tests of
    // what pages write, with no read loop to bring the replies, leave it off.
    std::atomic<bool> m_checkSaves{true};
    std::atomic<bool> m_Is6150A{false};
    std::atomic<bool> m_Is6102B{false};
    std::atomic<bool> m_dongleFound{false};
    QString m_lastConfigPath;
    // Set while a device is open for configuration; the device window then keeps its list.
    std::atomic<bool> m_deviceInConfig{false};
    // The application's own version number, set by the app-update page.
    int m_appVersion = 0;

    // The style that shows the chosen device's picture.
    QString DevicePictureStyle() const;
    // Report rate and interval spread of the configured device's input reports (the write
    // slot's when none is configured), e.g. "250 Hz · p50 4.0 ms · p99 4.9 ms · 2.4G";
    // empty when it sent none in the last second. GUI thread.
    QString InputHealthLine() const;

signals:
    void OutputLogInfo(QString info);
    void loadURL(QString url);
    void pressButtonA(bool pressed);
    void pressButtonB(bool pressed);
    void pressButtonX(bool pressed);
    void pressButtonY(bool pressed);
    void pressButtonResetY(bool pressed);
    void pressButtonView(bool pressed);
    void pressButtonMenu(bool pressed);
    void pressButtonUp(bool pressed);
    void pressButtonRight(bool pressed);
    void pressButtonDown(bool pressed);
    void pressButtonLeft(bool pressed);
    void pressButtons(ButtonStates buttons);
    void FinishedCalibra();
    void backMainPage();
    void ExitTest();
    void LoadingProgress(int value);
    void LoadingProgressButtonB(int value);
    void unlockNavigation(bool unlock);
    void stickValue(ushort stickLx, ushort stickLy, ushort stickRx, ushort stickRy);
    void triggerValue(ushort triggerL, ushort triggerR);
    void ReadFinished();
    void CurrentProfile();
    void UpdateLightPage();
    // Every reply of the configured device, after the model took it in.
    void ConfigReplyArrived(ConfigReply reply);
    void UpdateInfo();
    void profileChanges(uchar profileID, QString name);
    void CreateProfile(QString profileName, PROFILE_INFO conFigData);

public slots:
    void onReadTime();
    void onButtonPressTimer();
    void OnReadDevice();
    void OnReadGamepade();
    void OnLoadFileTimer();

protected:
    // Where the read loop hands each report; called on the worker thread.
    virtual void OnConfigReply(const uint8_t *report, int length);
    virtual void OnLongInputReport(const uint8_t *report, int length);
    virtual void OnShortInputReport(const uint8_t *report, int length);

    // Transport state.
    std::array<HidSlot, kSlotCount> m_devHandle;
    QString m_devPath[kSlotCount];
    QString m_devNode[kSlotCount];
    std::atomic<int> m_selectIndex{0};
    std::atomic<int> m_configSlot{-1};
    uint8_t m_readBuf[kReportSize] = {};
    std::atomic<int> m_lastReadIndex{0};
    std::atomic<bool> m_isReading{false};
    std::atomic<bool> m_threadRun{true};
    std::atomic<bool> m_lockSlots{false};
    std::atomic<uint8_t> m_lockSlotA{0};
    std::atomic<uint8_t> m_lockSlotB{0};
    std::atomic<bool> m_versionQuery{false};

    // Devices by the slot of their configuration interface; written by discovery on the
    // GUI thread and by replies on the worker thread.
    QMap<int, DeviceEntry> m_deviceTable;
    mutable std::mutex m_tableLock;

private:
    friend class ReadBack;
    friend class DeviceDiscovery;
    friend class InputDecoder;

    bool PollSlots();
    // One read of the slot's device into m_readBuf: its length, or below 1 for none.
    int ReadSlot(int index, int timeoutMs);
    bool IsPolled(int index) const;
    void Dispatch(int index, int length);

    std::unique_ptr<ControllersCommunication> m_controllersCom;
    ProfileStore m_store;
    DeviceVersion m_version; // guarded by m_tableLock
    ReadBack m_reader{*this};
    DeviceDiscovery m_discovery{*this};
    InputDecoder m_input{*this};
    InputHealth m_health{kPolledSlots};
    std::unique_ptr<QTimer> m_readTimer;
    std::unique_ptr<QTimer> m_gamepadTimer;
    std::unique_ptr<QTimer> m_buttonPressTimer;
    std::unique_ptr<QTimer> m_loadFileTimer;

    LoopWake m_wake;
};
