#include "motortest.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>

namespace {

constexpr int kTriggerFull = 1023;

} // namespace

int MotorTest::Strength(int trigger)
{
    return std::clamp(trigger, 0, kTriggerFull) * 100 / kTriggerFull;
}

MotorTest::MotorTest(QWidget *page, HidConfig *hidConfig)
    : QObject(page), m_page(page), m_model(hidConfig)
{
    page->installEventFilter(this);
    connect(hidConfig, &HidConfig::backMainPage, this, &MotorTest::Stop);
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &MotorTest::Stop);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                m_suspended = state != Qt::ApplicationActive;
                if (m_suspended)
                    Stop();
            });
}

MotorTest::~MotorTest()
{
    Stop();
}

bool MotorTest::Allowed() const
{
    // Without a window manager the window is never activated: only a loss of the focus
    // that was reported holds the test back.
    return m_page->isVisible() && !m_suspended;
}

void MotorTest::Drive(int leftPercent, int rightPercent)
{
    const int left = std::clamp(leftPercent, 0, 100);
    const int right = std::clamp(rightPercent, 0, 100);
    if (!Allowed() || !m_model || (left == 0 && right == 0)) {
        Stop();
        return;
    }
    // A report that did not go out leaves the motors as they were.
    if (m_model->GetControllerComHandle()->SetVibrationTest(uint8_t(left), uint8_t(right)))
        m_running = true;
}

void MotorTest::Stop()
{
    if (!m_running)
        return;
    m_running = false;
    if (m_model && !m_model->GetControllerComHandle()->SetVibrationTest(0, 0))
        qDebug() << "motor test stop not written";
}

bool MotorTest::eventFilter(QObject *watched, QEvent *event)
{
    // The window's activation reaches the pages shown in it.
    if (watched == m_page) {
        switch (event->type()) {
        case QEvent::WindowDeactivate:
            m_suspended = true;
            Stop();
            break;
        case QEvent::WindowActivate:
            m_suspended = false;
            break;
        case QEvent::Hide:
            Stop();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
