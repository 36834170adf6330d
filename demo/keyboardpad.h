#pragma once

#include "controller/inputreport.h"

#include <QObject>
#include <QSet>
#include <QTimer>
#include <functional>

// Turns keys into the input state of a controller, so the app can be walked through
// without hardware. Installed on the application, it sees every key before any widget
// and keeps the keys it maps away from them; keys typed into a text field pass through.
class KeyboardPad : public QObject
{
    Q_OBJECT

public:
    using Sink = std::function<void(const ctrlsim::InputState &)>;

    explicit KeyboardPad(Sink sink, QObject *parent = nullptr);

    // One line per key, for the console and the README.
    static QString KeyMap();
    ctrlsim::InputState State() const;

signals:
    // Tab: the keyboard should drive the other device. Everything is released first.
    void SwitchTarget();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Press(int key);
    void Release(int key);
    void ReleaseAll();
    void SendState();

    Sink m_sink;
    QSet<int> m_held;
    // A real controller keeps reporting while a button is held; so does the keyboard.
    QTimer m_repeat;
};
