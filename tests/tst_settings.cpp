#include "app/fileini.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// What another local user plants in the shared temporary directory to pick the firmware a
// recovery flashes and to switch keep-sync on.
const QByteArray kPlantedSettings = "[Quorel_Vexalon]\nUPDATE_DEVICE_CODE=13\nSYNC_CODE=true\n";

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_config;
    QTemporaryDir m_tmp;

private slots:
    void initTestCase()
    {
        // The settings file belongs in the user's configuration directory: point that at
        // our own, and the temporary directory at another one where the old file lay.
        QVERIFY(m_config.isValid());
        QVERIFY(m_tmp.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        qputenv("TMPDIR", QFile::encodeName(m_tmp.path()));
        QCOMPARE(QDir::tempPath(), m_tmp.path());
    }

    void init()
    {
        QFile::remove(FileINI::FilePath());
        for (const QString &name :
             QDir(m_tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
            QVERIFY(QFile::remove(m_tmp.path() + "/" + name));
    }

    void fileLiesInTheUserConfigurationDirectory()
    {
        QCOMPARE(FileINI::FilePath(), m_config.path() + "/quorel-oradesk/Quorel_config.ini");
        QVERIFY(!FileINI::FilePath().startsWith(m_tmp.path()));
    }

    void missingDirectoryIsCreatedForTheUserAlone()
    {
        QVERIFY(QDir(FileINI::DirectoryPath()).removeRecursively());
        FileINI ini;
        ini.SetUpdateDeviceCode(3);
        const QFileInfo dir(FileINI::DirectoryPath());
        QVERIFY(dir.isDir());
        QCOMPARE(dir.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
                 QFile::Permissions());
        QVERIFY(ReadAll(FileINI::FilePath()).contains("UPDATE_DEVICE_CODE=3"));
        QCOMPARE(FileINI().UpdateDeviceCode(), 3);
    }

    // Whatever sits at the old name in the temporary directory is neither read nor
    // written through.
    void plantedOldFileIsIgnored_data()
    {
        QTest::addColumn<bool>("symlink");
        QTest::newRow("world-writable file") << false;
        QTest::newRow("symlink to a victim file") << true;
    }

    void plantedOldFileIsIgnored()
    {
        QFETCH(bool, symlink);
        const QString oldPath = m_tmp.path() + "/Quorel_config.ini";
        const QString victim = m_tmp.path() + "/victim.ini";
        const QString planted = symlink ? victim : oldPath;
        QVERIFY(WriteAll(planted, kPlantedSettings));
        QVERIFY(QFile::setPermissions(planted, QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ReadGroup | QFile::WriteGroup |
                                                   QFile::ReadOther | QFile::WriteOther));
        if (symlink)
            QVERIFY(QFile::link(victim, oldPath));

        FileINI ini;
        QCOMPARE(ini.UpdateDeviceCode(), -1);
        QVERIFY(!ini.SyncCode());

        ini.SetUpdateDeviceCode(5);
        ini.SetSyncCode(true);
        QCOMPARE(ReadAll(planted), kPlantedSettings);
        QCOMPARE(QFileInfo(oldPath).isSymLink(), symlink);
        QCOMPARE(FileINI().UpdateDeviceCode(), 5);
        QVERIFY(FileINI().SyncCode());
    }

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
        QTest::addColumn<int>("type"); // -1: none known
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("5") << "5" << 5;
        QTest::newRow("23") << "23" << 23;
        QTest::newRow("24 out of range") << "24" << -1;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("huge") << "99999999999" << -1;
        QTest::newRow("text") << "abc" << -1;
        QTest::newRow("hex") << "0x5" << -1;
        QTest::newRow("empty") << "" << -1;
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
        QCOMPARE(fresh.UpdateDeviceCode(), -1);
        QCOMPARE(fresh.read(FileINI::kSyncCodeKey), QString());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
