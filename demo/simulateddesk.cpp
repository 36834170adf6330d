#include "simulateddesk.h"

#include "app/privatedir.h"
#include "app/profilefiles.h"
#include "controller/simulatedcontroller.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kMaxStateBytes = 64 * 1024;

// Three profiles a player might keep: the defaults, one for racing, one for shooters.
ctrlsim::DeviceState FreshState(uint16_t productId)
{
    ctrlsim::DeviceState state = ctrlsim::DeviceState::sane(productId);
    const char *names[3] = {"Default", "Racing", "Shooter"};
    for (size_t p = 0; p < 3; ++p) {
        PROFILE_INFO record = ProfileFiles::NewProfileRecord();
        if (p == 1) {
            const uint8_t smooth[8] = {35, 9, 46, 31, 54, 69, 65, 91};
            record.turboMask = 0x01; // A
            std::memcpy(record.stickCurveL, smooth, sizeof smooth);
            record.triggerRStart[0] = 10;
            record.triggerREnd[0] = 80;
        } else if (p == 2) {
            record.buttonMap[14] = 22; // AGL1 acts as X
            record.stickInsideL = 8;
            record.lightAreas[3] = 255; // zone 1 red
            record.lightAreas[4] = 0;
        }
        std::memcpy(state.profiles[p].data(), record.bytes(), PROFILE_INFO::kSize);
        state.names[p] = names[p];
    }
    state.saved = state.profiles;
    return state;
}

// The stored profiles of productId over a fresh state; fresh where the file says nothing.
ctrlsim::DeviceState StoredState(const QJsonArray &devices, uint16_t productId)
{
    ctrlsim::DeviceState state = FreshState(productId);
    for (const QJsonValue &value : devices) {
        const QJsonObject device = value.toObject();
        if (device.value(QStringLiteral("productId")).toInt() != productId)
            continue;
        const QJsonArray profiles = device.value(QStringLiteral("profiles")).toArray();
        const QJsonArray names = device.value(QStringLiteral("names")).toArray();
        if (profiles.size() != 3 || names.size() != 3)
            return state;
        for (size_t p = 0; p < 3; ++p) {
            const QJsonArray bytes = profiles[int(p)].toArray();
            if (bytes.size() != PROFILE_INFO::kSize)
                return FreshState(productId);
            for (int i = 0; i < PROFILE_INFO::kSize; ++i)
                state.profiles[p][size_t(i)] = uint8_t(std::clamp(bytes[i].toInt(), 0, 255));
            std::string name = names[int(p)].toString().toStdString();
            name.resize(std::min(name.size(), ctrlsim::DeviceState::kMaxNameBytes));
            state.names[p] = name;
        }
        state.activeProfile = std::clamp(device.value(QStringLiteral("active")).toInt(), 0, 2);
        state.saved = state.profiles;
    }
    return state;
}

} // namespace

SimulatedDesk::SimulatedDesk(const QString &statePath) : m_statePath(statePath)
{
    QJsonArray stored;
    QFile file(statePath);
    if (!statePath.isEmpty() && file.open(QIODevice::ReadOnly))
        stored = QJsonDocument::fromJson(file.read(kMaxStateBytes))
                     .object()
                     .value(QStringLiteral("devices"))
                     .toArray();
    m_devices.push_back(
        ctrlsim::SimulatedController::plugWired(kWiredPid, StoredState(stored, kWiredPid)));
    m_devices.push_back(
        ctrlsim::SimulatedController::plugDongle(kDonglePid, StoredState(stored, kDonglePid)));
}

SimulatedDesk::~SimulatedDesk() = default;

bool SimulatedDesk::Save() const
{
    if (m_statePath.isEmpty())
        return true;
    QJsonArray devices;
    for (const auto &device : m_devices) {
        const ctrlsim::DeviceState state = device->firmware().state();
        QJsonArray profiles;
        QJsonArray names;
        for (size_t p = 0; p < 3; ++p) {
            QJsonArray bytes;
            for (uint8_t byte : state.saved[p])
                bytes.append(byte);
            profiles.append(bytes);
            names.append(QString::fromStdString(state.names[p]));
        }
        devices.append(QJsonObject{{QStringLiteral("productId"), state.productId},
                                   {QStringLiteral("active"), state.activeProfile},
                                   {QStringLiteral("names"), names},
                                   {QStringLiteral("profiles"), profiles}});
    }
    MakePrivateDirectory(QFileInfo(m_statePath).absolutePath());
    QSaveFile file(m_statePath);
    return file.open(QIODevice::WriteOnly) &&
           file.write(QJsonDocument(QJsonObject{{QStringLiteral("devices"), devices}})
                          .toJson(QJsonDocument::Compact)) >= 0 &&
           file.commit();
}

QString SimulatedDesk::DefaultStatePath()
{
    const QString path = qEnvironmentVariable("ORADESK_SIM_STATE");
    if (!path.isEmpty())
        return path;
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
           QStringLiteral("/quorel-oradesk/simulated-controllers.json");
}
