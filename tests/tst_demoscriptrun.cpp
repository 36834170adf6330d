#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The demo run from a script: each row is a script, the exit code it must end with, lines
// its output must hold and lines it must not, and whether it leaves out.json and out.png
// (written by its `state` and `screenshot` steps) to be checked.
class TestDemoScriptRun : public QObject
{
    Q_OBJECT

private:
    // The way from start to a page of the wired controller: the agreement notice, the
    // device list, the first device (a firmware update it is offered is skipped with X;
    // without an offer nothing listens to X there) and the module selection once the
    // configuration has been read, then the page's module button.
    static QString ToPage(const QString &button, const QString &page)
    {
        return QStringLiteral("waitfor btnNext 30000      # the agreement notice\n"
                              "key x                      # accepts it\n"
                              "waitfor listDevices 30000  # the device list\n"
                              "key a                      # chooses the wired controller\n"
                              "key x\n"
                              "waitfor ModuleSelection 30000\n"
                              "waitgone wdgLoading 30000\n"
                              "click %1\n"
                              "waitfor %2 30000\n"
                              "wait 300\n")
            .arg(button, page);
    }

    static QString ToMappingPage() { return ToPage("btnMapping", "MappingPage"); }

    // Private directories for everything the demo keeps, so that it neither meets nor
    // blocks a copy of the app that runs meanwhile.
    static QProcessEnvironment Isolated(const QString &root)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *dir : {"run", "tmp", "home", "config", "cache", "data"})
            QDir(root).mkpath(QLatin1String(dir));
        QFile::setPermissions(root + "/run",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", root + "/run");
        env.insert("TMPDIR", root + "/tmp");
        env.insert("HOME", root + "/home");
        env.insert("XDG_CONFIG_HOME", root + "/config");
        env.insert("XDG_CACHE_HOME", root + "/cache");
        env.insert("XDG_DATA_HOME", root + "/data");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("LC_ALL", "en_US.UTF-8");
        env.insert("LANG", "en_US.UTF-8");
        env.remove("ORADESK_DEMO_SCREENSHOT");
        env.remove("ORADESK_DEMO_BENCH");
        env.remove("ORADESK_DEMO_RECOVERY");
        return env;
    }

    static void CheckRecords(const QJsonValue &value, const char *field)
    {
        const QJsonArray records = value.toArray();
        QVERIFY2(records.size() == 3, field);
        for (const QJsonValue &record : records) {
            QVERIFY2(record.toArray().size() == 90, field);
            for (const QJsonValue &byte : record.toArray())
                QVERIFY2(byte.isDouble() && byte.toInt() >= 0 && byte.toInt() <= 255, field);
        }
    }

    // The documented fields of one device in normal mode; returns its frames' command codes.
    static void CheckDevice(const QJsonObject &device, int pid, QList<int> &codes)
    {
        QCOMPARE(device["vid"].toInt(), 0x35C7);
        QCOMPARE(device["pid"].toInt(), pid);
        QCOMPARE(device["mode"].toString(), QStringLiteral("normal"));
        const int active = device["activeProfile"].toInt(-1);
        QVERIFY(active >= 0 && active <= 2);
        CheckRecords(device["profiles"], "profiles");
        CheckRecords(device["saved"], "saved");
        const QJsonArray names = device["names"].toArray();
        QCOMPARE(names.size(), 3);
        for (const QJsonValue &name : names)
            QVERIFY(name.isString());
        QVERIFY(device["saveCount"].isDouble());
        QVERIFY(device["resetCount"].isDouble());
        QVERIFY(device["calibrating"].isBool());
        QCOMPARE(device["lastVibrationTest"].toArray().size(), 2);
        QVERIFY(device["frames"].isArray());
        for (const QJsonValue &frame : device["frames"].toArray()) {
            const QString hex = frame.toString();
            QCOMPARE(hex.size(), 128);
            QCOMPARE(hex, hex.toLower());
            QVERIFY2(hex.startsWith("e100013c"), qPrintable(hex));
            codes.append(QByteArray::fromHex(hex.toLatin1()).at(4) & 0xFF);
        }
    }

