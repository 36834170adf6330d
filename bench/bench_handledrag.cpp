// Drags a dead-zone handle of the stick page's bar across its whole range and back with
// 120 mouse moves a second, the circle following it as on the page, and reports how much of
// one core the GUI thread spends and which widgets were repainted. Runs on the platform
// given by QT_QPA_PLATFORM or DISPLAY, offscreen when there is neither.
#include "widgets/progressbar.h"
#include "widgets/stickdeadzone.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMap>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QPushButton>
#include <QRegion>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kMovesPerSecond = 120;
constexpr double kSweepSeconds = 2.0; // across the range and back
constexpr int kSweeps = 2;

double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Counts paint events per widget and collects the painted area in window coordinates.
class PaintLog : public QObject
{
public:
    explicit PaintLog(QWidget *window) : m_window(window) {}

    QMap<QString, int> counts;
    QRegion painted;

    void Clear()
    {
        counts.clear();
        painted = QRegion();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->window() == m_window) {
                const QString name = widget->objectName().isEmpty()
                                         ? QString::fromLatin1(widget->metaObject()->className())
                                         : widget->objectName();
                ++counts[name];
                const QPoint offset = widget->mapTo(m_window, QPoint(0, 0));
                painted += static_cast<QPaintEvent *>(event)->region().translated(offset);
            }
        }
        return false;
    }

private:
    QWidget *m_window;
};

struct Panel
{
    StickDeadZone *circle;
    ProgressBar *bar;
};

// One stick's dead-zone panel as the page lays it out: caption, circle and bar.
Panel AddPanel(QWidget *window, QPoint at, const QString &side)
{
    auto *panel = new QWidget(window);
    panel->setObjectName(QStringLiteral("wdgDeadZone") + side);
    panel->setGeometry(QRect(at, QSize(300, 400)));
    auto *caption = new QLabel(QStringLiteral("摇杆"), panel);
    caption->setGeometry(20, 0, 200, 24);
    caption->setStyleSheet(QStringLiteral("color:#FFFFFF;font-size:16px;"));
    Panel result{new StickDeadZone(panel), new ProgressBar(panel)};
    result.circle->setObjectName(QStringLiteral("wdgStick") + side);
    result.circle->setGeometry(50, 40, 200, 200);
    result.bar->setObjectName(QStringLiteral("wdgStickprogbar") + side);
    result.bar->setGeometry(48, 280, 204, 62);
    QObject::connect(result.bar, &ProgressBar::PosRightValue, result.circle,
                     &StickDeadZone::SetOutsideDeadArea);
    QObject::connect(result.bar, &ProgressBar::PosLeftValue, result.circle,
                     &StickDeadZone::SetInsideDeadArea);
    result.bar->setLeftValue(0);
    result.bar->setRightValue(0);
    return result;
}

void SendMouse(QWidget *target, QEvent::Type type, QPoint global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Presses the handle and moves the pointer along a triangle wave of the given span, one move
// every 1/120 s on the event loop's timers; returns when the sweeps are done.
struct DragResult
{
    int moves = 0;
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

DragResult DragHandle(QPushButton *handle, int span)
{
    const QPoint pressed = handle->mapToGlobal(handle->rect().center());
    SendMouse(handle, QEvent::MouseButtonPress, pressed, Qt::LeftButton, Qt::LeftButton);

    const int total = int(kSweeps * kSweepSeconds * kMovesPerSecond);
    const double half = kSweepSeconds * kMovesPerSecond / 2;
    DragResult result;
    QEventLoop loop;
    QElapsedTimer wall;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QPointer<QPushButton> target(handle);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!target || result.moves >= total) {
            loop.quit();
            return;
        }
        const double phase = std::fmod(result.moves + 1, 2 * half);
        const double along = phase <= half ? phase / half : 2 - phase / half;
        const QPoint global = pressed + QPoint(int(std::lround(along * span)), 0);
        SendMouse(target, QEvent::MouseMove, global, Qt::NoButton, Qt::LeftButton);
        ++result.moves;
        // Schedule against the start, so slow frames do not stretch the rate.
        const qint64 due = qint64(1000.0 * (result.moves + 1) / kMovesPerSecond);
        timer.start(int(qMax<qint64>(0, due - wall.elapsed())));
    });

    const double cpuStart = ThreadCpuSeconds();
    wall.start();
    timer.start(0);
    loop.exec();
    result.wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    result.cpuSeconds = ThreadCpuSeconds() - cpuStart;

    SendMouse(handle, QEvent::MouseButtonRelease, pressed, Qt::LeftButton, Qt::NoButton);
    return result;
}

void Settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void Report(const char *what, const DragResult &drag, const PaintLog &log, const QRegion &allowed,
            int valueChanges)
{
    const double percent = drag.wallSeconds > 0 ? 100.0 * drag.cpuSeconds / drag.wallSeconds : 0;
    std::printf("%s: %d moves in %.2f s, %d value changes, GUI thread CPU %.1f %% of one core "
                "(target under 20 %%)\n",
                what, drag.moves, drag.wallSeconds, valueChanges, percent);
    std::printf("  repainted:");
    for (auto it = log.counts.constBegin(); it != log.counts.constEnd(); ++it)
        std::printf(" %s x%d", qPrintable(it.key()), it.value());
    const QRect bounds = log.painted.boundingRect();
    const QRegion outside = log.painted.subtracted(allowed);
    std::printf("\n  painted area within (%d,%d %dx%d); outside the bar and its circle: %s\n",
                bounds.x(), bounds.y(), bounds.width(), bounds.height(),
                outside.isEmpty() ? "nothing"
                                  : qPrintable(QStringLiteral("%1 rects, bounds %2,%3 %4x%5")
                                                   .arg(outside.rectCount())
                                                   .arg(outside.boundingRect().x())
                                                   .arg(outside.boundingRect().y())
                                                   .arg(outside.boundingRect().width())
                                                   .arg(outside.boundingRect().height())));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });

    QWidget window;
    window.setObjectName(QStringLiteral("page"));
    window.setFixedSize(1060, 460);
    window.setStyleSheet(QStringLiteral("QWidget#page{background:#1b1b1b;}"));
    const Panel left = AddPanel(&window, QPoint(107, 30), QStringLiteral("L"));
    AddPanel(&window, QPoint(653, 30), QStringLiteral("R"));
    PaintLog log(&window);
    app.installEventFilter(&log);
    window.show();
    Settle(300);
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));

    const QRegion allowed =
        QRegion(QRect(left.bar->mapTo(&window, QPoint()), left.bar->size())) +
        QRegion(QRect(left.circle->mapTo(&window, QPoint()), left.circle->size()));
    auto *outer = left.bar->findChild<QPushButton *>(QStringLiteral("btnSolidR"));
    auto *inner = left.bar->findChild<QPushButton *>(QStringLiteral("btnSolidL"));
    if (!outer || !inner) {
        std::fprintf(stderr, "the bar has no handles\n");
        return 1;
    }

    int changes = 0;
    int last = -1;
    auto count = [&](int value) {
        changes += value != last;
        last = value;
    };
    QMetaObject::Connection counting =
        QObject::connect(left.bar, &ProgressBar::PosRightValueZ, count);
    log.Clear();
    // The outer handle starts at the right end: sweep leftwards to 100 % and back.
    const DragResult outerDrag = DragHandle(outer, -(outer->x() - inner->x() - inner->width()));
    Settle(100);
    Report("outer handle", outerDrag, log, allowed, changes);
    QObject::disconnect(counting);

    left.bar->setRightValue(0);
    Settle(100);
    changes = 0;
    last = -1;
    counting = QObject::connect(left.bar, &ProgressBar::PosLeftValueZ, count);
    log.Clear();
    const DragResult innerDrag = DragHandle(inner, outer->x() - inner->width() - inner->x());
    Settle(100);
    Report("inner handle", innerDrag, log, allowed, changes);
    return 0;
}
