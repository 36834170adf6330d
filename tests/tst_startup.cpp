#include "app/translation.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

QStringList g_log;

void captureMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_log << message;
}

// A line the program logs once its main window is being built.
const QString kWindowBuilt = QString::fromUtf8("当前系统语言");

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp;

    QProcessEnvironment isolatedEnvironment() const
    {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", m_tmp.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }

    void start(QProcess &process, const QString &locale = QStringLiteral("en_US.UTF-8"))
    {
        auto env = isolatedEnvironment();
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

private slots:
    void initTestCase() { QVERIFY(m_tmp.isValid()); }

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
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
