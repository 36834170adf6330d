#include "widgets/customprogressbar.h"
#include "widgets/deadzoneexpan.h"
#include "widgets/progressbar.h"
#include "widgets/stickaxis.h"
#include "widgets/stickdeadzone.h"
#include "widgets/verprogressbar.h"

#include <QLabel>
#include <QPaintEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

// What a pixel shows, coarsely: enough to tell the painted layers apart.
QString Kind(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (r > 230 && g > 230 && b > 230)
        return QStringLiteral("white");
    if (r < 30 && g < 30 && b < 30)
        return QStringLiteral("black");
    if (r > 60 && r < 110 && g < 40 && b > 150 && b < 200)
        return QStringLiteral("orange on blue"); // translucent accent over the test background
    if (r < 20 && g < 20 && b > 240)
        return QStringLiteral("blue");
    if (g > 120 && r < 50 && b < 110)
        return QStringLiteral("green");
    if (qAbs(r - 52) < 15 && qAbs(g - 52) < 15 && qAbs(b - 52) < 15)
        return QStringLiteral("grey");
    return QStringLiteral("other");
}

QImage Render(QWidget &widget, const QColor &background = Qt::blue)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, background);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
    return widget.grab().toImage();
}

QString KindAt(const QImage &image, QPointF point)
{
    return Kind(image.pixel(point.toPoint()));
}

// Presses a handle at its centre, moves the pointer by each offset from the press point as a
// real mouse would (the handle moves under it) and releases.
void Drag(QWidget *handle, const QList<int> &offsets, Qt::Orientation orientation)
{
    const QPoint centre = handle->rect().center();
    const QPoint pressed = handle->mapToGlobal(centre);
    QTest::mousePress(handle, Qt::LeftButton, {}, centre);
    QPoint global = pressed;
    for (int offset : offsets) {
        global = pressed + (orientation == Qt::Horizontal ? QPoint(offset, 0) : QPoint(0, offset));
        QMouseEvent move(QEvent::MouseMove, handle->mapFromGlobal(global), global, Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
    }
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(global));
}

template <typename T> T *Child(QWidget &parent, const char *name)
{
    T *child = parent.findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}

