#include "device/hidconfig.h"
#include "device/readback.h"
#include "protocol/controllerscommunication.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include "loopthread.h"
#include "signalcounter.h"
#include <algorithm>
#include <mutex>
#include <random>

namespace {

QByteArray recordBytes(const PROFILE_INFO &record)
{
    return QByteArray(reinterpret_cast<const char *>(record.bytes()), PROFILE_INFO::kSize);
}

// The device's record with the bytes the read-back does not read zeroed: status byte,
// current profile and curve side.
QByteArray readableBytes(const ctrlsim::DeviceState::Record &record)
{
    QByteArray bytes(reinterpret_cast<const char *>(record.data()), int(record.size()));
    bytes[21] = bytes[22] = bytes[31] = 0;
    return bytes;
}

QByteArray readBytes(const PROFILE_INFO &record)
{
    QByteArray bytes = recordBytes(record);
    bytes[21] = bytes[22] = bytes[31] = 0;
    return bytes;
}

std::vector<uint8_t> reply(uint8_t code, std::initializer_list<std::pair<int, int>> bytes)
{
    std::vector<uint8_t> r(64, 0);
    r[0] = 0xE1;
    r[2] = 0x01;
    r[3] = 0x3C;
    r[4] = code;
    for (const auto &b : bytes)
        r[size_t(b.first)] = uint8_t(b.second);
    return r;
}

void silence(QtMsgType, const QMessageLogContext &, const QString &) {}

std::mutex g_logLock;
QStringList g_log;

void keepLog(QtMsgType, const QMessageLogContext &, const QString &text)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    g_log.append(text);
}

bool logged(const QString &prefix)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    return !g_log.filter(prefix).isEmpty();
}

// Writes without the protocol's pauses, so that a stress run takes seconds.
class FastCommunication : public ControllersCommunication
{
protected:
    void Pause(int) override {}
};

} // namespace

class TestReadBack : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<HidConfig> m_config;
    std::unique_ptr<LoopThread<HidConfig>> m_loop;
    std::unique_ptr<ctrlsim::SimulatedController> m_device;

    void connectDevice(uint16_t pid, bool fileProfile, bool noTriggerLevels,
                       ctrlsim::DeviceState state)
    {
        m_device = ctrlsim::SimulatedController::plug(pid, state);
        QVERIFY(m_config->OpenSlot(0, QString::fromStdString(m_device->path())));
        m_config->m_fileProfileModel = fileProfile;
        m_config->m_noTriggerLevels = noTriggerLevels;
        m_config->SetReading(true);
    }

    QVector<int> sentCodes() const
    {
        QVector<int> codes;
        for (const auto &f : m_device->firmware().frames())
            codes.append(f[4]);
        return codes;
    }

