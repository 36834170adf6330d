#include "cliapp.h"

#include "app/portableprofile.h"
#include "app/profilefiles.h"
#include "app/singleinstance.h"
#include "clioptions.h"
#include "controllerlink.h"
#include "device/devicecatalogue.h"
#include "device/deviceplatform.h"
#include "device/hidconfig.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTextStream>
#include <cstddef>
#include <cstdlib>

namespace {

// A sentence turned into a clause of another: no final stop, and a lower-case start
// unless the first word is written in capitals.
QString Clause(QString sentence)
{
    if (sentence.endsWith(QLatin1Char('.')))
        sentence.chop(1);
    if (sentence.size() > 1 && sentence[0].isUpper() && sentence[1].isLower())
        sentence[0] = sentence[0].toLower();
    return sentence;
}

// One command's run: the streams, the devices once asked for, and the exit code.
class CliRun
{
public:
    CliRun(const CliOptions &options, QTextStream &out, QTextStream &err, const CliBackend &backend)
        : m_options(options), m_out(out), m_err(err), m_backend(backend)
    {
    }

    int Run();

private:
    int List();
    int Show();
    int Export();
    int Import();
    int Convert();

    // Takes the devices from the window's reach; false (with the sentence said) when the
    // window holds them.
    bool OpenDevices();
    // The --device'th device and its profiles, read; 0 or the exit code of the failure.
    int ReadChosen(ControllerLink::Device &device, ControllerLink::Profiles &profiles,
                   int &profile);
    int Fail(int code, const QString &sentence);
    // The controller holds a value that the portable form has no name for.
    int CannotName(const QString &error);
    void Warn(const QString &sentence);
    // Writes bytes to path through a temporary file and a rename.
    int WriteFile(const QString &path, const QByteArray &bytes);
    // Reads a file of at most limit bytes; 0 or the exit code of the failure.
    int ReadFile(const QString &path, qint64 limit, QByteArray &bytes);
    // Reads and checks a portable profile; 0 or the exit code of the failure.
    int LoadDocument(const QString &path, PortableProfile &portable);
    // A file's fault, as one sentence that names the file.
    int BadFile(const QString &path, const QString &error);

    static QJsonObject DeviceJson(int index, const ControllerLink::Device &device);
    static QString DeviceLine(const ControllerLink::Device &device);
    static QString ProfileLine(int number, const QString &name, bool active);
    void PrintFlat(const QString &prefix, const QJsonValue &value);

