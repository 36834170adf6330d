#include "hidconfig.h"

#include "devicecatalogue.h"
#include "protocol/commandcodes.h"
#include "protocol/controllerscommunication.h"
#include "reportkind.h"

#include <QDebug>
#include <QLocale>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstring>
#include <exception>

namespace {

constexpr int kWatchdogMs = 50;
constexpr int kButtonTickMs = 10;
constexpr int kGamepadTickMs = 10;
constexpr int kLoadFileMs = 1;
constexpr auto kIdlePause = std::chrono::milliseconds(1000);

bool IsInputReport(const uint8_t *report, int length)
{
    const ReportKind kind = classifyReport(report, length);
    return kind == ReportKind::LongInput || kind == ReportKind::ShortInput;
}

std::unique_ptr<QTimer> makeTimer(int intervalMs)
{
    // No parent: the timers must keep this thread's affinity when the model moves.
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(intervalMs);
    return timer;
}

} // namespace

HidConfig::HidConfig(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<PROFILE_INFO>("PROFILE_INFO");
    qRegisterMetaType<ConfigReply>("ConfigReply");

    m_controllersCom = std::make_unique<ControllersCommunication>();

    m_readTimer = makeTimer(kWatchdogMs);
    connect(m_readTimer.get(), &QTimer::timeout, this, &HidConfig::onReadTime,
            Qt::DirectConnection);
    m_gamepadTimer = makeTimer(kGamepadTickMs);
    connect(m_gamepadTimer.get(), &QTimer::timeout, this, &HidConfig::OnReadGamepade,
            Qt::DirectConnection);
    m_buttonPressTimer = makeTimer(kButtonTickMs);
    connect(m_buttonPressTimer.get(), &QTimer::timeout, this, &HidConfig::onButtonPressTimer,
            Qt::DirectConnection);
    m_buttonPressTimer->start();
    m_loadFileTimer = makeTimer(kLoadFileMs);
    connect(m_loadFileTimer.get(), &QTimer::timeout, this, &HidConfig::OnLoadFileTimer,
            Qt::DirectConnection);

    m_isChinese = QLocale::system().language() == QLocale::Chinese;
    qDebug() << (m_isChinese ? "当前系统语言为中文" : "当前系统语言不是中文");

    m_input.SetTriggerSource(std::make_unique<GamepadTriggerSource>());

    m_gamepadTimer->start(kGamepadTickMs);
}

HidConfig::~HidConfig()
{
    Stop();
    m_readTimer->stop();
    m_gamepadTimer->stop();
    m_buttonPressTimer->stop();
    m_loadFileTimer->stop();
    m_controllersCom->SetHandle(nullptr);
    for (HidSlot &slot : m_devHandle)
        slot.close();
}

void HidConfig::UseControllersCommunication(std::unique_ptr<ControllersCommunication> com)
{
    com->SetHandle(m_controllersCom->Handle());
    m_controllersCom = std::move(com);
}

bool HidConfig::OpenSlot(int index, const QString &path, const QString &node)
{
    if (index < 0 || index >= kSlotCount)
        return false;
    const QString target = node.isEmpty() ? path : node;
    const bool opened = m_devHandle[index].openPath(target.toUtf8().constData());
    m_devPath[index] = opened ? path : QString();
    m_devNode[index] = opened ? target : QString();
    m_health.Reset(index);
    return opened;
}

void HidConfig::CloseSlot(int index)
{
    if (index < 0 || index >= kSlotCount)
        return;
    m_devHandle[index].close();
    m_devPath[index].clear();
    m_devNode[index].clear();
    m_health.Reset(index);
}

bool HidConfig::IsSlotOpen(int index) const
{
    return index >= 0 && index < kSlotCount && m_devHandle[index].isOpen();
}

void HidConfig::SelectSlot(int index)
{
    if (index < 0 || index >= kSlotCount)
        return;
    ConfigureSlot(index);
    m_reader.Start(index);
    m_readTimer->start();
}

