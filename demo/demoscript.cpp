#include "demoscript.h"

#include "demoinput.h"
#include "demostatejson.h"
#include "scriptpad.h"

#include "updatemode/updatabledevice.h"

#include <QApplication>
#include <QPixmap>
#include <QSaveFile>
#include <QTextEdit>
#include <QTimer>
#include <QtTest/QTest>
#include <cstdio>

namespace {

constexpr int kDragMoves = 8;
constexpr int kDragMoveMs = 15;
constexpr int kPollMs = 25;

QString DeviceName(size_t index)
{
    return index == 0 ? QStringLiteral("wired controller") : QStringLiteral("dongle");
}

void Print(const QString &line)
{
    std::printf("%s\n", qUtf8Printable(line));
    std::fflush(stdout);
}

} // namespace

DemoScript::DemoScript(QVector<DemoStep> steps, std::vector<ctrlsim::UpdatableDevice *> devices,
                       QObject *parent)
    : QObject(parent), m_steps(std::move(steps)), m_devices(std::move(devices))
{
    m_pad = new ScriptPad(
        [this](const ctrlsim::InputState &state) {
            return SendDemoInput(*m_devices[m_target], state);
        },
        this);
}

void DemoScript::Start()
{
    Continue();
}

void DemoScript::Continue(int ms)
{
    QTimer::singleShot(ms, this, &DemoScript::RunNext);
}

void DemoScript::RunNext()
{
    if (m_done)
        return;
    if (m_next >= m_steps.size()) {
        Print(QStringLiteral("demo script done"));
        Finish(0);
        return;
    }
    m_current = &m_steps.at(m_next++);
    Print(QStringLiteral("demo step %1 (line %2): %3")
              .arg(m_next)
              .arg(m_current->line)
              .arg(m_current->text));
    const QString error = Run(*m_current);
    if (!error.isEmpty())
        Fail(error);
}

QString DemoScript::Run(const DemoStep &step)
{
    using Kind = DemoStep::Kind;
    const QVector<int> &n = step.numbers;
    switch (step.kind) {
    case Kind::Wait:
        Continue(n[0]);
        return QString();
    case Kind::WaitFor:
    case Kind::WaitGone:
        WaitForWidget(step, step.kind == Kind::WaitGone, 0);
        return QString();
    case Kind::Key: {
        const QString error = Sent(m_pad->SetButtons(step.names, true));
        if (!error.isEmpty())
            return error;
        const QStringList names = step.names;
        QTimer::singleShot(n[0], this, [this, names] {
            m_pad->SetButtons(names, false); // a device that left meanwhile has nothing to release
            Continue();
        });
        return QString();
    }
    case Kind::Hold:
    case Kind::Release: {
        const QString error = Sent(m_pad->SetButtons(step.names, step.kind == Kind::Hold));
        if (error.isEmpty())
            Continue();
        return error;
    }
    case Kind::Stick: {
        const QString error = Sent(m_pad->SetSticks(n[0], n[1], n[2], n[3]));
        if (error.isEmpty())
            Continue();
        return error;
    }
    case Kind::Trigger: {
        const QString error = Sent(m_pad->SetTriggers(n[0], n[1]));
        if (error.isEmpty())
            Continue();
        return error;
    }
    case Kind::Device:
        // The previous device gets everything released, as a controller put down.
        m_pad->Reset();
        m_target = step.argument == QLatin1String("dongle") ? 1 : 0;
        Continue();
        return QString();
    case Kind::Click:
        return Click(step);
    case Kind::Drag:
        return Drag(step);
    case Kind::Type:
        return Type(step);
    case Kind::Screenshot:
        return Screenshot(step);
    case Kind::State:
        return State(step);
    case Kind::Fault:
        return Fault(step);
    case Kind::Text:
        return Text(step);
    case Kind::Quit:
        Finish(0);
        return QString();
    }
    return QStringLiteral("step not handled");
}

QString DemoScript::Sent(bool sent) const
{
    if (sent)
        return QString();
    return QStringLiteral("the %1 is not in normal mode (updating or re-plugging)")
        .arg(DeviceName(m_target));
}

void DemoScript::WaitForWidget(const DemoStep &step, bool gone, int waitedMs)
{
    if ((DemoMouse::FindVisible(step.argument) == nullptr) == gone) {
        Continue();
        return;
    }
    const int timeout = step.numbers[0];
    if (waitedMs >= timeout) {
        const QString what =
            gone ? QStringLiteral("a visible widget named \"%1\" still there after %2 ms")
                 : QStringLiteral("no visible widget named \"%1\" within %2 ms");
        Fail(what.arg(step.argument, QString::number(timeout)));
        return;
    }
    // Counted in poll periods rather than on a clock: a busy machine only waits longer.
    QTimer::singleShot(kPollMs, this, [this, &step, gone, waitedMs] {
        if (!m_done)
            WaitForWidget(step, gone, waitedMs + kPollMs);
    });
}

QString DemoScript::PressOn(const DemoStep &step, QString *receiver)
{
    QWidget *target = DemoMouse::FindVisible(step.argument);
    if (!target)
        return QStringLiteral("no visible widget named \"%1\"").arg(step.argument);
    if (!m_mouse.Press(target, receiver))
        return QStringLiteral("the centre of %1 lies outside its window")
            .arg(DemoMouse::Describe(target));
    return QString();
}