    const CliOptions &m_options;
    QTextStream &m_out;
    QTextStream &m_err;
    const CliBackend &m_backend;
    std::unique_ptr<SingleInstanceGuard> m_guard;
    std::unique_ptr<DevicePlatform> m_platform;
    std::unique_ptr<ControllerLink> m_link;
};

int CliRun::Run()
{
    switch (m_options.command) {
    case CliOptions::Command::Help:
        m_out << CliOptions::Help();
        return CliExit::kDone;
    case CliOptions::Command::Version:
        m_out << "quorel-oradesk-cli " << ORADESK_VERSION_TEXT << '\n';
        return CliExit::kDone;
    case CliOptions::Command::List:
        return List();
    case CliOptions::Command::Show:
        return Show();
    case CliOptions::Command::Export:
        return Export();
    case CliOptions::Command::Import:
        return Import();
    case CliOptions::Command::Convert:
        return Convert();
    }
    return CliExit::kUsage;
}

int CliRun::Fail(int code, const QString &sentence)
{
    m_err << sentence << '\n';
    m_err.flush();
    return code;
}

int CliRun::CannotName(const QString &error)
{
    return Fail(
        CliExit::kNotConfirmed,
        QStringLiteral("The controller reports a setting this program cannot name: %1").arg(error));
}

void CliRun::Warn(const QString &sentence)
{
    m_err << "Warning: " << sentence << '\n';
    m_err.flush();
}

bool CliRun::OpenDevices()
{
    if (m_link)
        return true;
    if (!m_backend.lockPath.isEmpty()) {
        m_guard = std::make_unique<SingleInstanceGuard>(m_backend.lockPath);
        if (!m_guard->TryAcquire()) {
            m_guard.reset();
            Fail(CliExit::kNoDevice,
                 QStringLiteral("The Quorel Oradesk window is running and holds the "
                                "controllers; close it and try again."));
            return false;
        }
    }
    m_platform = m_backend.makePlatform ? m_backend.makePlatform() : nullptr;
    m_link = std::make_unique<ControllerLink>(m_platform.get());
    if (m_backend.replyDelayMs >= 0)
        m_link->Model().Reader().m_replyDelay = m_backend.replyDelayMs;
    return true;
}

int CliRun::ReadChosen(ControllerLink::Device &device, ControllerLink::Profiles &profiles,
                       int &profile)
{
    if (!OpenDevices())
        return CliExit::kNoDevice;
    const QVector<ControllerLink::Device> devices = m_link->Devices();
    if (devices.isEmpty())
        return Fail(CliExit::kNoDevice,
                    QStringLiteral("No Quorel controller or dongle is connected."));
    if (m_options.device > devices.size())
        return Fail(CliExit::kNoDevice,
                    QStringLiteral("There is no device %1; %2 connected.")
                        .arg(m_options.device)
                        .arg(devices.size() == 1 ? QStringLiteral("1 is")
                                                 : QStringLiteral("%1 are").arg(devices.size())));
    device = devices[m_options.device - 1];
    if (m_options.profile > device.ProfileCount())
        return Fail(
            CliExit::kUsage,
            QStringLiteral("The %1 has one profile; --profile can only be 1.").arg(device.model));
    if (!m_link->Read(device, profiles))
        return Fail(
            CliExit::kNotConfirmed,
            QStringLiteral("The %1 did not answer when its profiles were read.").arg(device.model));
    profile = m_options.profile > 0 ? m_options.profile - 1 : profiles.active;
    return CliExit::kDone;
}

QJsonObject CliRun::DeviceJson(int index, const ControllerLink::Device &device)
{
    return {
        {QStringLiteral("index"), index},
        {QStringLiteral("model"), device.model},
        {QStringLiteral("vendorId"), DeviceCatalogue::PidText(device.vendorId)},
        {QStringLiteral("productId"), DeviceCatalogue::PidText(device.productId)},
        {QStringLiteral("link"), device.Link()},
        {QStringLiteral("firmware"),
         device.firmware.isEmpty() ? QJsonValue() : QJsonValue(device.firmware)},
    };
}

QString CliRun::DeviceLine(const ControllerLink::Device &device)
{
    return QStringLiteral("%1 (%2:%3, %4, firmware %5)")
        .arg(device.model, DeviceCatalogue::PidText(device.vendorId),
             DeviceCatalogue::PidText(device.productId), device.Link(),
             device.firmware.isEmpty() ? QStringLiteral("unknown") : device.firmware);
}

QString CliRun::ProfileLine(int number, const QString &name, bool active)
{
    return QStringLiteral("profile %1 \"%2\"%3")
        .arg(number)
        .arg(name, active ? QStringLiteral(" (active)") : QString());
}

int CliRun::List()
{
    if (!OpenDevices())
        return CliExit::kNoDevice;
    const QVector<ControllerLink::Device> devices = m_link->Devices();
    int result = CliExit::kDone;
    QJsonArray list;
    for (int i = 0; i < devices.size(); ++i) {
        const ControllerLink::Device &device = devices[i];
        ControllerLink::Profiles profiles;
        const bool read = m_link->Read(device, profiles);
        if (!read)
            result = Fail(CliExit::kNotConfirmed,
                          QStringLiteral("Device %1, the %2, did not answer when its profiles "
                                         "were read.")
                              .arg(i + 1)
                              .arg(device.model));
        QJsonObject entry = DeviceJson(i + 1, device);
        QJsonArray profileList;
        if (!m_options.json)
            m_out << i + 1 << ": " << DeviceLine(device) << '\n';
        for (int p = 0; read && p < device.ProfileCount(); ++p) {
            const bool active = p == profiles.active;
            const QString &name = profiles.names[size_t(p)];
            profileList.append(QJsonObject{{QStringLiteral("number"), p + 1},
                                           {QStringLiteral("name"), name},
                                           {QStringLiteral("active"), active}});
            if (!m_options.json)
                m_out << "   " << ProfileLine(p + 1, name, active) << '\n';
        }
        // A device that did not answer has no known profiles: null, not an empty list.
        entry.insert(QStringLiteral("profiles"), read ? QJsonValue(profileList) : QJsonValue());
        list.append(entry);
    }
    if (m_options.json)
        m_out << QJsonDocument(QJsonObject{{QStringLiteral("devices"), list}})
                     .toJson(QJsonDocument::Indented);
    else if (devices.isEmpty())
        m_out << "No Quorel controller or dongle is connected.\n";
    return result;
}

void CliRun::PrintFlat(const QString &prefix, const QJsonValue &value)
{
    const QString dot = prefix.isEmpty() ? QString() : prefix + QLatin1Char('.');
    if (value.isObject()) {
        // A lighting area is printed under its number already.
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            if (it.key() != QLatin1String("area"))
                PrintFlat(dot + it.key(), it.value());
        return;
    }
    if (value.isArray() && !value.toArray().isEmpty() && value.toArray().first().isObject()) {
        const QJsonArray array = value.toArray();
        for (int i = 0; i < array.size(); ++i)
            PrintFlat(dot + QString::number(i + 1), array[i]);
        return;
    }
    QString text;
    if (value.isString())
        text = value.toString();
    else if (value.isArray())
        text = QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    else if (value.isBool())
        text = value.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
    else
        text = QString::number(value.toInt());
    m_out << prefix << ": " << text << '\n';
}

int CliRun::Show()
{
    ControllerLink::Device device;
    ControllerLink::Profiles profiles;
    int profile = 0;
    if (const int failed = ReadChosen(device, profiles, profile))
        return failed;
    QJsonObject settings;
    QString error;
    if (!PortableProfileJson::Settings(profiles.records[size_t(profile)],
                                       ModelFeatures::Of(device.productId), settings, error))
        return CannotName(error);
    const QString &name = profiles.names[size_t(profile)];
    const bool active = profile == profiles.active;
    if (m_options.json) {
        const QJsonObject document{
            {QStringLiteral("device"), DeviceJson(m_options.device, device)},
            {QStringLiteral("profile"), QJsonObject{{QStringLiteral("number"), profile + 1},
                                                    {QStringLiteral("name"), name},
                                                    {QStringLiteral("active"), active}}},
            {QStringLiteral("settings"), settings},
        };
        m_out << QJsonDocument(document).toJson(QJsonDocument::Indented);
        return CliExit::kDone;
    }
    m_out << DeviceLine(device) << ", " << ProfileLine(profile + 1, name, active) << '\n';
    PrintFlat(QString(), settings);
    return CliExit::kDone;
}

int CliRun::WriteFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Fail(CliExit::kBadFile,
                    QStringLiteral("%1 could not be written: %2.").arg(path, file.errorString()));
    return CliExit::kDone;
}

