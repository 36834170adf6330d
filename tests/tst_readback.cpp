#include "device/hidconfig.h"
#include "device/readback.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include "loopthread.h"
#include "signalcounter.h"
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

    void fileProfileModelReadsAllThreeProfiles()
    {
        auto state = ctrlsim::DeviceState::sane(0x400E);
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
        QCOMPARE(m_device->firmware().state().activeProfile, m_config->Profiles().DeviceProfile());
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
};

QTEST_MAIN(TestReadBack)
#include "tst_readback.moc"