class PaintRecorder : public StickDeadZone
{
public:
    QRegion painted;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        painted += event->region();
        StickDeadZone::paintEvent(event);
    }
};

} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    // Radii from the percentages, and what the painting shows at a distance from the centre.
    void deadZone_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("outside");
        QTest::addColumn<int>("inside");
        QTest::addColumn<int>("outer");
        QTest::addColumn<int>("inner");
        QTest::addColumn<int>("distance");
        QTest::addColumn<QString>("kind");
        QTest::newRow("no dead zones") << 200 << 0 << 0 << 97 << 0 << 90 << "orange on blue";
        QTest::newRow("full dead zones") << 200 << 100 << 100 << 0 << 97 << 90 << "black";
        QTest::newRow("halves truncate") << 200 << 50 << 50 << 48 << 48 << 60 << "blue";
        QTest::newRow("outer half") << 200 << 50 << 0 << 48 << 0 << 40 << "orange on blue";
        QTest::newRow("inner on top") << 200 << 0 << 50 << 97 << 48 << 30 << "black";
        QTest::newRow("outer past 100") << 200 << 150 << 0 << 0 << 0 << 40 << "blue";
        QTest::newRow("inner past 100") << 200 << 0 << 130 << 97 << 97 << 90 << "black";
        QTest::newRow("below 0") << 200 << -20 << -5 << 97 << 0 << 90 << "orange on blue";
        QTest::newRow("odd height") << 201 << 0 << 100 << 97 << 97 << 90 << "black";
        QTest::newRow("odd height, next up") << 203 << 0 << 100 << 98 << 98 << 90 << "black";
        QTest::newRow("smaller than the margin") << 5 << 0 << 100 << 0 << 0 << 0 << "";
    }

    void deadZone()
    {
        QFETCH(int, height);
        QFETCH(int, outside);
        QFETCH(int, inside);
        QFETCH(int, distance);
        QFETCH(QString, kind);
        StickDeadZone zone;
        zone.resize(200, height);
        zone.SetOutsideDeadArea(outside);
        zone.SetInsideDeadArea(inside);
        QTEST(zone.OuterRadius(), "outer");
        QTEST(zone.InnerRadius(), "inner");
        if (!kind.isEmpty())
            QCOMPARE(KindAt(Render(zone), QPoint(100 + distance, height / 2)), kind);
        // The same percentages after a resize give the radii of the new size.
        zone.resize(200, 2 * height);
        zone.resize(200, height);
        QTEST(zone.OuterRadius(), "outer");
    }

    void stickDot_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QPointF>("dot");
        QTest::newRow("centred") << 200 << 32768 << 32768 << QPointF(100, 100);
        QTest::newRow("full left") << 200 << 0 << 32768 << QPointF(3, 100);
        QTest::newRow("full right") << 200 << 65535 << 32768 << QPointF(196.99704, 100);
        QTest::newRow("full up") << 200 << 32768 << 0 << QPointF(100, 3);
        QTest::newRow("full down") << 200 << 32768 << 65535 << QPointF(100, 196.99704);
        QTest::newRow("corner onto the rim") << 200 << 0 << 0 << QPointF(31.4108, 31.4108);
        QTest::newRow("odd height") << 201 << 0 << 32768 << QPointF(3, 100);
    }

    void stickDot()
    {
        QFETCH(int, height);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QPointF, dot);
        StickDeadZone zone;
        zone.resize(200, height);
        QVERIFY(!zone.HasStickPosition());
        QVERIFY(KindAt(Render(zone), dot) != "white");

        zone.SetStickPosition(quint16(x), quint16(y));
        QVERIFY(zone.HasStickPosition());
        QVERIFY(QLineF(zone.StickDot(), dot).length() < 0.01);
        QCOMPARE(KindAt(Render(zone), dot), QStringLiteral("white"));

        zone.ClearStickPosition();
        QVERIFY(!zone.HasStickPosition());
        QVERIFY(KindAt(Render(zone), dot) != "white");
    }

    // A moving stick repaints the dot's old and new places, not the whole widget.
    void stickDotRepaintsLocally()
    {
        PaintRecorder zone;
        zone.resize(200, 200);
        zone.show();
        QVERIFY(QTest::qWaitForWindowExposed(&zone));
        zone.SetStickPosition(8192, 32768);
        QTRY_VERIFY(!zone.painted.isEmpty());
        const QPoint before = zone.StickDot().toPoint();
        zone.painted = QRegion();

        zone.SetStickPosition(57344, 32768);
        QTRY_VERIFY(!zone.painted.isEmpty());
        QVERIFY(zone.painted.contains(before));
        QVERIFY(zone.painted.contains(zone.StickDot().toPoint()));
        QVERIFY(!zone.painted.contains(QPoint(100, 100)));
    }

    void verBarSetters_data()
    {
        QTest::addColumn<int>("up");
        QTest::addColumn<int>("down");
        QTest::addColumn<int>("upY");
        QTest::addColumn<int>("downY");
        QTest::addColumn<QRect>("fill");
        QTest::addColumn<QString>("upText");
        QTest::addColumn<QString>("downText");
        QTest::newRow("both at the top") << 0 << 100 << 2 << 14 << QRect(4, 8, 13, 11) << "0%"
                                         << "100%";
        QTest::newRow("both at the bottom")
            << 100 << 0 << 140 << 150 << QRect(4, 146, 13, 9) << "100%"
            << "0%";
        QTest::newRow("halves") << 50 << 50 << 71 << 82 << QRect(4, 77, 13, 10) << "50%"
                                << "50%";
        QTest::newRow("out of range") << 150 << -5 << 140 << 150 << QRect(4, 146, 13, 9) << "100%"
                                      << "0%";
    }

    void verBarSetters()
    {
        QFETCH(int, up);
        QFETCH(int, down);
        VerProgressBar bar;
        QSignalSpy upSpy(&bar, &VerProgressBar::PosUpValue);
        QSignalSpy downSpy(&bar, &VerProgressBar::PosDownValue);
        bar.setUpValue(up);
        bar.setDownValue(down);
        QTEST(Child<QPushButton>(bar, "btnSolidUp")->y(), "upY");
        QTEST(Child<QPushButton>(bar, "btnSolidDonw")->y(), "downY");
        QTEST(Child<QLabel>(bar, "lblSolid")->geometry(), "fill");
        QTEST(Child<QLabel>(bar, "lblTextUp")->text(), "upText");
        QTEST(Child<QLabel>(bar, "lblTextDown")->text(), "downText");
        QCOMPARE(upSpy.count() + downSpy.count(), 0);
    }

    void verBarDrag_data()
    {
        QTest::addColumn<bool>("top");
        QTest::addColumn<int>("up");
        QTest::addColumn<int>("down");
        QTest::addColumn<QList<int>>("offsets");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("y");
        QTest::newRow("top down") << true << 0 << 0 << QList<int>{30} << 22 << 32;
        QTest::newRow("top in steps") << true << 0 << 0 << QList<int>{10, 20, 30} << 22 << 32;
        QTest::newRow("top halts 12 above the bottom")
            << true << 0 << 0 << QList<int>{300} << 100 << 138;
        QTest::newRow("top halts above a raised bottom")
            << true << 0 << 50 << QList<int>{300} << 50 << 70;
        QTest::newRow("top above its start") << true << 50 << 0 << QList<int>{-200} << 0 << 2;
        QTest::newRow("bottom up") << false << 0 << 0 << QList<int>{-68} << 50 << 82;
        QTest::newRow("bottom halts 12 below the top")
            << false << 50 << 0 << QList<int>{-300} << 49 << 83;
        QTest::newRow("bottom below its limit") << false << 0 << 50 << QList<int>{300} << 0 << 150;
    }

    void verBarDrag()
    {
        QFETCH(bool, top);
        QFETCH(int, up);
        QFETCH(int, down);
        QFETCH(QList<int>, offsets);
        QFETCH(int, value);
        VerProgressBar bar;
        bar.setUpValue(up);
        bar.setDownValue(down);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QSignalSpy upSpy(&bar, &VerProgressBar::PosUpValue);
        QSignalSpy downSpy(&bar, &VerProgressBar::PosDownValue);
        QPushButton *handle = Child<QPushButton>(bar, top ? "btnSolidUp" : "btnSolidDonw");

        Drag(handle, offsets, Qt::Vertical);
        QTEST(handle->y(), "y");
        QSignalSpy &spy = top ? upSpy : downSpy;
        QCOMPARE(spy.count(), offsets.size());
        QCOMPARE(spy.last().at(0).toInt(), value);
        QCOMPARE((top ? downSpy : upSpy).count(), 0);
        QCOMPARE(Child<QLabel>(bar, top ? "lblTextUp" : "lblTextDown")->text(),
                 QStringLiteral("%1%").arg(value));
        QCOMPARE(top ? bar.upValue() : bar.downValue(), value);
    }

    void barSetters_data()
    {
        QTest::addColumn<bool>("two");
        QTest::addColumn<bool>("left");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("emitted");
        QTest::addColumn<QRect>("fill");
        QTest::newRow("single, past 100")
            << false << false << 150 << 144 << "100%" << 100 << QRect(14, 4, 142, 6);
        QTest::newRow("single, below 0")
            << false << false << -10 << 2 << "0%" << 0 << QRect(14, 4, 0, 6);
        QTest::newRow("single, half")
            << false << false << 50 << 73 << "50%" << 50 << QRect(14, 4, 71, 6);
        QTest::newRow("outer 0") << true << false << 0 << 145 << "外死区: 0%" << 0
                                 << QRect(14, 4, 143, 6);
        QTest::newRow("outer 100")
            << true << false << 100 << 26 << "外死区: 100%" << 100 << QRect(14, 4, 24, 6);
        QTest::newRow("outer 30") << true << false << 30 << 109 << "外死区: 30%" << 30
                                  << QRect(14, 4, 107, 6);
        QTest::newRow("inner 50") << true << true << 50 << 61 << "内死区: 50%" << 50
                                  << QRect(73, 4, 84, 6);
        QTest::newRow("inner past 100")
            << true << true << 120 << 120 << "内死区: 100%" << 100 << QRect(132, 4, 25, 6);
    }

    void barSetters()
    {
        QFETCH(bool, two);
        QFETCH(bool, left);
        QFETCH(int, value);
        QFETCH(int, emitted);
        ProgressBar bar;
        bar.setTwoHandles(two);
        QSignalSpy leftSpy(&bar, &ProgressBar::PosLeftValue);
        QSignalSpy rightSpy(&bar, &ProgressBar::PosRightValue);
        QSignalSpy leftZSpy(&bar, &ProgressBar::PosLeftValueZ);
        QSignalSpy rightZSpy(&bar, &ProgressBar::PosRightValueZ);
        if (left)
            bar.setLeftValue(value);
        else
            bar.setRightValue(value);

        QTEST(Child<QPushButton>(bar, left ? "btnSolidL" : "btnSolidR")->x(), "x");
        QTEST(Child<QLabel>(bar, left ? "lblTextL" : "lblTextR")->text(), "text");
        QTEST(Child<QLabel>(bar, "lblSolid")->geometry(), "fill");
        QSignalSpy &spy = left ? leftSpy : rightSpy;
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), emitted);
        QCOMPARE((left ? rightSpy : leftSpy).count(), 0);
        QCOMPARE(leftZSpy.count() + rightZSpy.count(), 0);
        QCOMPARE(left ? bar.leftValue() : bar.rightValue(), emitted);
    }

    void barDrag_data()
    {
        QTest::addColumn<bool>("two");
        QTest::addColumn<int>("inner");
        QTest::addColumn<int>("outer");
        QTest::addColumn<bool>("left");
        QTest::addColumn<QList<int>>("offsets");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("text");
        QTest::newRow("inner") << true << 0 << 0 << true << QList<int>{59} << true << 50 << 61
                               << "内死区: 50%";
        QTest::newRow("inner rounds up")
            << true << 0 << 0 << true << QList<int>{60} << true << 51 << 62 << "内死区: 51%";
        QTest::newRow("inner in steps") << true << 0 << 0 << true << QList<int>{20, 40, 60} << true
                                        << 51 << 62 << "内死区: 51%";
        QTest::newRow("inner below its start")
            << true << 30 << 0 << true << QList<int>{-100} << true << 0 << 2 << "内死区: 0%";
        QTest::newRow("inner up to the outer")
            << true << 0 << 10 << true << QList<int>{106} << true << 90 << 108 << "内死区: 90%";
        QTest::newRow("inner past the outer refused")
            << true << 0 << 10 << true << QList<int>{500} << false << 0 << 2 << "内死区: 0%";
        QTest::newRow("outer") << true << 0 << 0 << false << QList<int>{-59} << true << 49 << 86
                               << "外死区: 49%";
        QTest::newRow("outer up to the inner")
            << true << 60 << 0 << false << QList<int>{-48} << true << 40 << 97 << "外死区: 40%";
        QTest::newRow("outer past the inner refused")
            << true << 60 << 0 << false << QList<int>{-500} << false << 0 << 145 << "外死区: 0%";
        QTest::newRow("single") << false << 0 << 0 << false << QList<int>{71} << true << 50 << 73
                                << "50%";
        QTest::newRow("single past its end")
            << false << 0 << 0 << false << QList<int>{500} << true << 100 << 144 << "100%";
        QTest::newRow("single below its start")
            << false << 0 << 50 << false << QList<int>{-500} << true << 0 << 2 << "0%";
    }

    void barDrag()
    {
        QFETCH(bool, two);
        QFETCH(int, inner);
        QFETCH(int, outer);
        QFETCH(bool, left);
        QFETCH(QList<int>, offsets);
        QFETCH(bool, applied);
        QFETCH(int, value);
        ProgressBar bar;
        bar.setTwoHandles(two);
        bar.setLeftValue(inner);
        bar.setRightValue(outer);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QSignalSpy plain(&bar, left ? &ProgressBar::PosLeftValue : &ProgressBar::PosRightValue);
        QSignalSpy dragged(&bar, left ? &ProgressBar::PosLeftValueZ : &ProgressBar::PosRightValueZ);
        QSignalSpy other(&bar, left ? &ProgressBar::PosRightValue : &ProgressBar::PosLeftValue);
        QPushButton *handle = Child<QPushButton>(bar, left ? "btnSolidL" : "btnSolidR");

        Drag(handle, offsets, Qt::Horizontal);
        QTEST(handle->x(), "x");
        QTEST(Child<QLabel>(bar, left ? "lblTextL" : "lblTextR")->text(), "text");
        QCOMPARE(plain.count(), applied ? offsets.size() : 0);
        QCOMPARE(dragged.count(), plain.count());
        if (applied) {
            QCOMPARE(plain.last().at(0).toInt(), value);
            QCOMPARE(dragged.last().at(0).toInt(), value);
        }
        QCOMPARE(other.count(), 0);
        QCOMPARE(left ? bar.leftValue() : bar.rightValue(), applied ? value : left ? inner : outer);
    }

    // The frame turns white while a handle is hovered or the bar is edited; a handle while it
    // has the controller focus.
    void highlight_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("white");
        for (bool vertical : {false, true}) {
            const char *bar = vertical ? "vertical, " : "horizontal, ";
            const QString frame = QStringLiteral("wdgProBarBorder");
            QTest::addRow("%sat rest", bar) << vertical << frame << QStringList() << false;
            QTest::addRow("%shovered", bar) << vertical << frame << QStringList{"enter"} << true;
            QTest::addRow("%shover left", bar)
                << vertical << frame << QStringList{"enter", "leave"} << false;
            QTest::addRow("%sediting", bar) << vertical << frame << QStringList{"edit"} << true;
            QTest::addRow("%shover left while editing", bar)
                << vertical << frame << QStringList{"edit", "enter", "leave"} << true;
            QTest::addRow("%sediting ended", bar)
                << vertical << frame << QStringList{"edit", "done"} << false;
            const QStringList handles = vertical ? QStringList{"btnSolidUp", "btnSolidDonw"}
                                                 : QStringList{"btnSolidL", "btnSolidR"};
            for (const QString &name : handles) {
                QTest::addRow("%s", qPrintable(name))
                    << vertical << name << QStringList{"focus"} << true;
                QTest::addRow("%s, focus gone", qPrintable(name))
                    << vertical << name << QStringList{"focus", "unfocus"} << false;
            }
        }
    }

    void highlight()
    {
        QFETCH(bool, vertical);
        QFETCH(QString, name);
        QFETCH(QStringList, steps);
        VerProgressBar verBar;
        ProgressBar bar;
        QWidget &widget = vertical ? static_cast<QWidget &>(verBar) : bar;
        const bool first = name == "btnSolidL" || name == "btnSolidUp";
        QWidget *hovered = Child<QPushButton>(widget, vertical ? "btnSolidUp" : "btnSolidR");
        for (const QString &step : steps) {
            if (step == "enter" || step == "leave") {
                QEvent event(step == "enter" ? QEvent::Enter : QEvent::Leave);
                QApplication::sendEvent(hovered, &event);
            } else if (step == "edit" || step == "done") {
                vertical ? verBar.setEditing(step == "edit") : bar.setEditing(step == "edit");
            } else if (vertical) {
                first ? verBar.setUpFocus(step == "focus") : verBar.setDownFocus(step == "focus");
            } else {
                first ? bar.setLeftFocus(step == "focus") : bar.setRightFocus(step == "focus");
            }
        }
        QWidget *shown = Child<QWidget>(widget, qPrintable(name));
        const QString kind = KindAt(Render(*shown, Qt::black), QPoint(1, shown->height() / 2));
        QTEST(kind == "white", "white");
        QVERIFY(kind == "white" || kind == "grey");
    }

    void loadingBar_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("chunk");
        QTest::addColumn<QString>("text");
        QTest::newRow("half") << 200 << 100 << 199 << "10%";
        QTest::newRow("full") << 200 << 200 << 399 << "20%";
        QTest::newRow("empty") << 200 << 0 << 0 << "0%";
        QTest::newRow("no range") << 0 << 50 << 0 << "5%";
    }

    void loadingBar()
    {
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(int, chunk);
        CustomProgressBar bar;
        QCOMPARE(bar.maximum(), 200);
        QVERIFY(!bar.isTextVisible());
        bar.resize(400, 60);
        bar.setMaximum(maximum);
        bar.setValue(value);
        QTEST(bar.ChunkWidth(), "chunk");
        QTEST(bar.text(), "text");

        const QImage plain = Render(bar);
        if (chunk > 0)
            QCOMPARE(KindAt(plain, QPoint(chunk / 2, 30)), QStringLiteral("green"));
        QVERIFY(KindAt(plain, QPoint((chunk + 400) / 2, 30)) != "green");
        // The text is drawn only when asked for, and never without a range.
        bar.setTextVisible(true);
        QCOMPARE(Render(bar) != plain, maximum > 0);
    }

    void axisPoints_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("percent");
        QTest::addColumn<QPointF>("pixels");
        QTest::newRow("below the margin") << QSize(100, 100) << QPoint(0, 0) << QPointF(7, 97);
        QTest::newRow("at the far margin") << QSize(100, 100) << QPoint(95, 95) << QPointF(97, 7);
        QTest::newRow("past 100") << QSize(100, 100) << QPoint(100, 100) << QPointF(97, 7);
        QTest::newRow("middle") << QSize(100, 100) << QPoint(50, 50) << QPointF(52, 52);
        QTest::newRow("page size") << QSize(400, 300) << QPoint(50, 20) << QPointF(187, 232);
        QTest::newRow("narrower than the inset") << QSize(10, 10) << QPoint(95, 5) << QPointF(2, 2);
    }

    void axisPoints()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, percent);
        StickAxis axis;
        QCOMPARE(axis.size(), QSize(400, 300));
        axis.resize(size);
        axis.setPoint1(percent.x(), percent.y());
        QTEST(axis.point1(), "pixels");
        axis.setPoint2(percent.x(), percent.y());
        QTEST(axis.point2(), "pixels");
    }

    void expanDisc_data()
    {
        QTest::addColumn<int>("radius");
        QTest::addColumn<int>("distance"); // along the diagonal, from the centre of 200 x 200
        QTest::addColumn<bool>("inDisc");
        QTest::newRow("radius 0") << 0 << 10 << false;
        QTest::newRow("inside") << 40 << 30 << true;
        QTest::newRow("outside") << 40 << 50 << false;
        QTest::newRow("negative") << -10 << 10 << false;
    }

    void expanDisc()
    {
        QFETCH(int, radius);
        QFETCH(int, distance);
        QFETCH(bool, inDisc);
        DeadZoneExpan expan;
        expan.resize(200, 200);
        expan.SetRadius(radius);
        QCOMPARE(expan.Radius(), qMax(0, radius));
        const QImage image = Render(expan, Qt::black);
        const int offset = qRound(distance / std::sqrt(2.0));
        const QRgb probe = image.pixel(100 + offset, 100 + offset);
        QCOMPARE(qRed(probe) > 20, inDisc);
        QCOMPARE(KindAt(image, QPoint(50, 100)), QStringLiteral("grey")); // the cross-hair
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
