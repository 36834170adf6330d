#include "app/profilefiles.h"
#include "app/singleinstance.h"
#include "cli/cliapp.h"
#include "controller/simulatedcontroller.h"
#include "platform/virtualdeviceplatform.h"
#include "simulateddesk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {

struct Outcome
{
    int code = -1;
    QString out;
    QString err;
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

// Everything a write could change on the controller: working and committed records,
// names and the number of commits.
QByteArray SavedBytes(ctrlsim::SimulatedController &device)
{
    const ctrlsim::DeviceState state = device.firmware().state();
    QByteArray bytes;
    for (const auto *records : {&state.profiles, &state.saved})
        for (const auto &record : *records)
            bytes.append(reinterpret_cast<const char *>(record.data()), int(record.size()));
    for (const std::string &name : state.names)
        bytes.append(name.c_str()).append('\0');
    return bytes.append(QByteArray::number(state.saveCount));
}

} // namespace

// The command line over the simulated desk, run in this process.
class TestCli : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimulatedDesk> m_desk;

    Outcome run(const QStringList &arguments)
    {
        Outcome outcome;
        QTextStream out(&outcome.out);
        QTextStream err(&outcome.err);
        CliBackend backend;
        backend.makePlatform = [] { return std::make_unique<VirtualDevicePlatform>(); };
        backend.lockPath = m_dir->filePath("window.lock");
        backend.replyDelayMs = 1;
        outcome.code = RunCli(arguments, out, err, backend);
        return outcome;
    }

    QString path(const QString &name) const { return m_dir->filePath(name); }

    // An exported profile of the wired controller as a JSON object.
    QJsonObject exported(int profile)
    {
        const Outcome outcome =
            run({"export", "--profile", QString::number(profile), path("exported.json")});
        if (outcome.code != 0)
            qWarning("%s", qPrintable(outcome.err));
        return QJsonDocument::fromJson(ReadAll(path("exported.json"))).object();
    }

    static void verifyOneSentence(const QString &err)
    {
        QVERIFY2(err.endsWith(".\n") && err.count('\n') == 1, qPrintable(err));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_desk = std::make_unique<SimulatedDesk>();
    }
    void cleanup()
    {
        m_desk.reset();
        m_dir.reset();
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("profile 4") << QStringList{"show", "--profile", "4"};
        QTest::newRow("profile not a number") << QStringList{"show", "--profile", "x"};
        QTest::newRow("option of another command") << QStringList{"list", "--force"};
        QTest::newRow("export without file") << QStringList{"export"};
        QTest::newRow("convert two json") << QStringList{"convert", "a.json", "b.json"};
        QTest::newRow("one profile only") << QStringList{"show", "--device", "2", "--profile", "2"};
        QTest::newRow("option before command") << QStringList{"--json", "list"};
        QTest::newRow("option twice") << QStringList{"show", "--profile", "1", "--profile", "2"};
    }
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.code, CliExit::kUsage);
        QVERIFY(outcome.out.isEmpty());
        verifyOneSentence(outcome.err);
    }

    void listShowsDevicesAndProfiles()
    {
        const Outcome outcome = run({"list", "--json"});
        QCOMPARE(outcome.code, 0);
        const QJsonArray devices =
            QJsonDocument::fromJson(outcome.out.toUtf8()).object()["devices"].toArray();
        QCOMPARE(devices.size(), 2);
        const QJsonObject wired = devices[0].toObject();
        QCOMPARE(wired["model"].toString(), QString("Vexalon Pro"));
        QCOMPARE(wired["productId"].toString(), QString("400E"));
        QCOMPARE(wired["vendorId"].toString(), QString("35C7"));
        QCOMPARE(wired["link"].toString(), QString("USB"));
        QCOMPARE(wired["firmware"].toString(), QString("1.3.0"));
        const QJsonArray profiles = wired["profiles"].toArray();
        QCOMPARE(profiles.size(), 3);
        QCOMPARE(profiles[1].toObject()["name"].toString(), QString("Racing"));
        QCOMPARE(profiles[0].toObject()["active"].toBool(), true);
        QCOMPARE(profiles[2].toObject()["active"].toBool(), false);
        const QJsonObject dongle = devices[1].toObject();
        QCOMPARE(dongle["link"].toString(), QString("2.4G"));
        QCOMPARE(dongle["profiles"].toArray().size(), 1);
    }

    void showDecodesSettings_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("line");
        QTest::newRow("turbo") << QStringList{"show", "--profile", "2"} << "turbo.A: yes";
        QTest::newRow("curve preset")
            << QStringList{"show", "--profile", "2"} << "sticks.left.curve: smooth";
        QTest::newRow("trigger level")
            << QStringList{"show", "--profile", "2"} << "triggers.right.levels.T1.end: 80";
        QTest::newRow("back button")
            << QStringList{"show", "--profile", "3"} << "backButtons.AGL1: X";
        QTest::newRow("colour") << QStringList{"show", "--profile", "3"}
                                << "lighting.1.colour: #ff0000";
        QTest::newRow("active by default")
            << QStringList{"show"} << "profile 1 \"Default\" (active)";
        QTest::newRow("dongle") << QStringList{"show", "--device", "2"} << "backButtons.AGR2: None";
    }
    void showDecodesSettings()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, line);
        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.code, 0);
        QVERIFY2(outcome.out.contains(line), qPrintable(outcome.out));
    }

    void showJsonLeavesOutWhatTheModelLacks()
    {
        const Outcome outcome = run({"show", "--device", "2", "--json"});
        QCOMPARE(outcome.code, 0);
        const QJsonObject document = QJsonDocument::fromJson(outcome.out.toUtf8()).object();
        const QJsonObject settings = document["settings"].toObject();
        QVERIFY(!settings.contains("lighting"));
        QVERIFY(!settings["backButtons"].toObject().contains("AGL3"));
        QCOMPARE(document["device"].toObject()["model"].toString(), QString("Vexalon Adv"));
        QCOMPARE(document["profile"].toObject()["number"].toInt(), 1);
    }

    void noSuchDevice()
    {
        const Outcome outcome = run({"show", "--device", "3"});
        QCOMPARE(outcome.code, CliExit::kNoDevice);
        verifyOneSentence(outcome.err);
    }

    void refusesWhileTheWindowHoldsTheDevices()
    {
        QCOMPARE(run({"export", path("in.json")}).code, 0);
        const QByteArray before = SavedBytes(m_desk->Wired());
        SingleInstanceGuard window(path("window.lock"));
        QVERIFY(window.TryAcquire());
        for (const QStringList &arguments :
             {QStringList{"list"}, QStringList{"import", path("in.json")}}) {
            const Outcome outcome = run(arguments);
            QCOMPARE(outcome.code, CliExit::kNoDevice);
            QVERIFY2(outcome.err.contains("window"), qPrintable(outcome.err));
            verifyOneSentence(outcome.err);
        }
        QCOMPARE(SavedBytes(m_desk->Wired()), before);
    }

    // Export, import into another profile, export again: the same file, and the imported
    // profile is the active one, as loading a file on the profiles page leaves it.
    void exportImportExportGivesTheSameFile_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("wired 2 into 3") << 1 << 2 << 3;
        QTest::newRow("wired 3 into 1") << 1 << 3 << 1;
        QTest::newRow("dongle") << 2 << 1 << 1;
    }
    void exportImportExportGivesTheSameFile()
    {
        QFETCH(int, device);
        QFETCH(int, from);
        QFETCH(int, to);
        const QString d = QString::number(device);
        QCOMPARE(
            run({"export", "--device", d, "--profile", QString::number(from), path("a.json")}).code,
            0);
        const Outcome imported =
            run({"import", path("a.json"), "--device", d, "--profile", QString::number(to)});
        QCOMPARE(imported.code, 0);
        QVERIFY2(imported.err.isEmpty(), qPrintable(imported.err));
        QCOMPARE(
            run({"export", "--device", d, "--profile", QString::number(to), path("b.json")}).code,
            0);
        QCOMPARE(ReadAll(path("b.json")), ReadAll(path("a.json")));
        if (device == 1)
            QCOMPARE(m_desk->Wired().firmware().state().activeProfile, to - 1);
    }

    // A document that sets only some settings leaves the rest as the controller holds them.
    void importKeepsWhatTheDocumentDoesNotSet()
    {
        QJsonObject document = exported(1);
        document["settings"] = QJsonObject{
            {"vibration", QJsonObject{{"leftMotor", 42}}},
        };
        WriteAll(path("vibration.json"), QJsonDocument(document).toJson());
        const auto before = m_desk->Wired().firmware().state().saved[0];
        QCOMPARE(run({"import", path("vibration.json"), "--profile", "1"}).code, 0);
        auto expected = before;
        expected[offsetof(PROFILE_INFO, motorVibrationL)] = 42;
        const auto after = m_desk->Wired().firmware().state().saved[0];
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(after.data()), int(after.size())),
                 QByteArray(reinterpret_cast<const char *>(expected.data()), int(expected.size())));
    }

    void refusalsExitFourAndWriteNothing_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("extra");
        QTest::newRow("newer version") << "version" << QStringList{};
        QTest::newRow("another model") << "model" << QStringList{};
        QTest::newRow("out of range") << "range" << QStringList{};
        QTest::newRow("unknown button") << "button" << QStringList{};
        QTest::newRow("truncated") << "truncated" << QStringList{};
        QTest::newRow("10 MB") << "huge" << QStringList{};
        QTest::newRow("another model, forced, bad value")
            << "model range" << QStringList{"--force"};
    }
    void refusalsExitFourAndWriteNothing()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, extra);
        QJsonObject document = exported(2);
        QJsonObject settings = document["settings"].toObject();
        if (change.contains("version"))
            document["version"] = 2;
        if (change.contains("model"))
            document["model"] =
                QJsonObject{{"vendorId", "35C7"}, {"productId", "4013"}, {"name", "Vexalon Adv"}};
        if (change.contains("range")) {
            QJsonObject vibration = settings["vibration"].toObject();
            vibration["leftMotor"] = 101;
            settings["vibration"] = vibration;
        }
        if (change.contains("button")) {
            QJsonObject buttons = settings["backButtons"].toObject();
            buttons["AGL1"] = "Turbo";
            settings["backButtons"] = buttons;
        }
        document["settings"] = settings;
        QByteArray bytes = QJsonDocument(document).toJson();
        if (change == "truncated")
            bytes.chop(bytes.size() / 3);
        if (change == "huge")
            bytes.append(QByteArray(10 * 1024 * 1024, ' '));
        WriteAll(path("bad.json"), bytes);

        const QByteArray before = SavedBytes(m_desk->Wired());
        const Outcome outcome = run(QStringList{"import", path("bad.json")} + extra);
        QCOMPARE(outcome.code, CliExit::kBadFile);
        verifyOneSentence(outcome.err);
        QCOMPARE(SavedBytes(m_desk->Wired()), before);
    }

    // Another model's profile goes in with --force; what the target lacks is named and
    // left as the controller holds it.
    void forcedImportNamesWhatIsLeftOut()
    {
        QJsonObject document = exported(3);
        const auto before = m_desk->Dongle().firmware().state().saved[0];
        WriteAll(path("wired.json"), QJsonDocument(document).toJson());
        Outcome outcome = run({"import", path("wired.json"), "--device", "2"});
        QCOMPARE(outcome.code, CliExit::kBadFile);
        QVERIFY2(outcome.err.contains("--force"), qPrintable(outcome.err));
        outcome = run({"import", path("wired.json"), "--device", "2", "--force"});
        QCOMPARE(outcome.code, 0);
        QVERIFY2(outcome.err.startsWith("Warning: ") &&
                     outcome.err.contains("AGL3 and AGR3 or lighting"),
                 qPrintable(outcome.err));
        const auto after = m_desk->Dongle().firmware().state().saved[0];
        const int lights = offsetof(PROFILE_INFO, lightAreas);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(after.data()) + lights, 24),
                 QByteArray(reinterpret_cast<const char *>(before.data()) + lights, 24));
        QCOMPARE(after[14], uint8_t(22)); // AGL1 acts as X, as in the document
    }

    void importNotConfirmedExitsThree_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("section");
        QTest::newRow("turbo dropped") << 0xB8 << "turbo";
        QTest::newRow("vibration dropped") << 0xA9 << "vibration";
    }
    void importNotConfirmedExitsThree()
    {
        QFETCH(int, code);
        QFETCH(QString, section);
        QJsonObject document = exported(2);
        QJsonObject settings = document["settings"].toObject();
        settings["turbo"] = QJsonObject{{"B", true}};
        settings["vibration"] = QJsonObject{{"rightMotor", 7}};
        document["settings"] = settings;
        WriteAll(path("in.json"), QJsonDocument(document).toJson());
        m_desk->Wired().firmware().dropNextWrite(uint8_t(code));
        const Outcome outcome = run({"import", path("in.json"), "--profile", "2"});
        QCOMPARE(outcome.code, CliExit::kNotConfirmed);
        QVERIFY2(outcome.err.contains(section), qPrintable(outcome.err));
        verifyOneSentence(outcome.err);
    }

    void convertRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("record");
        auto bytes = [](const PROFILE_INFO &r) {
            return QByteArray(reinterpret_cast<const char *>(r.bytes()), PROFILE_INFO::kSize);
        };
        for (const QString &name : ProfileFiles::ReservedNames())
            QTest::newRow(qPrintable(name)) << bytes(ProfileFiles::ReservedRecord(name));
        PROFILE_INFO edited = ProfileFiles::NewProfileRecord();
        for (int i = 0; i < 14; ++i)
            edited.buttonMap[i] = uint8_t(200 + i); // bytes the app never interprets
        edited.statusByte = 0xEE;
        edited.currentProfile = 2;
        edited.stickCurveSide = 1;
        edited.triggerLockL = 2;
        edited.lightAreas[1] = 2;
        QTest::newRow("edited") << bytes(edited);
    }
    void convertRoundTrip()
    {
        QFETCH(QByteArray, record);
        PROFILE_INFO r;
        std::memcpy(r.bytes(), record.constData(), PROFILE_INFO::kSize);
        const QByteArray qpf = ProfileFiles::Encode(r);
        WriteAll(path("My Set.qpf"), qpf);
        QCOMPARE(run({"convert", path("My Set.qpf"), path("my.json")}).code, 0);
        QCOMPARE(QJsonDocument::fromJson(ReadAll(path("my.json"))).object()["name"].toString(),
                 QString("My Set"));
        QCOMPARE(run({"convert", path("my.json"), path("back.qpf")}).code, 0);
        QCOMPARE(ReadAll(path("back.qpf")), qpf);
    }

    void convertRefusesAShortFileAndWritesNothing()
    {
        WriteAll(path("short.qpf"), QByteArray(89, '\0'));
        const Outcome outcome = run({"convert", path("short.qpf"), path("out.json")});
        QCOMPARE(outcome.code, CliExit::kBadFile);
        verifyOneSentence(outcome.err);
        QVERIFY(!QFile::exists(path("out.json")));
    }

    // The installed program hands --simulate to the simulated desk beside it, which keeps
    // what an import wrote for the next run.
    void simulateRunsTheSimulatedDesk()
    {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ORADESK_SIM_STATE", path("desk.json"));
        cli.setProcessEnvironment(environment);
        auto runCli = [&cli](const QStringList &arguments) {
            cli.start(ORADESK_CLI_PATH, arguments);
            return cli.waitForFinished(120000) ? cli.exitCode() : -1;
        };
        QCOMPARE(runCli({"--simulate", "export", "--profile", "2", path("racing.json")}), 0);
        QCOMPARE(runCli({"import", path("racing.json"), "--profile", "1", "--simulate"}), 0);
        QCOMPARE(runCli({"--simulate", "list"}), 0);
        const QString listing = QString::fromUtf8(cli.readAllStandardOutput());
        QVERIFY2(listing.contains("profile 1 \"Racing\" (active)"), qPrintable(listing));
        QCOMPARE(runCli({"--help"}), 0);
        QVERIFY(cli.readAllStandardOutput().contains("4  bad file"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
