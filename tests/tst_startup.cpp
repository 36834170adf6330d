#include "app/singleinstance.h"
#include "app/translation.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSharedMemory>
#include <QSysInfo>
#include <QSystemSemaphore>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QStringList g_log;

void captureMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_log << message;
}

// A line the program logs once its main window is being built.
const QString kWindowBuilt = QString::fromUtf8("当前系统语言");

const QString kLockName = QStringLiteral("quorel-oradesk.lock");

const QFile::Permissions kUserOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
const QFile::Permissions kOthersAccess = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                         QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

void clearDirectory(const QString &path)
{
    QDir dir(path);
    for (const QFileInfo &entry :
         dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

QStringList filesBelow(const QString &path)
{
    QStringList entries;
    QDirIterator it(path, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << it.next();
    return entries;
}

// The text QLockFile keeps in a lock file: process id, program name, host name.
QByteArray lockText(qint64 pid, const QString &program)
{
    return QByteArray::number(pid) + '\n' + program.toUtf8() + '\n' +
           QSysInfo::machineHostName().toUtf8() + '\n';
}

// The id of a process that has ended and been reaped.
qint64 deadPid()
{
    QProcess child;
    child.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 0")});
    if (!child.waitForStarted(10000))
        return -1;
    const qint64 pid = child.processId();
    return child.waitForFinished(10000) ? pid : -1;
}

bool writeLockFile(const QString &path, const QByteArray &text, qint64 ageSeconds)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        return false;
    file.flush();
    return file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                            QFileDevice::FileModificationTime);
}

QString thisProgram()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QTemporaryDir m_runtime;
    QTemporaryDir m_config;
    QTemporaryDir m_cache;
    QProcessEnvironment m_env;

    QProcessEnvironment isolatedEnvironment() const
    {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", m_tmp.path());
        env.insert("XDG_RUNTIME_DIR", m_runtime.path());
        env.insert("XDG_CONFIG_HOME", m_config.path());
        env.insert("XDG_CACHE_HOME", m_cache.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }

    QString runtimeLock() const { return m_runtime.path() + "/" + kLockName; }
    QString cacheLock() const { return m_cache.path() + "/quorel-oradesk/" + kLockName; }

    void start(QProcess &process, const QString &locale = QStringLiteral("en_US.UTF-8"))
    {
        auto env = m_env;
        env.insert("LC_ALL", locale);
        env.insert("LANG", locale);
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(ORADESK_APP_PATH, QStringList());
        QVERIFY2(process.waitForStarted(10000), qPrintable(process.errorString()));
    }

    // Waits until the program has passed the single-instance check and built its window.
    void waitUntilRunning(QProcess &process, QByteArray &output)
    {
        QTRY_VERIFY_WITH_TIMEOUT(
            (output += process.readAll(), output.contains(kWindowBuilt.toUtf8())), 20000);
        QCOMPARE(process.state(), QProcess::Running);
    }

    // Starts a copy and expects it to run: a planted lock must not stop it.
    void expectStartRuns()
    {
        QProcess app;
        QByteArray output;
        start(app);
        waitUntilRunning(app, output);
        app.kill();
        QVERIFY(app.waitForFinished(10000));
    }

    // Starts a copy and expects it to leave at once, quietly, without a window.
    void expectStartExitsSilently()
    {
        QProcess app;
        start(app);
        QVERIFY(app.waitForFinished(20000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
        QVERIFY(!app.readAll().contains(kWindowBuilt.toUtf8()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        QVERIFY(m_runtime.isValid());
        QVERIFY(m_config.isValid());
        QVERIFY(m_cache.isValid());
    }

    void init()
    {
        for (const QTemporaryDir *dir : {&m_tmp, &m_runtime, &m_config, &m_cache})
            clearDirectory(dir->path());
        // The runtime directory is the user's alone, or it is not used.
        if (QFileInfo(m_runtime.path()).ownerId() != ::geteuid())
            QCOMPARE(
                ::chown(QFile::encodeName(m_runtime.path()).constData(), ::geteuid(), gid_t(-1)),
                0);
        QVERIFY(QFile::setPermissions(m_runtime.path(), kUserOnly));
        m_env = isolatedEnvironment();
    }

    void translation_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("english with file")
            << int(QLocale::English) << true << true
            << QStringList{"mBool: true", "Translation loaded successfully."};
        QTest::newRow("english without file")
            << int(QLocale::English) << false << false
            << QStringList{"mBool: false", "Failed to load translation."};
        QTest::newRow("german without file")
            << int(QLocale::German) << false << false
            << QStringList{"mBool: false", "Failed to load translation."};
        QTest::newRow("chinese ignores file")
            << int(QLocale::Chinese) << true << false << QStringList();
    }

    void translation()
    {
        QFETCH(int, language);
        QFETCH(bool, fileThere);
        QFETCH(bool, installed);
        QFETCH(QStringList, log);

        QTemporaryDir dir;
        if (fileThere)
            QVERIFY(QFile::copy(ORADESK_QM_PATH, dir.path() + "/language_en.qm"));
        QTranslator translator;
        g_log.clear();
        const auto previous = qInstallMessageHandler(captureMessage);
        const bool result = InstallTranslation(*QCoreApplication::instance(), translator,
                                               QLocale::Language(language), dir.path());
        qInstallMessageHandler(previous);
        QCOMPARE(result, installed);
        QCOMPARE(g_log, log);
        QCOMPARE(translator.isEmpty(), !installed);
        QCoreApplication::removeTranslator(&translator);
    }

    void languageFollowsTheSystemLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("languageLine");
        QTest::addColumn<bool>("looksForTranslation");
        QTest::newRow("chinese") << "zh_CN.UTF-8" << QString::fromUtf8("当前系统语言为中文")
                                 << false;
        QTest::newRow("english") << "en_US.UTF-8" << QString::fromUtf8("当前系统语言不是中文")
                                 << true;
        QTest::newRow("french") << "fr_FR.UTF-8" << QString::fromUtf8("当前系统语言不是中文")
                                << true;
    }

    void languageFollowsTheSystemLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, languageLine);
        QFETCH(bool, looksForTranslation);
        QProcess app;
        QByteArray output;
        start(app, locale);
        waitUntilRunning(app, output);
        app.kill();
        QVERIFY(app.waitForFinished(10000));
        output += app.readAll();
        QVERIFY2(output.contains(languageLine.toUtf8()), output.constData());
        // The translation lies next to the program, so it loads where it is looked for.
        QCOMPARE(output.contains("mBool: true"), looksForTranslation);
        QCOMPARE(output.contains("Translation loaded successfully."), looksForTranslation);
    }

    void secondCopyExitsSilentlyWhileFirstRuns()
    {
        QProcess first;
        QByteArray firstOutput;
        start(first);
        waitUntilRunning(first, firstOutput);

        QProcess second;
        start(second);
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(!second.readAll().contains(kWindowBuilt.toUtf8()));

        first.kill();
        QVERIFY(first.waitForFinished(10000));
    }

    void startAfterFirstCopyWasKilledSucceeds()
    {
        QProcess first;
        QByteArray output;
        start(first);
        waitUntilRunning(first, output);
        first.kill(); // SIGKILL: no clean-up runs
        QVERIFY(first.waitForFinished(10000));

        QProcess next;
        QByteArray nextOutput;
        start(next);
        waitUntilRunning(next, nextOutput);

        // And the new copy holds the lock in turn.
        QProcess third;
        start(third);
        QVERIFY(third.waitForFinished(20000));
        QCOMPARE(third.exitCode(), 0);

        next.kill();
        QVERIFY(next.waitForFinished(10000));
    }

    // The lock goes to the runtime directory when it is the user's alone, else to the
    // user's cache directory, and never to the shared temporary directory.
    void lockIsTakenInAPrivateDirectory_data()
    {
        QTest::addColumn<QString>("runtime");
        QTest::addColumn<bool>("inRuntime");
        QTest::newRow("runtime directory") << "usable" << true;
        QTest::newRow("no runtime directory") << "unset" << false;
        QTest::newRow("runtime directory open to others") << "open" << false;
        QTest::newRow("runtime directory of another user") << "foreign" << false;
    }

    void lockIsTakenInAPrivateDirectory()
    {
        QFETCH(QString, runtime);
        QFETCH(bool, inRuntime);
        if (runtime == "unset")
            m_env.remove("XDG_RUNTIME_DIR");
        else if (runtime == "open")
            QVERIFY(QFile::setPermissions(m_runtime.path(), kUserOnly | QFile::ReadGroup |
                                                                QFile::ExeGroup | QFile::ReadOther |
                                                                QFile::ExeOther));
        else if (runtime == "foreign" && ::geteuid() != 0)
            QSKIP("Giving the directory to another user needs root");
        else if (runtime == "foreign")
            QCOMPARE(::chown(QFile::encodeName(m_runtime.path()).constData(), 65534, gid_t(-1)), 0);

        QProcess first;
        QByteArray output;
        start(first);
        waitUntilRunning(first, output);

        const QString lock = inRuntime ? runtimeLock() : cacheLock();
        qint64 pid = 0;
        QString host;
        QString program;
        QVERIFY2(QLockFile(lock).getLockInfo(&pid, &host, &program), qPrintable(lock));
        QCOMPARE(pid, first.processId());
        QCOMPARE(QFileInfo(QFileInfo(lock).path()).permissions() & kOthersAccess,
                 QFile::Permissions());
        // Qt itself may leave an empty runtime-<user> directory there, but nothing more.
        QCOMPARE(filesBelow(m_tmp.path()), QStringList());
        if (!inRuntime)
            QCOMPARE(filesBelow(m_runtime.path()), QStringList());
        expectStartExitsSilently();

        first.kill();
        QVERIFY(first.waitForFinished(10000));
    }

    // Locks and shared-memory keys at the old, guessable places in the temporary
    // directory are what another local user can plant; none of them may stop a start,
    // and neither may a lock whose process is gone.
    void startIsNotBlockedBy_data()
    {
        QTest::addColumn<QString>("plant");
        QTest::newRow("lock held in the temporary directory") << "tmp lock";
        QTest::newRow("lock held in the temporary runtime fallback") << "tmp runtime lock";
        QTest::newRow("shared memory under the old key") << "old memory";
        QTest::newRow("gate semaphore under the old key, taken") << "old gate";
        QTest::newRow("lock of a process that is gone") << "dead lock";
    }

    void startIsNotBlockedBy()
    {
        QFETCH(QString, plant);
        std::unique_ptr<QLockFile> held;
        std::unique_ptr<QSharedMemory> memory;
        std::unique_ptr<QSystemSemaphore> gate;
        // The key earlier versions kept their shared-memory lock under, per home directory.
        const QString oldKey =
            QString::fromLatin1("Quorel™ Vexalon") + QLatin1Char('@') + QDir::homePath();

        if (plant == "tmp lock" || plant == "tmp runtime lock") {
            QString dir = m_tmp.path();
            if (plant == "tmp runtime lock") {
                const passwd *user = ::getpwuid(::geteuid());
                QVERIFY(user);
                dir += "/runtime-" + QFile::decodeName(user->pw_name);
                QVERIFY(QDir().mkdir(dir));
                QVERIFY(QFile::setPermissions(dir, kUserOnly));
            }
            held = std::make_unique<QLockFile>(dir + "/" + kLockName);
            held->setStaleLockTime(0);
            QVERIFY(held->tryLock(0));
        } else if (plant == "old memory" || plant == "old gate") {
            // The key files of System V IPC lie in the temporary directory of the program.
            const QByteArray savedTmp = qgetenv("TMPDIR");
            const bool tmpSet = qEnvironmentVariableIsSet("TMPDIR");
            qputenv("TMPDIR", QFile::encodeName(m_tmp.path()));
            bool planted = false;
            QString error;
            if (plant == "old memory") {
                memory = std::make_unique<QSharedMemory>(oldKey);
                planted = memory->create(1);
                error = memory->errorString();
            } else {
                gate = std::make_unique<QSystemSemaphore>(oldKey + "#gate", 0,
                                                          QSystemSemaphore::Create);
                planted = gate->error() == QSystemSemaphore::NoError;
                error = gate->errorString();
            }
            if (tmpSet)
                qputenv("TMPDIR", savedTmp);
            else
                qunsetenv("TMPDIR");
            QVERIFY2(planted, qPrintable(error));
        } else if (plant == "dead lock") {
            const qint64 pid = deadPid();
            QVERIFY(pid > 0);
            QVERIFY(writeLockFile(runtimeLock(), lockText(pid, "quorel-oradesk"), 0));
        }

        expectStartRuns();
    }

    // Which existing lock files a starting copy takes over: only those of no running
    // program. Lock files that name no process are left by a writer that died at once.
    void guardTakesOverOnlyAbandonedLocks_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("ageSeconds");
        QTest::addColumn<bool>("heldOpen");
        QTest::addColumn<bool>("acquired");
        const qint64 self = QCoreApplication::applicationPid();
        QTest::newRow("running copy")
            << lockText(self, thisProgram()) << qint64(0) << false << false;
        QTest::newRow("running copy, a day old")
            << lockText(self, thisProgram()) << qint64(86400) << false << false;
        QTest::newRow("process gone")
            << lockText(deadPid(), thisProgram()) << qint64(0) << false << true;
        QTest::newRow("pid now runs another program")
            << lockText(self, "quorel-oradesk") << qint64(0) << false << true;
        QTest::newRow("empty, an hour old") << QByteArray() << qint64(3600) << false << true;
        QTest::newRow("garbage, an hour old")
            << QByteArray("no lock here\n") << qint64(3600) << false << true;
        QTest::newRow("empty, an hour old, writer still holds it")
            << QByteArray() << qint64(3600) << true << false;
    }

    void guardTakesOverOnlyAbandonedLocks()
    {
        QFETCH(QByteArray, text);
        QFETCH(qint64, ageSeconds);
        QFETCH(bool, heldOpen);
        QFETCH(bool, acquired);
        QVERIFY(!text.startsWith("-1")); // deadPid() could not run its child

        QTemporaryDir dir;
        const QString path = dir.path() + "/" + kLockName;
        QVERIFY(writeLockFile(path, text, ageSeconds));
        QFile writer(path);
        if (heldOpen) {
            QVERIFY(writer.open(QIODevice::ReadOnly));
            QCOMPARE(::flock(writer.handle(), LOCK_EX | LOCK_NB), 0);
        }

        SingleInstanceGuard guard(path);
        QCOMPARE(guard.TryAcquire(), acquired);
        qint64 pid = 0;
        QString host;
        QString program;
        if (acquired) {
            QVERIFY(QLockFile(path).getLockInfo(&pid, &host, &program));
            QCOMPARE(pid, QCoreApplication::applicationPid());
            // And this copy now keeps the next one out.
            QVERIFY(!SingleInstanceGuard(path).TryAcquire());
        } else {
            QFile kept(path);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), text);
        }
    }

    void unusableLockLocationDoesNotStopTheProgram()
    {
        QTemporaryDir dir;
        const QString notADirectory = dir.path() + "/file";
        QVERIFY(writeLockFile(notADirectory, "x", 0));
        const QString path = notADirectory + "/" + kLockName;
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable("Single-instance lock " + path + " cannot be created"));
        QVERIFY(SingleInstanceGuard(path).TryAcquire());
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