void HidConfig::SetModelFlags(const CatalogueEntry *model)
{
    m_fileProfileModel = model && model->fileProfileModel;
    m_noTriggerLevels = model && model->noTriggerLevels;
    m_Is6150A = model && model->is6150A;
}

void HidConfig::ConfigureSlot(int index)
{
    if (index < 0 || index >= kSlotCount)
        return;
    m_configSlot.store(index);
    SelectWriteSlot(index);
}

void HidConfig::SelectWriteSlot(int index)
{
    if (index < 0 || index >= kSlotCount)
        return;
    m_selectIndex.store(index);
    m_controllersCom->SetHandle(&m_devHandle[index]);
}

HidConfig::DeviceVersion HidConfig::LastDeviceVersion() const
{
    std::lock_guard<std::mutex> guard(m_tableLock);
    return m_version;
}

QMap<int, DeviceEntry> HidConfig::DeviceTable() const
{
    std::lock_guard<std::mutex> guard(m_tableLock);
    return m_deviceTable;
}

void HidConfig::SetReading(bool reading)
{
    m_wake.Set(m_isReading, reading);
}

void HidConfig::Stop()
{
    m_wake.Set(m_isReading, false);
    m_wake.Set(m_threadRun, false);
}

void HidConfig::SetLockSlots(bool locked, uint8_t slotA, uint8_t slotB)
{
    m_lockSlotA.store(slotA);
    m_lockSlotB.store(slotB);
    m_lockSlots.store(locked);
}

void HidConfig::RequestCreateProfile()
{
    emit CreateProfile(m_store.ActiveName(), m_store.Active());
}

void HidConfig::NameControllerProfile(int profile, const QString &name)
{
    if (profile < 0 || profile >= kProfileCount)
        return;
    m_store.SetName(profile, name);
    m_controllersCom->SetProfileName(uint8_t(profile), name);
    emit profileChanges(uint8_t(profile), name);
}

void HidConfig::OnReadDevice()
{
    while (m_threadRun.load()) {
        while (m_isReading.load()) {
            const bool visited = PollSlots();
            if (!visited) {
                // Nothing open to wait on: pause rather than spin.
                QThread::msleep(kReadTimeoutMs);
            }
            QThread::msleep(0);
        }
        m_wake.PauseUpTo(kIdlePause, [this] { return !m_threadRun.load() || m_isReading.load(); });
    }
}

bool HidConfig::IsPolled(int index) const
{
    if (!m_lockSlots.load() || m_versionQuery.load())
        return true;
    return index == m_lockSlotA.load() || index == m_lockSlotB.load();
}

bool HidConfig::PollSlots()
{
    bool visited = false;
    for (int index = 0; index < kPolledSlots && m_isReading.load(); ++index) {
        if (!m_devHandle[index].isOpen() || !IsPolled(index))
            continue;
        visited = true;
        // Waits for the first report only; whatever queued up behind it is taken at once,
        // so that a fast controller is not held to one report per pass over the slots.
        int timeout = kReadTimeoutMs;
        for (int taken = 0; taken < kDrainPerPass && m_isReading.load(); ++taken) {
            const int length = ReadSlot(index, timeout);
            if (length < 1 || length > kReportSize)
                break;
            Dispatch(index, length);
            timeout = 0;
        }
    }
    return visited;
}

int HidConfig::ReadSlot(int index, int timeoutMs)
{
    std::memset(m_readBuf, 0, sizeof m_readBuf);
    return m_devHandle[index].use([this, index, timeoutMs](hid_device *handle) {
        if (!handle)
            return -1;
        const int read = hid_read_timeout(handle, m_readBuf, sizeof m_readBuf, timeoutMs);
        // Stamped under the handle's lock: a report of a handle that is then closed or
        // replaced cannot land in the slot's series after OpenSlot or CloseSlot reset it.
        if (read >= 1 && read <= kReportSize && IsInputReport(m_readBuf, read))
            m_health.Stamp(index, InputHealth::Clock::now());
        return read;
    });
}