int CliRun::ReadFile(const QString &path, qint64 limit, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(CliExit::kBadFile,
                    QStringLiteral("%1 could not be read: %2.").arg(path, file.errorString()));
    // Read one byte past the limit, so that a file too large is told without taking it
    // all in; the reader refuses it.
    bytes = file.read(limit + 1);
    return CliExit::kDone;
}

int CliRun::LoadDocument(const QString &path, PortableProfile &portable)
{
    QByteArray bytes;
    if (const int failed = ReadFile(path, PortableProfile::kMaxFileBytes, bytes))
        return failed;
    QString error;
    return PortableProfileJson::Read(bytes, portable, error) ? CliExit::kDone
                                                             : BadFile(path, error);
}

int CliRun::BadFile(const QString &path, const QString &error)
{
    return Fail(CliExit::kBadFile, QStringLiteral("In %1, %2.").arg(path, Clause(error)));
}

int CliRun::Export()
{
    ControllerLink::Device device;
    ControllerLink::Profiles profiles;
    int profile = 0;
    if (const int failed = ReadChosen(device, profiles, profile))
        return failed;
    PortableProfile portable = PortableProfileJson::FromRecord(profiles.records[size_t(profile)],
                                                               profiles.names[size_t(profile)]);
    portable.vendorId = device.vendorId;
    portable.productId = device.productId;
    portable.modelName = device.model;
    portable.firmware = device.firmware;
    // Which profile is active and the status byte are the controller's state of the
    // moment, not part of the profile: a file taken from a controller leaves them out.
    portable.carried.reset(offsetof(PROFILE_INFO, statusByte));
    portable.carried.reset(offsetof(PROFILE_INFO, currentProfile));
    QByteArray json;
    QString error;
    if (!PortableProfileJson::Write(portable, ModelFeatures::Of(device.productId), json, error))
        return CannotName(error);
    if (const int failed = WriteFile(m_options.files[0], json))
        return failed;
    m_out << "Profile " << profile + 1 << " \"" << portable.name << "\" of the " << device.model
          << " written to " << m_options.files[0] << ".\n";
    return CliExit::kDone;
}