private slots:
    void script_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("output");
        QTest::addColumn<QStringList>("notInOutput");
        QTest::addColumn<bool>("writesFiles");
        // Command codes the wired controller must have received, in any order.
        QTest::addColumn<QList<int>>("wiredCodes");
        // Fields of the wired controller's state and the values they must have; a key
        // "saved N" or "profiles N" is byte N of the active profile's committed or live
        // record, and a key with a dot the lines of the file of that name the script wrote.
        QTest::addColumn<QVariantMap>("wiredFields");

        QTest::newRow("mapping page of the wired controller")
            << ToMappingPage() + "state out.json\nscreenshot out.png\nquit\nwait 60000\n"
            << 0
            << QStringList{"demo step 1 (line 1): waitfor btnNext 30000",
                           "demo click btnMapping: received by QToolButton btnMapping",
                           "demo step 13 (line 13): quit"}
            << QStringList{"demo step 14", "demo script failed"} << true
            << QList<int>{0xA2} // the button mapping read back
            // Choosing a device and opening a page changes nothing on it.
            << QVariantMap{{"saveCount", 0}, {"resetCount", 0}, {"calibrating", false}};
        // A save end to end: a dead zone edited with the D-pad, an axis inverted with the
        // mouse, X saves; the controller receives the stick section and commits it once.
        QTest::newRow("stick page save")
            << ToPage("btnStick", "StickPage") + "key right\nkey a\nkey right\nkey right\nkey a\n"
                                                 "click btnReverseLX\nkey x\nwait 500\n"
                                                 "state out.json\nscreenshot out.png\nquit\n"
            << 0
            << QStringList{"demo click btnReverseLX: received by QPushButton btnReverseLX",
                           "demo step 21 (line 21): quit"}
            << QStringList{"demo script failed"} << true << QList<int>{0xBA, 0xA7, 0xA5, 0xFB}
            << QVariantMap{{"saveCount", 1}, {"resetCount", 0}};
        // A remap end to end: the D-pad to AGR1, A arms the wait, LB is the assignment and
        // X saves; the controller receives the mapping table and commits it once.
        QTest::newRow("mapping page remap")
            << ToMappingPage() + "key right\nkey a\nwait 400\nkey lb\nwait 100\nkey x\nwait 500\n"
                                 "state out.json\nscreenshot out.png\nquit\n"
            << 0 << QStringList{"demo step 20 (line 20): quit"} << QStringList{"demo script failed"}
            << true << QList<int>{0xA1, 0xFB} << QVariantMap{{"saveCount", 1}, {"resetCount", 0}};
        QTest::newRow("turbo page change")
            << ToPage("btnTurbo", "TureboPage") + "key right\nkey a\nkey x\nwait 500\n"
                                                  "state out.json\nscreenshot out.png\nquit\n"
            << 0 << QStringList{"demo step 17 (line 17): quit"} << QStringList{"demo script failed"}
            << true << QList<int>{0xB8, 0xFB} << QVariantMap{{"saveCount", 1}, {"resetCount", 0}};
        // Trigger and vibration saves end to end: X on the page sends its section and
        // commits it once.
        QTest::newRow("trigger page save")
            << ToPage("btnTrigger", "TriggerPage") +
                   "key x\nwait 500\nstate out.json\nscreenshot out.png\nquit\n"
            << 0 << QStringList{"demo step 15 (line 15): quit"} << QStringList{"demo script failed"}
            << true << QList<int>{0xB4, 0xFB} << QVariantMap{{"saveCount", 1}, {"resetCount", 0}};
        QTest::newRow("vibration page save")
            << ToPage("btnVibrate", "VibratePage") +
                   "key x\nwait 500\nstate out.json\nscreenshot out.png\nquit\n"
            << 0 << QStringList{"demo step 15 (line 15): quit"} << QStringList{"demo script failed"}
            << true << QList<int>{0xA9, 0xFB} << QVariantMap{{"saveCount", 1}, {"resetCount", 0}};
        // Zone 2 with the mouse (swatch 3, the handle dragged from 73 % to 56 %), its mode
        // with the controller (the list opened with A, Down, A), then X: the record the
        // controller committed holds exactly that zone.
        QTest::newRow("lighting page change")
            << ToPage("btnLight", "LightPage") +
                   "click btnArea_2\nclick btnColor_3\ndrag lblLight -60 0\n"
                   "key right\nkey down\nkey right\nkey right\nkey right\nkey right\n"
                   "key right\nkey right\nkey a\nkey down\nkey a\nwait 300\nkey x\nwait 500\n"
                   "state out.json\nscreenshot out.png\nquit\n"
            << 0 << QStringList{"demo step 30 (line 30): quit"} << QStringList{"demo script failed"}
            << true << QList<int>{0xAD, 0xFB}
            << QVariantMap{{"saveCount", 1},  {"saved 72", 56},  {"saved 74", 1},
                           {"saved 75", 255}, {"saved 76", 127}, {"saved 77", 80}};
        // The test page with the controller alone: A and the left trigger run the left
        // motor until A is let go; A with the left stick held left raises its inner dead
        // zone live; leaving the page gives the controller its own dead zones back.
        QTest::newRow("test page motors and live dead zone")
            << ToPage("btnCalibTest", "TestPage") +
                   "hold a\ntrigger 1023 0\nwait 300\nrelease a\ntrigger 0 0\nwait 300\n"
                   "hold a\nstick 0 32768 32768 32768\nwait 1600\nscreenshot out.png\n"
                   "release a\nstick 32768 32768 32768 32768\nclick btnMapping_2\n"
                   "waitfor MappingPage\nwait 300\nstate out.json\nquit\n"
            << 0 << QStringList{"demo step 27 (line 27): quit"} << QStringList{"demo script failed"}
            << true << QList<int>{0xBD, 0xA5}
            << QVariantMap{{"lastVibrationTest", QVariantList{0, 0}},
                           {"profiles 27", 28},
                           {"saveCount", 0}};
        // A save the controller drops fails with its notice; once the fault is cleared
        // the same save goes through and is confirmed.
        QTest::newRow("turbo save not taken, then taken")
            << ToPage("btnTurbo", "TureboPage") +
                   "fault drop-write b8\nkey right\nkey a\nkey x\nwait 1500\n"
                   "text lblSaveSuccessText failed.txt\nfault clear\nkey x\nwait 1500\n"
                   "text lblSaveSuccessText saved.txt\nstate out.json\nscreenshot out.png\n"
                   "quit\n"
            << 0 << QStringList{"save not confirmed: turbo", "demo step 23 (line 23): quit"}
            << QStringList{"demo script failed"} << true << QList<int>{0xB8, 0xB9, 0xFB}
            << QVariantMap{
                   {"saveCount", 2},
                   {"failed.txt",
                    QStringList{"visible", "Save failed: the controller did not confirm the new "
                                           "settings"}},
                   {"saved.txt", QStringList{"visible", "Save Successfully"}}};
        QTest::newRow("unknown command stops before the first step")
            << "wait 10\n\n# next a typo\nkey a 20\njupm 3\nquit\n"
            << 1 << QStringList{"line 5 (jupm 3): unknown command \"jupm\""}
            << QStringList{"demo step"} << false << QList<int>{} << QVariantMap{};
        QTest::newRow("unknown button")
            << "key start\n"
            << 1 << QStringList{"line 1 (key start): unknown button"} << QStringList{"demo step"}
            << false << QList<int>{} << QVariantMap{};
        // The module buttons exist from the start, hidden until a device is chosen.
        QTest::newRow("click on a hidden widget")
            << "wait 10\n# no device chosen yet\nclick btnMapping\nquit\n"
            << 1
            << QStringList{"demo step 2 (line 3): click btnMapping",
                           "demo script failed at line 3 (click btnMapping): no visible widget "
                           "named \"btnMapping\""}
            << QStringList{"(line 4)"} << false << QList<int>{} << QVariantMap{};
        QTest::newRow("state file cannot be written")
            << "state no/such/dir/out.json\n"
            << 1
            << QStringList{"demo script failed at line 1 (state no/such/dir/out.json): cannot "
                           "write"}
            << QStringList{} << false << QList<int>{} << QVariantMap{};
    }

    void script()
    {
        QFETCH(QString, script);
        QFETCH(int, exitCode);
        QFETCH(QStringList, output);
        QFETCH(QStringList, notInOutput);
        QFETCH(bool, writesFiles);
        QFETCH(QList<int>, wiredCodes);
        QFETCH(QVariantMap, wiredFields);

        QTemporaryDir root;
        QVERIFY(root.isValid());
        QFile file(root.filePath("script.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(script.toUtf8());
        file.close();

        QProcess demo;
        QProcessEnvironment env = Isolated(root.path());
        env.insert("ORADESK_DEMO_SCRIPT", file.fileName());
        demo.setProcessEnvironment(env);
        demo.setWorkingDirectory(root.path()); // the script's relative paths
        demo.setProcessChannelMode(QProcess::MergedChannels);
        demo.start(ORADESK_DEMO_PATH, QStringList());
        QVERIFY2(demo.waitForStarted(10000), qPrintable(demo.errorString()));
        // An upper bound only: a script that cannot go on fails within its own timeouts.
        const bool finished = demo.waitForFinished(100000);
        const QString log = QString::fromUtf8(demo.readAll());
        if (!finished)
            demo.kill();
        QVERIFY2(finished, qPrintable(log));
        QCOMPARE(demo.exitStatus(), QProcess::NormalExit);
        QVERIFY2(demo.exitCode() == exitCode, qPrintable(log));
        for (const QString &line : output)
            QVERIFY2(log.contains(line), qPrintable(line + "\n---\n" + log));
        for (const QString &line : notInOutput)
            QVERIFY2(!log.contains(line), qPrintable(line + "\n---\n" + log));
        if (!writesFiles)
            return;

        QFile json(root.filePath("out.json"));
        QVERIFY(json.open(QIODevice::ReadOnly));
        QJsonParseError error;
        const QJsonDocument state = QJsonDocument::fromJson(json.readAll(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        const QJsonArray devices = state.array();
        QCOMPARE(devices.size(), 2);
        QList<int> codes;
        const QJsonObject wired = devices[0].toObject();
        CheckDevice(wired, 0x400E, codes);
        if (QTest::currentTestFailed())
            return;
        for (int code : wiredCodes)
            QVERIFY2(codes.contains(code), qPrintable(QString::number(code, 16)));
        const QJsonArray saved =
            wired["saved"].toArray().at(wired["activeProfile"].toInt()).toArray();
        for (auto it = wiredFields.cbegin(); it != wiredFields.cend(); ++it) {
            if (it.key().contains('.')) {
                QFile text(root.filePath(it.key()));
                QVERIFY2(text.open(QIODevice::ReadOnly), qPrintable(it.key()));
                QCOMPARE(QString::fromUtf8(text.readAll()).split('\n', Qt::SkipEmptyParts),
                         it.value().toStringList());
                continue;
            }
            const QStringList key = it.key().split(' ');
            const QJsonValue value = key.size() == 2 ? saved.at(key[1].toInt()) : wired[it.key()];
            QVERIFY2(value == QJsonValue::fromVariant(it.value()), qPrintable(it.key()));
        }
        QList<int> dongleCodes;
        CheckDevice(devices[1].toObject(), 0x4013, dongleCodes);
        if (QTest::currentTestFailed())
            return;
        // Never chosen, so never written to: frames of one device do not show in the other's.
        QVERIFY(dongleCodes.isEmpty());

        const QImage picture(root.filePath("out.png"));
        QVERIFY(!picture.isNull());
        QVERIFY(picture.width() >= 640 && picture.height() >= 360);
    }
};

QTEST_GUILESS_MAIN(TestDemoScriptRun)
#include "tst_demoscriptrun.moc"
