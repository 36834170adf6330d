#include "widgets/handledrag.h"

#include <QMouseEvent>

HandleDrag::Step HandleDrag::Feed(QObject *handle, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_pressPoint = mouse->localPos().toPoint();
            m_held = handle;
        }
        return Step::None;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_held != handle || !(mouse->buttons() & Qt::LeftButton))
            return Step::None;
        // The handle follows the pointer, so the press point stays under it.
        m_delta = mouse->localPos().toPoint() - m_pressPoint;
        return Step::Moved;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_held = nullptr;
        return Step::None;
    case QEvent::Enter:
    case QEvent::Leave:
        m_hovered = event->type() == QEvent::Enter;
        return Step::HoverChanged;
    default:
        return Step::None;
    }
}
