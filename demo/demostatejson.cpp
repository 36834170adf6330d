#include "demostatejson.h"

#include "updatemode/updatabledevice.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

template <typename Records> QJsonArray RecordsJson(const Records &records)
{
    QJsonArray list;
    for (const auto &record : records) {
        QJsonArray bytes;
        for (uint8_t b : record)
            bytes.append(int(b));
        list.append(bytes);
    }
    return list;
}

QString ModeName(ctrlsim::UpdatableDevice::Mode mode)
{
    switch (mode) {
    case ctrlsim::UpdatableDevice::Mode::Normal:
        return QStringLiteral("normal");
    case ctrlsim::UpdatableDevice::Mode::Leaving:
        return QStringLiteral("leaving");
    case ctrlsim::UpdatableDevice::Mode::Update:
        return QStringLiteral("update");
    }
    return QString();
}

void AddState(QJsonObject &out, const ctrlsim::DeviceState &state)
{
    out[QStringLiteral("activeProfile")] = state.activeProfile;
    out[QStringLiteral("profiles")] = RecordsJson(state.profiles);
    out[QStringLiteral("saved")] = RecordsJson(state.saved);
    QJsonArray names;
    for (const std::string &name : state.names)
        names.append(QString::fromStdString(name));
    out[QStringLiteral("names")] = names;
    out[QStringLiteral("saveCount")] = state.saveCount;
    out[QStringLiteral("resetCount")] = state.resetCount;
    out[QStringLiteral("calibrating")] = state.calibrating;
    out[QStringLiteral("lastVibrationTest")] =
        QJsonArray{int(state.lastVibrationTest.left), int(state.lastVibrationTest.right)};
}

} // namespace

QJsonObject DemoStateJson::Device(ctrlsim::UpdatableDevice &device)
{
    QJsonObject out;
    QJsonArray frames;
    for (const auto &frame : device.frames())
        frames.append(QString::fromLatin1(
            QByteArray(reinterpret_cast<const char *>(frame.data()), int(frame.size())).toHex()));
    out[QStringLiteral("vid")] = int(device.options().state.vendorId);
    out[QStringLiteral("pid")] = int(device.options().productId);
    out[QStringLiteral("mode")] = ModeName(device.mode());
    device.withController([&](ctrlsim::SimulatedController &controller) {
        const ctrlsim::DeviceState state = controller.firmware().state();
        out[QStringLiteral("vid")] = int(state.vendorId);
        out[QStringLiteral("pid")] = int(state.productId);
        out[QStringLiteral("mode")] = ModeName(ctrlsim::UpdatableDevice::Mode::Normal);
        AddState(out, state);
    });
    out[QStringLiteral("frames")] = frames;
    return out;
}

QByteArray DemoStateJson::Devices(const std::vector<ctrlsim::UpdatableDevice *> &devices)
{
    QJsonArray list;
    for (ctrlsim::UpdatableDevice *device : devices)
        list.append(Device(*device));
    return QJsonDocument(list).toJson(QJsonDocument::Indented);
}
