#include "device/hidconfig.h"
#include "ui/bartool/bartool.h"
#include "ui/moduleselection/moduleselection.h"
#include "ui/pageids.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(QVector<int>)

class TestModuleSelection : public QObject
{
    Q_OBJECT

    std::unique_ptr<HidConfig> m_config;
    std::unique_ptr<ModuleSelection> m_page;

    void press(QChar key)
    {
        switch (key.toLatin1()) {
        case 'L':
            emit m_config->pressButtonLeft(true);
            break;
        case 'R':
            emit m_config->pressButtonRight(true);
            break;
        case 'U':
            emit m_config->pressButtonUp(true);
            break;
        case 'D':
            emit m_config->pressButtonDown(true);
            break;
        case 'A':
            emit m_config->pressButtonA(true);
            break;
        }
    }

private slots:
    void init()
    {
        m_config = std::make_unique<HidConfig>();
        m_config->StopInputTimers();
    }

    void cleanup()
    {
        m_page.reset();
        m_config.reset();
    }

    void dpadMovesWithinTheModelsModules_data()
    {
        QTest::addColumn<bool>("fileProfiles");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("page");
        QTest::newRow("up from the first row") << false << "RU" << 0 << int(PageId::Test);
        QTest::newRow("down stops at 5 without profiles")
            << false << "DDDRR" << 5 << int(PageId::Vibration);
        QTest::newRow("right from 5 to profiles") << true << "DRRR" << 6 << int(PageId::Profiles);
        QTest::newRow("then lighting") << true << "DRRRR" << 7 << int(PageId::Lighting);
        QTest::newRow("left from 0") << true << "LL" << 0 << int(PageId::Test);
        QTest::newRow("down past the last") << true << "DDD" << 7 << int(PageId::Lighting);
    }

    void dpadMovesWithinTheModelsModules()
    {
        QFETCH(bool, fileProfiles);
        QFETCH(QString, keys);
        QFETCH(int, index);
        QFETCH(int, page);
        m_config->m_fileProfileModel = fileProfiles;
        m_page = std::make_unique<ModuleSelection>(m_config.get());
        m_page->show();
        m_page->ResetPage();
        QSignalSpy opened(m_page.get(), &ModuleSelection::mainWinPageShow);
        auto *loading = m_page->findChild<QWidget *>("wdgLoading");

        // Before the configuration has been read nothing moves or opens.
        press('D');
        press('A');
        QCOMPARE(m_page->Index(), 0);
        QCOMPARE(opened.count(), 0);
        QVERIFY(loading->isVisible());

        emit m_config->ReadFinished();
        QVERIFY(!loading->isVisible());
        for (QChar key : keys)
            press(key);
        QCOMPARE(m_page->Index(), index);
        press('A');
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened[0][0].toInt(), page);
    }

    void backGoesToTheDeviceWindowOnlyWhenShown()
    {
        m_page = std::make_unique<ModuleSelection>(m_config.get());
        QSignalSpy back(m_page.get(), &ModuleSelection::DevicePage);
        emit m_config->pressButtonB(true);
        QCOMPARE(back.count(), 0);
        m_page->show();
        emit m_config->pressButtonB(true);
        QCOMPARE(back.count(), 1);
        QVERIFY(!m_page->isVisible());
    }

    void titleBarMovesTheWindowOnlyWhileDragged()
    {
        QWidget window;
        window.setGeometry(100, 100, 400, 300);
        auto *bar = new Bartool(&window);
        bar->setGeometry(0, 0, 400, 32);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint start = window.pos();
        QMouseEvent hover(QEvent::MouseMove, QPointF(10, 10), QPointF(200, 200), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &hover);
        QCOMPARE(window.pos(), start);

        QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(110, 110),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent drag(QEvent::MouseMove, QPointF(40, 30), QPointF(140, 130), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(40, 30), QPointF(140, 130),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &press);
        QApplication::sendEvent(bar, &drag);
        QCOMPARE(window.pos(), start + QPoint(30, 20));
        QApplication::sendEvent(bar, &release);
        QApplication::sendEvent(bar, &hover);
        QCOMPARE(window.pos(), start + QPoint(30, 20));

        bar->findChild<QPushButton *>("btn_Close")->click();
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestModuleSelection)
#include "tst_moduleselection.moc"
