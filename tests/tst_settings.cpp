#include "app/fileini.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp;

private slots:
    void initTestCase()
    {
        // The settings file lives in the temporary directory: point it at our own.
        QVERIFY(m_tmp.isValid());
        qputenv("TMPDIR", m_tmp.path().toLocal8Bit());
        QCOMPARE(FileINI::FilePath(), m_tmp.path() + "/Quorel_config.ini");
    }

    void init() { QFile::remove(FileINI::FilePath()); }

    void syncCodeIsOnOnlyForExactTrue_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("true") << "true" << true;
        QTest::newRow("false") << "false" << false;
        QTest::newRow("True") << "True" << false;
        QTest::newRow("TRUE") << "TRUE" << false;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("padded") << " true" << false;
        QTest::newRow("empty") << "" << false;
    }

    void syncCodeIsOnOnlyForExactTrue()
    {
        QFETCH(QString, stored);
        QFETCH(bool, on);
        FileINI writer;
        writer.write(FileINI::kSyncCodeKey, stored);
        FileINI reader;
        QCOMPARE(reader.SyncCode(), on);
    }

    void keysLandInOneGroup()
    {
        FileINI ini;
        ini.SetSyncCode(true);
        ini.SetUpdateDeviceCode(7);
        QFile file(FileINI::FilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.contains("[Quorel_Vexalon]"));
        QVERIFY(text.contains("SYNC_CODE=true"));
        QVERIFY(text.contains("UPDATE_DEVICE_CODE=7"));
    }

    void updateTypeIsValidatedOnRead_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("type");
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("5") << "5" << 5;
        QTest::newRow("23") << "23" << 23;
        QTest::newRow("24 out of range") << "24" << 0;
        QTest::newRow("negative") << "-1" << 0;
        QTest::newRow("huge") << "99999999999" << 0;
        QTest::newRow("text") << "abc" << 0;
        QTest::newRow("hex") << "0x5" << 0;
        QTest::newRow("empty") << "" << 0;
    }

    void updateTypeIsValidatedOnRead()
    {
        QFETCH(QString, stored);
        QFETCH(int, type);
        // Written through a plain QSettings, as the updater and a tamperer would.
        {
            QSettings raw(FileINI::FilePath(), QSettings::IniFormat);
            raw.setValue(FileINI::kUpdateDeviceCodeKey, stored);
        }
        FileINI ini;
        QCOMPARE(ini.UpdateDeviceCode(), type);
    }

    void writesAreSeenByOtherInstances()
    {
        FileINI first;
        FileINI second;
        first.SetSyncCode(true);
        QVERIFY(second.SyncCode());
        second.SetSyncCode(false);
        QVERIFY(!first.SyncCode());
    }

    void deletingTheFileResetsDefaults()
    {
        FileINI ini;
        ini.SetSyncCode(true);
        ini.SetUpdateDeviceCode(12);
        QFile::remove(FileINI::FilePath());
        FileINI fresh;
        QVERIFY(!fresh.SyncCode());
        QCOMPARE(fresh.UpdateDeviceCode(), 0);
        QCOMPARE(fresh.read(FileINI::kSyncCodeKey), QString());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
