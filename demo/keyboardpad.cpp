#include "keyboardpad.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDebug>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

constexpr int kRepeatMs = 20;

bool IsMapped(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_X:
    case Qt::Key_Y:
    case Qt::Key_Q:
    case Qt::Key_E:
        return true;
    default:
        return false;
    }
}

// Keys meant for a text field stay with it.
bool TypingText()
{
    QWidget *focus = QApplication::focusWidget();
    if (auto *edit = qobject_cast<QLineEdit *>(focus))
        return !edit->isReadOnly();
    if (auto *edit = qobject_cast<QTextEdit *>(focus))
        return !edit->isReadOnly();
    if (auto *edit = qobject_cast<QPlainTextEdit *>(focus))
        return !edit->isReadOnly();
    return qobject_cast<QAbstractSpinBox *>(focus) != nullptr;
}

} // namespace

KeyboardPad::KeyboardPad(Sink sink, QObject *parent) : QObject(parent), m_sink(std::move(sink))
{
    m_repeat.setInterval(kRepeatMs);
    connect(&m_repeat, &QTimer::timeout, this, &KeyboardPad::SendState);
}

QString KeyboardPad::KeyMap()
{
    return QStringLiteral("  arrow keys     D-pad\n"
                          "  Enter/Return   A\n"
                          "  Backspace      B\n"
                          "  X              X\n"
                          "  Y              Y (hold 1 to 3 s for the long press)\n"
                          "  Q / E          left / right shoulder\n"
                          "  Tab            switch between the wired controller and the dongle\n");
}

ctrlsim::InputState KeyboardPad::State() const
{
    ctrlsim::InputState s;
    s.a = m_held.contains(Qt::Key_Return) || m_held.contains(Qt::Key_Enter);
    s.b = m_held.contains(Qt::Key_Backspace);
    s.x = m_held.contains(Qt::Key_X);
    s.y = m_held.contains(Qt::Key_Y);
    s.lb = m_held.contains(Qt::Key_Q);
    s.rb = m_held.contains(Qt::Key_E);
    s.dpad = ctrlsim::dpadValue(m_held.contains(Qt::Key_Up), m_held.contains(Qt::Key_Right),
                                m_held.contains(Qt::Key_Down), m_held.contains(Qt::Key_Left));
    return s;
}

bool KeyboardPad::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ApplicationDeactivate) {
        // The release of a key held now would go to another program.
        ReleaseAll();
        return QObject::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);

    // Returning true stops the event here, so each key is handled once, on the first
    // object it is sent to.
    auto *key = static_cast<QKeyEvent *>(event);
    const bool press = event->type() == QEvent::KeyPress;
    if (press) {
        if (TypingText() || (key->key() != Qt::Key_Tab && !IsMapped(key->key())))
            return false;
        if (key->isAutoRepeat())
            return true;
        if (key->key() == Qt::Key_Tab) {
            ReleaseAll();
            emit SwitchTarget();
        } else {
            Press(key->key());
        }
        return true;
    }
    // A held key is released here even when focus moved into a text field meanwhile.
    if (m_held.contains(key->key())) {
        if (!key->isAutoRepeat())
            Release(key->key());
        return true;
    }
    return key->key() == Qt::Key_Tab && !TypingText();
}

void KeyboardPad::Press(int key)
{
    m_held.insert(key);
    qDebug() << "demo key down" << QKeySequence(key).toString();
    SendState();
    m_repeat.start();
}

void KeyboardPad::Release(int key)
{
    m_held.remove(key);
    qDebug() << "demo key up" << QKeySequence(key).toString();
    SendState();
    if (m_held.isEmpty())
        m_repeat.stop();
}

void KeyboardPad::ReleaseAll()
{
    if (m_held.isEmpty())
        return;
    m_held.clear();
    m_repeat.stop();
    SendState();
}

void KeyboardPad::SendState()
{
    m_sink(State());
}