void HidConfig::Dispatch(int index, int length)
{
    m_lastReadIndex.store(index);
    try {
        switch (classifyReport(m_readBuf, length)) {
        case ReportKind::ConfigReply:
            OnConfigReply(m_readBuf, length);
            break;
        case ReportKind::LongInput:
            OnLongInputReport(m_readBuf, length);
            break;
        case ReportKind::ShortInput:
            OnShortInputReport(m_readBuf, length);
            break;
        case ReportKind::Ignored:
            break;
        }
    } catch (const std::exception &error) {
        qDebug() << "read loop error:" << error.what();
    } catch (...) {
        qDebug() << "read loop error: unknown";
    }
}

bool HidConfig::AcceptsReply(int index, uint8_t code) const
{
    // A device-information reply names the slot it answers for; every other reply belongs
    // to the configured device, and another device's, or a removed one's, must not land in
    // its records or move its read-back on.
    if (code == CommandCode::kGetDeviceInfo || index == m_configSlot.load())
        return true;
    qDebug() << "reply from another device ignored, slot:" << index << "code:" << code;
    return false;
}

void HidConfig::OnConfigReply(const uint8_t *report, int length)
{
    QThread::msleep(static_cast<unsigned long>(m_reader.m_replyDelay.load()));
    // Checked after the pause: the device may have been removed or another chosen meanwhile.
    if (length > 4 && !AcceptsReply(m_lastReadIndex.load(), report[4]))
        return;
    m_reader.ParseReply(report, length);
    emit ConfigReplyArrived(ConfigReply(report, length));
}

void HidConfig::OnLongInputReport(const uint8_t *report, int length)
{
    m_input.DecodeLong(report, length);
}

void HidConfig::OnShortInputReport(const uint8_t *report, int length)
{
    m_input.DecodeShort(report, length);
}

void HidConfig::onReadTime()
{
    if (!m_reader.WatchdogTick())
        m_readTimer->stop();
}

void HidConfig::StopInputTimers()
{
    m_buttonPressTimer->stop();
    m_gamepadTimer->stop();
}

void HidConfig::onButtonPressTimer()
{
    m_input.Tick();
}

void HidConfig::OnReadGamepade()
{
    m_input.PollTriggers();
}

void HidConfig::OnLoadFileTimer()
{
    emit loadURL(m_lastConfigPath);
    m_loadFileTimer->stop();
}

QString HidConfig::DevicePictureStyle() const
{
    if (m_Is6102B)
        return QStringLiteral(
            "border-image: url(:/Images/QuorelAPP/background/Controller_6102_B.png);");
    if (m_fileProfileModel)
        return QStringLiteral(
            "border-image: url(:/Images/QuorelAPP/background/Controller_6101_2.png);");
    if (m_Is6150A)
        return QStringLiteral("border-image: url(:/Images/QuorelAPP/background/6150A_2.png);");
    return QStringLiteral("border-image: url(:/Images/QuorelAPP/background/Controller.png);");
}

QString HidConfig::InputHealthLine() const
{
    const int configured = m_configSlot.load();
    const int slot = configured >= 0 ? configured : m_selectIndex.load();
    if (slot < 0 || slot >= kSlotCount)
        return QString();
    QString path = m_devPath[slot];
    int inputSlot = -1;
    {
        std::lock_guard<std::mutex> guard(m_tableLock);
        const auto entry = m_deviceTable.constFind(slot);
        if (entry != m_deviceTable.constEnd()) {
            path = entry->path;
            inputSlot = entry->inputSlot;
        }
    }
    // A wired controller may send its input on the gamepad interface or on the one it is
    // configured through; a dongle shares one slot for both.
    const auto now = InputHealth::Clock::now();
    std::optional<InputHealth::Figures> figures;
    if (inputSlot >= 0 && inputSlot != slot)
        figures = m_health.Summary(inputSlot, now);
    if (!figures)
        figures = m_health.Summary(slot, now);
    const CatalogueEntry *model = DeviceCatalogue::FindInPath(path);
    return InputHealthText(figures, model && model->dongle ? InputLink::Dongle : InputLink::Usb);
}