QString DemoScript::Click(const DemoStep &step)
{
    QString receiver;
    const QString error = PressOn(step, &receiver);
    if (!error.isEmpty())
        return error;
    m_mouse.Release();
    Print(QStringLiteral("demo click %1: received by %2").arg(step.argument, receiver));
    Continue();
    return QString();
}

QString DemoScript::Drag(const DemoStep &step)
{
    QString receiver;
    const QString error = PressOn(step, &receiver);
    if (!error.isEmpty())
        return error;
    Print(QStringLiteral("demo drag %1: pressed on %2").arg(step.argument, receiver));
    DragMove(1, QPoint(step.numbers[0], step.numbers[1]));
    return QString();
}

// Move i of kDragMoves along the way, one per timer tick, then the release.
void DemoScript::DragMove(int i, QPoint offset)
{
    QTimer::singleShot(kDragMoveMs, this, [this, i, offset] {
        if (m_done)
            return;
        if (!m_mouse.MoveBy(offset * i / kDragMoves)) {
            Fail(QStringLiteral("the window closed during the drag"));
            return;
        }
        if (i < kDragMoves) {
            DragMove(i + 1, offset);
            return;
        }
        m_mouse.Release();
        Continue();
    });
}

QString DemoScript::Type(const DemoStep &step)
{
    if (!QApplication::focusWidget())
        return QStringLiteral("no widget has the keyboard focus");
    Print(
        QStringLiteral("demo type into %1").arg(DemoMouse::Describe(QApplication::focusWidget())));
    // One key per character, each to the widget that has the focus at that moment, with
    // the character as the key's text so that any script's letters arrive.
    for (const uint c : step.argument.toUcs4()) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus)
            return QStringLiteral("the keyboard focus went away while typing");
        const Qt::Key key = c < 0x80 ? QTest::asciiToKey(char(c)) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, focus, key, QString::fromUcs4(&c, 1), Qt::NoModifier);
    }
    Continue();
    return QString();
}

QString DemoScript::Screenshot(const DemoStep &step)
{
    QWidget *window = DemoMouse::VisibleWindow();
    if (!window)
        return QStringLiteral("no visible window");
    if (!window->grab().save(step.argument))
        return QStringLiteral("cannot write the picture \"%1\"").arg(step.argument);
    Continue();
    return QString();
}

QString DemoScript::State(const DemoStep &step)
{
    QSaveFile file(step.argument);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write \"%1\": %2").arg(step.argument, file.errorString());
    file.write(DemoStateJson::Devices(m_devices));
    if (!file.commit())
        return QStringLiteral("cannot write \"%1\": %2").arg(step.argument, file.errorString());
    Continue();
    return QString();
}

void DemoScript::Fail(const QString &why)
{
    const QString line = QStringLiteral("demo script failed at line %1 (%2): %3")
                             .arg(m_current->line)
                             .arg(m_current->text, why);
    std::fprintf(stderr, "%s\n", qUtf8Printable(line));
    std::fflush(stderr);
    Finish(1);
}

void DemoScript::Finish(int exitCode)
{
    if (m_done)
        return;
    m_done = true;
    m_pad->Reset();
    emit Finished(exitCode);
}

QString DemoScript::Fault(const DemoStep &step)
{
    const QString fault = step.names.value(0);
    const QVector<int> &n = step.numbers;
    const bool taken = m_devices[m_target]->withController([&](ctrlsim::SimulatedController &c) {
        ctrlsim::ControllerFirmware &firmware = c.firmware();
        if (fault == QLatin1String("drop-write"))
            firmware.dropNextWrite(uint8_t(n[0]));
        else if (fault == QLatin1String("corrupt-write"))
            firmware.corruptNextWrite(uint8_t(n[0]), n[1]);
        else if (fault == QLatin1String("drop-commit"))
            firmware.dropNextCommit();
        else if (fault == QLatin1String("delay-replies"))
            firmware.setReplyDelay(std::chrono::milliseconds(n[0]));
        else
            firmware.clearFaults();
    });
    if (!taken)
        return Sent(false);
    Continue();
    return QString();
}

QString DemoScript::Text(const DemoStep &step)
{
    // The first visible widget of that name, or else the first of any.
    QWidget *widget = DemoMouse::FindVisible(step.argument);
    if (!widget)
        for (QWidget *top : QApplication::topLevelWidgets())
            if ((widget = top->findChild<QWidget *>(step.argument)))
                break;
    if (!widget)
        return QStringLiteral("no widget named \"%1\"").arg(step.argument);
    QString text = widget->property("text").toString();
    if (auto *edit = qobject_cast<QTextEdit *>(widget))
        text = edit->toPlainText();
    QSaveFile file(step.names[0]);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write \"%1\": %2").arg(step.names[0], file.errorString());
    file.write(
        (widget->isVisible() ? QByteArrayLiteral("visible\n") : QByteArrayLiteral("hidden\n")) +
        text.toUtf8() + '\n');
    if (!file.commit())
        return QStringLiteral("cannot write \"%1\": %2").arg(step.names[0], file.errorString());
    Continue();
    return QString();
}
