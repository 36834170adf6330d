#include "demomouse.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
#include <QtTest/QTest>

namespace {

// Remembers the first widget a mouse press is delivered to.
class PressWitness : public QObject
{
public:
    PressWitness() { qApp->installEventFilter(this); }
    ~PressWitness() override { qApp->removeEventFilter(this); }
    QPointer<QWidget> receiver;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType() && !receiver)
            receiver = static_cast<QWidget *>(watched);
        return false;
    }
};

bool OrdinaryWindow(const QWidget *widget)
{
    const Qt::WindowType type = widget->windowType();
    return widget->isVisible() && (type == Qt::Window || type == Qt::Dialog);
}

QList<QWidget *> TopLevelsActiveFirst()
{
    QList<QWidget *> windows;
    if (QWidget *active = QApplication::activeWindow())
        windows.append(active);
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (!windows.contains(widget))
            windows.append(widget);
    return windows;
}

} // namespace

QWidget *DemoMouse::FindVisible(const QString &objectName)
{
    for (QWidget *window : TopLevelsActiveFirst()) {
        if (!window->isVisible())
            continue;
        if (window->objectName() == objectName)
            return window;
        for (QWidget *child : window->findChildren<QWidget *>(objectName))
            if (child->isVisible())
                return child;
    }
    return nullptr;
}

QWidget *DemoMouse::VisibleWindow()
{
    for (QWidget *window : TopLevelsActiveFirst())
        if (OrdinaryWindow(window))
            return window;
    return nullptr;
}

QString DemoMouse::Describe(const QWidget *widget)
{
    if (!widget)
        return QStringLiteral("nothing");
    const QString type = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty())
        return type + QLatin1Char(' ') + widget->objectName();
    for (const QWidget *up = widget->parentWidget(); up; up = up->parentWidget())
        if (!up->objectName().isEmpty())
            return QStringLiteral("%1 in %2").arg(type, up->objectName());
    return type;
}

bool DemoMouse::Press(QWidget *target, QString *receiver)
{
    m_window = target->window();
    m_pressAt = target->mapTo(m_window, target->rect().center());
    m_at = m_pressAt;
    if (!m_window->rect().contains(m_pressAt) || !m_window->windowHandle())
        return false;
    // The widget at the point; a disabled one passes the press on to its parent.
    QWidget *under = m_window->childAt(m_pressAt);
    if (!under)
        under = m_window;
    const QString underText =
        Describe(under) + (under->isEnabled() ? QString() : QStringLiteral(", disabled"));
    PressWitness witness;
    QTest::mousePress(m_window->windowHandle(), Qt::LeftButton, Qt::NoModifier, m_pressAt);
    if (!receiver)
        return true;
    *receiver = witness.receiver ? Describe(witness.receiver) : QStringLiteral("no widget");
    if (witness.receiver != under)
        *receiver += QStringLiteral(" (under the pointer: %1)").arg(underText);
    return true;
}

bool DemoMouse::MoveBy(QPoint offset)
{
    if (!m_window || !m_window->windowHandle())
        return false;
    m_at = m_pressAt + offset;
    QTest::mouseMove(m_window->windowHandle(), m_at);
    return true;
}

bool DemoMouse::Release()
{
    if (!m_window || !m_window->windowHandle())
        return false;
    QTest::mouseRelease(m_window->windowHandle(), Qt::LeftButton, Qt::NoModifier, m_at);
    return true;
}
