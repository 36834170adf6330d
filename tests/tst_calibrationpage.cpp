#include "device/hidconfig.h"
#include "ui/calibrationpage/calibrationpage.h"
#include "ui/pageids.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest>

#include "pagebench.h"

class TestCalibrationPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<PageBench> m_bench;
    std::unique_ptr<CalibrationPage> m_page;

    template <typename T> T *child(const QString &name) { return PageChild<T>(m_page.get(), name); }

    // Each frame the device took, as hex from the command byte, two bytes each.
    QStringList frames()
    {
        QStringList texts;
        for (const auto &f : m_bench->Frames())
            texts << QStringLiteral("%1 %2")
                         .arg(f[4], 2, 16, QLatin1Char('0'))
                         .arg(f[5], 2, 16, QLatin1Char('0'));
        return texts;
    }

    void open(bool noTriggerLevels, bool chinese = false)
    {
        m_bench->Config().m_noTriggerLevels.store(noTriggerLevels);
        m_bench->Config().m_isChinese = chinese;
        m_page->prepare();
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

    void init()
    {
        m_bench = std::make_unique<PageBench>();
        QVERIFY(m_bench->IsOpen());
        m_page = std::make_unique<CalibrationPage>(&m_bench->Config());
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    }

    void cleanup()
    {
        m_page.reset();
        m_bench.reset();
    }

    // Start and finish by mouse or by the controller: the two commands byte for byte, the
    // buttons and the way back to the test page. Back is ignored while calibrating.
    void startAndFinish_data()
    {
        QTest::addColumn<bool>("byController");
        QTest::newRow("mouse") << false;
        QTest::newRow("controller") << true;
    }

    void startAndFinish()
    {
        QFETCH(bool, byController);
        open(false);
        QSignalSpy pages(m_page.get(), &CalibrationPage::mainWinPageShow);
        if (byController)
            m_bench->Press("A");
        else
            QTest::mouseClick(child<QPushButton>("btnStart"), Qt::LeftButton);
        QVERIFY(m_page->IsCalibrating());
        QVERIFY(!child<QPushButton>("btnStart")->isVisible());
        QVERIFY(child<QPushButton>("btnFinshedCalibra")->isVisible());
        QCOMPARE(frames(), QStringList{"20 22"});

        // Back and a second start do nothing while the controller calibrates.
        if (byController) {
            emit m_bench->Config().pressButtonY(true);
            m_bench->Press("A");
        } else {
            QTest::mouseClick(child<QPushButton>("btnBack"), Qt::LeftButton);
            m_page->on_btnStart_clicked();
        }
        QCOMPARE(pages.count(), 0);
        QCOMPARE(frames(), QStringList{"20 22"});

        if (byController)
            emit m_bench->Config().FinishedCalibra();
        else
            QTest::mouseClick(child<QPushButton>("btnFinshedCalibra"), Qt::LeftButton);
        QCOMPARE(frames(), (QStringList{"20 22", "30 32"}));
        QCOMPARE(pages.count(), 1);
        QCOMPARE(pages.at(0).at(0).toInt(), PageId::Test);
        QVERIFY(!m_page->IsCalibrating());

        // Ready again: Down + Y no longer finishes anything, back returns.
        emit m_bench->Config().FinishedCalibra();
        QCOMPARE(frames().size(), 2);
        QTest::mouseClick(child<QPushButton>("btnBack"), Qt::LeftButton);
        QCOMPARE(pages.count(), 2);
    }

    // Prepare returns to ready without sending anything, with the steps as text or, on
    // models without trigger locks, as a picture; the background picture is placed for it.
    void layoutPerModel_data()
    {
        QTest::addColumn<bool>("noTriggerLevels");
        QTest::newRow("with trigger locks") << false;
        QTest::newRow("without trigger locks") << true;
    }

    void layoutPerModel()
    {
        QFETCH(bool, noTriggerLevels);
        open(noTriggerLevels);
        m_page->on_btnStart_clicked();
        const QRect started = child<QLabel>("lblBackground")->geometry();
        open(noTriggerLevels);
        QCOMPARE(frames(), QStringList{"20 22"});
        QVERIFY(!m_page->IsCalibrating());
        QCOMPARE(child<QTextEdit>("textEdit")->isVisible(), !noTriggerLevels);
        QCOMPARE(child<QLabel>("lblCalibra")->isVisible(), noTriggerLevels);
        QCOMPARE(child<QLabel>("lblBackground")->geometry(), started);
        QVERIFY(m_page->rect().contains(child<QLabel>("lblBackground")->geometry()));
        if (noTriggerLevels)
            QCOMPARE(child<QLabel>("lblBackground")->pos(), QPoint(540, 40));
        else
            QCOMPARE(child<QLabel>("lblBackground")->pos(), QPoint(520, 140));
    }

    // The steps in the system's language: eleven lines, six kinds of inline picture at the
    // same places in both languages.
    void instructions_data()
    {
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("first");
        QTest::newRow("Chinese") << true << "1. 按  ";
        QTest::newRow("any other language") << false << "1. Press  ";
    }

    void instructions()
    {
        QFETCH(bool, chinese);
        QFETCH(QString, first);
        open(false, chinese);
        const QString plain = child<QTextEdit>("textEdit")->toPlainText();
        QVERIFY2(plain.startsWith(first), qPrintable(plain));
        QCOMPARE(plain.split('\n').size(), 11);
        QCOMPARE(plain.count(QChar::ObjectReplacementCharacter), 10);
        const QString html = child<QTextEdit>("textEdit")->toHtml();
        for (const char *picture : {"ShapeA.png", "ShapeB.png", "ShapeX.png", "ShapeY.png",
                                    "Press Down Icon2x.png", "Spin Arrow Icon.png"})
            QVERIFY2(html.contains(QLatin1String(picture)), picture);
        QStringList pictures;
        for (const QString &piece : CalibrationPage::Instructions(chinese))
            if (piece.startsWith(":/"))
                pictures << piece.section('/', -1);
        QCOMPARE(pictures, CalibrationPage::Instructions(!chinese).filter(":/").replaceInStrings(
                               QRegularExpression(".*/"), QString()));
    }
};

QTEST_MAIN(TestCalibrationPage)
#include "tst_calibrationpage.moc"