int CliRun::Import()
{
    const QString path = m_options.files[0];
    PortableProfile portable;
    if (const int failed = LoadDocument(path, portable))
        return failed;

    ControllerLink::Device device;
    ControllerLink::Profiles profiles;
    int profile = 0;
    if (const int failed = ReadChosen(device, profiles, profile))
        return failed;
    PROFILE_INFO record{};
    QStringList leftOut;
    QString error;
    if (!PortableProfileJson::FitToController(portable, profiles.records[size_t(profile)],
                                              device.productId, m_options.force, record, leftOut,
                                              error))
        return BadFile(path, error);
    if (!leftOut.isEmpty()) {
        const bool one = leftOut.size() == 1;
        const QString last = leftOut.takeLast();
        const QString missing =
            one ? last : leftOut.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
        Warn(QStringLiteral("the %1 has no %2, so %3 of the file %4 not written.")
                 .arg(device.model, missing,
                      one ? QStringLiteral("that part") : QStringLiteral("those parts"),
                      one ? QStringLiteral("was") : QStringLiteral("were")));
    }

    QString why;
    switch (m_link->Load(device, profile, record, portable.name, &why)) {
    case ControllerLink::LoadResult::Confirmed:
        m_out << "Profile " << profile + 1 << " of the " << device.model << " now holds " << path
              << "; the controller confirmed it.\n";
        return CliExit::kDone;
    case ControllerLink::LoadResult::NotSent:
    case ControllerLink::LoadResult::NotConfirmed:
        break;
    }
    return Fail(CliExit::kNotConfirmed,
                QStringLiteral("The %1 did not confirm the profile (%2).").arg(device.model, why));
}

int CliRun::Convert()
{
    const QString in = m_options.files[0];
    const QString out = m_options.files[1];
    const QString inSuffix = QFileInfo(in).suffix().toLower();
    const QString outSuffix = QFileInfo(out).suffix().toLower();
    const bool toJson = inSuffix == QLatin1String("qpf") && outSuffix == QLatin1String("json");
    const bool toQpf = inSuffix == QLatin1String("json") && outSuffix == QLatin1String("qpf");
    if (!toJson && !toQpf)
        return Fail(CliExit::kUsage,
                    QStringLiteral("convert takes a .qpf and a .json file, in either order."));

    QByteArray bytes;
    if (toJson) {
        if (const int failed = ReadFile(in, ProfileFiles::kFileSize, bytes))
            return failed;
        if (bytes.size() != ProfileFiles::kFileSize)
            return Fail(CliExit::kBadFile,
                        QStringLiteral("%1 is not a profile file: it is not %2 bytes long.")
                            .arg(in)
                            .arg(ProfileFiles::kFileSize));
        const PortableProfile portable =
            PortableProfileJson::FromQpf(bytes, QFileInfo(in).completeBaseName());
        QString error;
        if (!PortableProfileJson::Write(portable, ModelFeatures::All(), bytes, error))
            return BadFile(in, error);
    } else {
        PortableProfile portable;
        if (const int failed = LoadDocument(in, portable))
            return failed;
        bytes = PortableProfileJson::ToQpf(portable);
    }
    if (const int failed = WriteFile(out, bytes))
        return failed;
    m_out << in << " written to " << out << ".\n";
    return CliExit::kDone;
}

} // namespace

int RunCli(const QStringList &arguments, QTextStream &out, QTextStream &err,
           const CliBackend &backend)
{
    CliOptions options;
    QString error;
    int code = CliExit::kUsage;
    if (!CliOptions::Parse(arguments, options, error)) {
        err << error << '\n';
    } else {
        code = CliRun(options, out, err, backend).Run();
    }
    out.flush();
    err.flush();
    return code;
}

void QuietDiagnostics()
{
    if (qEnvironmentVariableIsEmpty("ORADESK_CLI_LOG"))
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &) {
            if (type == QtFatalMsg)
                abort();
        });
}