private slots:
    void init()
    {
        m_config = std::make_unique<HidConfig>();
        m_loop = std::make_unique<LoopThread<HidConfig>>(*m_config);
    }

    void cleanup()
    {
        QVERIFY(m_loop->stop());
        m_loop.reset();
        m_config.reset();
        m_device.reset();
        vhid::Bus::instance().reset();
    }

    void plainModelReadsEverySection_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<bool>("noTriggerLevels");
        QTest::newRow("with trigger levels") << 0x400C << false;
        QTest::newRow("one trigger level") << 0x4032 << true;
    }

    void plainModelReadsEverySection()
    {
        QFETCH(int, pid);
        QFETCH(bool, noTriggerLevels);
        auto state = ctrlsim::DeviceState::sane(uint16_t(pid));
        connectDevice(uint16_t(pid), false, noTriggerLevels, state);
        SignalCounter finished(m_config.get(), &HidConfig::ReadFinished);
        m_config->SelectSlot(0);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        // Lighting and names are still read after the finish.
        QTRY_VERIFY_WITH_TIMEOUT(!sentCodes().isEmpty() && sentCodes().last() == 0xC1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_config->Profiles().Name(0), QStringLiteral("Profile 1"), 20000);

        QByteArray expected = readableBytes(state.profiles[0]);
        if (noTriggerLevels) {
            // Levels T2 and T3 are never asked for.
            for (int offset : {51, 52, 54, 55, 57, 58, 60, 61})
                expected[offset] = 0;
        }
        QCOMPARE(readBytes(m_config->Profiles().Record(0)), expected);
        QCOMPARE(m_config->Profiles().ActiveIndex(), 0);
        const auto codes = sentCodes();
        QCOMPARE(codes.count(0xB5), noTriggerLevels ? 1 : 3);
        QCOMPARE(codes.count(0xAE), 16);
        QCOMPARE(codes.count(0xB1), 0);
        QVERIFY(m_config->Reader().m_readDone.load());
    }

    // The read leaves the controller on the profile the player had chosen.
    void fileProfileModelReadsAllThreeProfiles_data()
    {
        QTest::addColumn<int>("active");
        QTest::newRow("profile 1 active") << 0;
        QTest::newRow("profile 3 active") << 2;
    }
    void fileProfileModelReadsAllThreeProfiles()
    {
        QFETCH(int, active);
        auto state = ctrlsim::DeviceState::sane(0x400E);
        state.activeProfile = active;
        connectDevice(0x400E, true, false, state);
        SignalCounter finished(m_config.get(), &HidConfig::ReadFinished);
        SignalCounter current(m_config.get(), &HidConfig::CurrentProfile);
        SignalCounter names(m_config.get(), &HidConfig::profileChanges);
        m_config->SelectSlot(0);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        // Then the active profile is selected again and reported.
        QTRY_COMPARE_WITH_TIMEOUT(current.count(), 1, 20000);

        for (int p = 0; p < 3; ++p) {
            QCOMPARE(readBytes(m_config->Profiles().Record(p)),
                     readableBytes(state.profiles[size_t(p)]));
            QCOMPARE(m_config->Profiles().Name(p), QString::fromStdString(state.names[size_t(p)]));
        }
        QCOMPARE(names.count(), 3);
        const auto codes = sentCodes();
        QCOMPARE(codes.count(0xB1), 4);
        QCOMPARE(codes.last(), 0xB2);
        QCOMPARE(m_device->firmware().state().activeProfile, active);
        QCOMPARE(m_config->Profiles().DeviceProfile(), active);
        QCOMPARE(m_config->Profiles().ActiveIndex(), active);
        QCOMPARE(current.count(), 1);
    }

    void lostReplyIsSentAgain()
    {
        auto state = ctrlsim::DeviceState::sane(0x400C);
        connectDevice(0x400C, false, false, state);
        m_device->firmware().dropNextReplies(1);
        SignalCounter finished(m_config.get(), &HidConfig::ReadFinished);
        QTest::ignoreMessage(QtDebugMsg, "time out");
        m_config->SelectSlot(0);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QCOMPARE(sentCodes().mid(0, 2), (QVector<int>{0xA2, 0xA2}));
        QTRY_COMPARE_WITH_TIMEOUT(m_config->Profiles().Name(0), QStringLiteral("Profile 1"), 20000);
        QCOMPARE(readBytes(m_config->Profiles().Record(0)), readableBytes(state.profiles[0]));
    }

    // A page reads the two curve halves on its own after the chain: each reply lands in
    // the half it was asked for, whatever half the chain read last.
    void pageCurveReadsLandInTheirHalves()
    {
        auto state = ctrlsim::DeviceState::sane(0x400C);
        connectDevice(0x400C, false, false, state);
        SignalCounter finished(m_config.get(), &HidConfig::ReadFinished);
        m_config->SelectSlot(0);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_config->Profiles().Name(0), QStringLiteral("Profile 1"), 20000);
        QCOMPARE(m_config->Reader().m_curveHalf.load(), uint8_t(1));

        for (int i = 0; i < 8; ++i) {
            state.profiles[0][size_t(32 + i)] = uint8_t(10 + i);
            state.profiles[0][size_t(40 + i)] = uint8_t(50 + i);
        }
        m_device->firmware().setState(state);
        ControllersCommunication &com = *m_config->GetControllerComHandle();
        QVERIFY(com.GetStickCurve(0));
        QVERIFY(com.GetStickCurve(1));
        QTRY_COMPARE_WITH_TIMEOUT(readBytes(m_config->Profiles().Record(0)).mid(32, 16),
                                  readableBytes(state.profiles[0]).mid(32, 16), 5000);
    }

    void deviceInformation_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("patch");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("1.30.0") << 1 << 30 << 0 << "1.30.0" << 1300;
        QTest::newRow("1.3.0") << 1 << 3 << 0 << "1.3.0" << 130;
        QTest::newRow("2.0.5") << 2 << 0 << 5 << "2.0.5" << 205;
    }

    void deviceInformation()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, patch);
        QFETCH(QString, text);
        QFETCH(int, number);
        ReadBack &reader = m_config->Reader();
        reader.m_replyDelay = 0;
        m_config->SetVersionQuery(true);
        QSignalSpy info(m_config.get(), &HidConfig::UpdateInfo);
        const auto r = reply(0xFA, {{14, 0xC7},
                                    {15, 0x35},
                                    {16, 0x0E},
                                    {17, 0x40},
                                    {19, major},
                                    {20, minor},
                                    {21, patch},
                                    {22, 9},
                                    {23, 8},
                                    {24, 7}});
        reader.ParseReply(r.data(), int(r.size()));
        const HidConfig::DeviceVersion version = m_config->LastDeviceVersion();
        QCOMPARE(version.versionA, text);
        QCOMPARE(version.number, number);
        QCOMPARE(version.versionB, QStringLiteral("9.8.7"));
        QCOMPARE(version.vid, uint16_t(0x35C7));
        QCOMPARE(version.pid, uint16_t(0x400E));
        QCOMPARE(info.count(), 1);
    }

    // Reply bytes come from the device; indices in them never reach outside the record.
    void untrustedRepliesAreBounded_data()
    {
        QTest::addColumn<QByteArray>("report");
        auto bytes = [](std::vector<uint8_t> v) {
            return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
        };
        QTest::newRow("light zone 4")
            << bytes(reply(0xAE, {{5, 3}, {6, 4}, {7, 1}, {8, 2}, {9, 3}}));
        QTest::newRow("light item 7") << bytes(reply(0xAE, {{5, 7}, {6, 3}, {7, 1}}));
        QTest::newRow("trigger level 3") << bytes(reply(0xB5, {{6, 3}, {7, 0}, {8, 1}}));
        QTest::newRow("trigger level 255") << bytes(reply(0xB5, {{6, 0}, {7, 255}, {10, 1}}));
        QTest::newRow("name of profile 3") << bytes(reply(0xC1, {{5, 3}, {6, 2}, {7, 'a'}}));
        auto shortCurve = reply(0xBB, {{5, 1}});
        shortCurve.resize(10);
        QTest::newRow("truncated curve") << bytes(shortCurve);
        auto shortButtons = reply(0xA2, {{5, 1}});
        shortButtons.resize(20);
        QTest::newRow("truncated mapping") << bytes(shortButtons);
    }

    void untrustedRepliesAreBounded()
    {
        QFETCH(QByteArray, report);
        m_config->Reader().m_replyDelay = 0;
        const QByteArray before = recordBytes(m_config->Profiles().Record(0));
        const QByteArray current = recordBytes(m_config->Profiles().Current());
        const auto previous = qInstallMessageHandler(silence);
        m_config->Reader().ParseReply(reinterpret_cast<const uint8_t *>(report.constData()),
                                      report.size());
        qInstallMessageHandler(previous);
        QCOMPARE(recordBytes(m_config->Profiles().Record(0)), before);
        QCOMPARE(recordBytes(m_config->Profiles().Current()), current);
        QCOMPARE(m_config->Profiles().Name(0), QString());
    }

    void nameLengthIsClampedToTheReport()
    {
        m_config->Reader().m_replyDelay = 0;
        auto r = reply(0xC1, {{5, 1}, {6, 200}, {7, 'X'}});
        r.resize(10);
        r[8] = 'Y';
        r[9] = 'Z';
        const auto previous = qInstallMessageHandler(silence);
        m_config->Reader().ParseReply(r.data(), int(r.size()));
        qInstallMessageHandler(previous);
        QCOMPARE(m_config->Profiles().Name(1), QStringLiteral("XYZ"));
    }

    void randomRepliesStayInTheActiveRecord()
    {
        ReadBack &reader = m_config->Reader();
        reader.m_replyDelay = 0;
        const QByteArray other1 = recordBytes(m_config->Profiles().Record(1));
        const QByteArray other2 = recordBytes(m_config->Profiles().Record(2));
        std::mt19937 random(1234);
        const uint8_t codes[] = {0xA2, 0xB9, 0xA8, 0xA6, 0xBB, 0xB5, 0xB7, 0xAA,
                                 0xAE, 0xC1, 0xB1, 0xB2, 0xB3, 0xFA, 0x00, 0xFF};
        const auto previous = qInstallMessageHandler(silence);
        for (int i = 0; i < 20000; ++i) {
            std::vector<uint8_t> r(size_t(5 + random() % 60));
            for (auto &b : r)
                b = uint8_t(random());
            r[0] = 0xE1;
            r[1] = 0x00;
            r[3] = 0x3C;
            r[4] = codes[random() % std::size(codes)];
            reader.m_curveHalf = uint8_t(random() % 2);
            reader.ParseReply(r.data(), int(r.size()));
            m_config->Profiles().SetActiveIndex(0);
        }
        qInstallMessageHandler(previous);
        QCOMPARE(recordBytes(m_config->Profiles().Record(1)), other1);
        QCOMPARE(recordBytes(m_config->Profiles().Record(2)), other2);
    }

    // Another controller answering while the first is configured: its reply must not land
    // in the configured device's records.
    void replyFromAnotherDeviceChangesNothing()
    {
        auto state = ctrlsim::DeviceState::sane(0x400C);
        connectDevice(0x400C, false, false, state);
        auto other = ctrlsim::SimulatedController::plug(0x400C, ctrlsim::DeviceState::sane(0x400C));
        QVERIFY(m_config->OpenSlot(1, QString::fromStdString(other->path())));
        SignalCounter finished(m_config.get(), &HidConfig::ReadFinished);
        m_config->SelectSlot(0);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_config->Profiles().Name(0), QStringLiteral("Profile 1"), 20000);
        const QByteArray before = recordBytes(m_config->Profiles().Record(0));
        const QByteArray current = recordBytes(m_config->Profiles().Current());

        const auto previous = qInstallMessageHandler(keepLog);
        std::vector<uint8_t> mapping = reply(0xA2, {});
        std::fill(mapping.begin() + 5, mapping.begin() + 25, uint8_t(0x77));
        other->node().pushInput(mapping);
        other->node().pushInput(reply(0xB9, {{5, 0x55}}));
        QTRY_VERIFY_WITH_TIMEOUT(logged(QStringLiteral("reply from another device ignored")), 5000);
        QTest::qWait(100);
        qInstallMessageHandler(previous);
        QCOMPARE(recordBytes(m_config->Profiles().Record(0)), before);
        QCOMPARE(recordBytes(m_config->Profiles().Current()), current);
    }

    // The user switches the profile while the read-back runs: replies already on their way
    // belong to the profile they were read from, so no record ever holds another's bytes.
    void profileSwitchesDuringReadBackNeverMixRecords()
    {
        const auto state = ctrlsim::DeviceState::sane(0x400E);
        connectDevice(0x400E, true, false, state);
        m_device->firmware().setReplyDelay(std::chrono::milliseconds(3));
        m_config->Reader().m_replyDelay = 2;
        m_config->SelectSlot(0);
        std::mt19937 random(77);
        for (int i = 0; i < 40; ++i) {
            QTest::qWait(int(5 + random() % 40));
            m_config->RequestStep(49 + int(random() % 3));
        }
        // Let the last switch and its reads settle.
        QTest::qWait(1500);
        m_config->Reader().Stop();
        QTest::qWait(300);

        int matched = 0;
        QStringList mixed;
        for (int p = 0; p < 3; ++p) {
            const PROFILE_INFO record = m_config->Profiles().Record(p);
            for (int offset = 0; offset < PROFILE_INFO::kSize; ++offset) {
                // Status, current profile, curve side and the trigger-lock levels are not
                // profile bytes the device reports back as they are stored.
                if (offset == 21 || offset == 22 || offset == 31 || offset == 48 || offset == 49)
                    continue;
                const uint8_t got = record.bytes()[offset];
                if (got == 0)
                    continue;
                const auto &own = state.profiles[size_t(p)];
                // A curve reply does not say which half it is: with two chains running
                // either half may land in either place, but always the same profile's.
                const bool curve = offset >= 32 && offset < 48;
                if (got == own[size_t(offset)] ||
                    (curve &&
                     std::find(own.begin() + 32, own.begin() + 48, got) != own.begin() + 48))
                    ++matched;
                else
                    mixed << QStringLiteral("profile %1 byte %2: %3 (%4 %5 %6)")
                                 .arg(p)
                                 .arg(offset)
                                 .arg(got)
                                 .arg(state.profiles[0][size_t(offset)])
                                 .arg(state.profiles[1][size_t(offset)])
                                 .arg(state.profiles[2][size_t(offset)]);
            }
        }
        QVERIFY2(mixed.isEmpty(), qPrintable(mixed.join(QStringLiteral(", "))));
        QVERIFY(matched > 60); // the switches did not simply stop every read
    }

    // A page saving on the GUI thread while the poll's replies are stored on the read
    // thread, thousands of times; the sanitizers watch every access to the records.
    void pollRepliesWhileSaving()
    {
        m_config->UseControllersCommunication(std::make_unique<FastCommunication>());
        const auto state = ctrlsim::DeviceState::sane(0x400C);
        connectDevice(0x400C, false, false, state);
        m_config->Reader().m_replyDelay = 0;
        m_config->SelectWriteSlot(0);
        ControllersCommunication &com = *m_config->GetControllerComHandle();
        const auto previous = qInstallMessageHandler(silence);
        for (int i = 0; i < 3000; ++i) {
            com.GetButtonMapping();
            const PROFILE_INFO edited = m_config->Profiles().EditActive([i](PROFILE_INFO &record) {
                record.buttonMap[0] = uint8_t(1 + i % 200);
                record.turboMask = uint8_t(i);
            });
            QVERIFY(com.WriteThenSave({[&] { return com.SetButtonMapping(edited); },
                                       [&] { return com.SetTurbo(edited); }}));
            if (i % 100 == 0)
                QCoreApplication::processEvents();
        }
        qInstallMessageHandler(previous);
        // Once quiet, one more read brings the record to what the device holds.
        QTest::qWait(200);
        com.GetButtonMapping();
        QTRY_COMPARE_WITH_TIMEOUT(m_config->Profiles().Active().buttonMap[0],
                                  m_device->firmware().state().active()[0], 5000);
        QCOMPARE(m_device->firmware().state().saveCount, 3000);
        QCOMPARE(m_device->firmware().state().active()[0], uint8_t(1 + 2999 % 200));
    }
};

QTEST_MAIN(TestReadBack)
#include "tst_readback.moc"
