#include "icons.h"

#include "painting.h"
#include "strokefont.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QVector>
#include <QtMath>

namespace {

constexpr qreal kGrid = 48; // design space of the square icons

// Begins a square icon: painter mapped to 48 x 48 units.
struct IconSpace
{
    IconSpace(QPainter &painter, const QRectF &target, qreal w = kGrid, qreal h = kGrid)
        : p(painter)
    {
        p.save();
        fitDesign(p, target, w, h);
    }
    ~IconSpace() { p.restore(); }
    QPainter &p;
};

void arrowHead(QPainter &p, const QPointF &tip, qreal angleDeg, qreal size, const QColor &c)
{
    p.save();
    p.translate(tip);
    p.rotate(angleDeg);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPolygonF head;
    head << QPointF(size, 0) << QPointF(-size * 0.5, -size * 0.75)
         << QPointF(-size * 0.5, size * 0.75);
    p.drawPolygon(head);
    p.restore();
}

void pencil(QPainter &p, const QColor &c)
{
    p.setPen(linePen(c, 3));
    p.setBrush(Qt::NoBrush);
    QPainterPath body(QPointF(12, 36));
    body.lineTo(14, 28);
    body.lineTo(31, 11);
    body.lineTo(37, 17);
    body.lineTo(20, 34);
    body.closeSubpath();
    p.drawPath(body);
    p.drawLine(QPointF(27, 15), QPointF(33, 21));
    p.drawLine(QPointF(10, 39), QPointF(38, 39));
}

void bin(QPainter &p, const QColor &c)
{
    p.setPen(linePen(c, 3));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(11, 14), QPointF(37, 14));
    p.drawLine(QPointF(20, 14), QPointF(21, 9));
    p.drawLine(QPointF(21, 9), QPointF(27, 9));
    p.drawLine(QPointF(27, 9), QPointF(28, 14));
    QPainterPath can(QPointF(14, 14));
    can.lineTo(16, 38);
    can.lineTo(32, 38);
    can.lineTo(34, 14);
    p.drawPath(can);
    p.drawLine(QPointF(21, 20), QPointF(21.5, 32));
    p.drawLine(QPointF(27, 20), QPointF(26.5, 32));
}

void checkMark(QPainter &p, const QColor &c, qreal width)
{
    p.setPen(linePen(c, width));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick(QPointF(14, 25));
    tick.lineTo(21, 32);
    tick.lineTo(35, 17);
    p.drawPath(tick);
}

void triggerFill(QPainter &p, const QString &label)
{
    const QPainterPath tab = triggerTab(QRectF(9, 6, 30, 36));
    QLinearGradient g(0, 6, 0, 42);
    g.setColorAt(0, Ink::kAccent.lighter(120));
    g.setColorAt(1, Ink::kAccentDeep);
    p.setPen(QPen(Ink::kWhite, 2));
    p.setBrush(g);
    p.drawPath(tab);
    StrokeFont::drawCentred(p, label, {24, 29}, 10, 2.2, Ink::kWhite, 0.12);
}

void pressDown(QPainter &p)
{
    const QPainterPath tab = triggerTab(QRectF(6, 4, 22, 38));
    p.setPen(QPen(Ink::kText, 2.5));
    p.setBrush(withAlpha(Ink::kAccent, 230));
    p.drawPath(tab);
    p.setPen(linePen(Ink::kText, 4));
    p.drawLine(QPointF(38, 8), QPointF(38, 32));
    arrowHead(p, {38, 38}, 90, 7, Ink::kText);
}

void spinArrow(QPainter &p)
{
    p.setPen(QPen(Ink::kText, 2.5));
    p.setBrush(Ink::kPanel);
    p.drawEllipse(QPointF(24, 24), 9, 9);
    p.setBrush(Ink::kAccent);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(24, 24), 4, 4);
    p.setPen(linePen(Ink::kText, 3));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(6, 6, 36, 36);
    p.drawArc(ring, 100 * 16, 300 * 16);
    arrowHead(p,
              {24 + 18 * qCos(qDegreesToRadians(100.0)), 24 - 18 * qSin(qDegreesToRadians(100.0))},
              180 + 10, 5.5, Ink::kText);
}

void download(QPainter &p)
{
    p.setPen(linePen(Ink::kAccent, 4));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(24, 6), QPointF(24, 28));
    QPainterPath head(QPointF(14, 20));
    head.lineTo(24, 30);
    head.lineTo(34, 20);
    p.drawPath(head);
    p.setPen(linePen(Ink::kText, 4));
    QPainterPath tray(QPointF(7, 30));
    tray.lineTo(7, 40);
    tray.lineTo(41, 40);
    tray.lineTo(41, 30);
    p.drawPath(tray);
}

void statusBadge(QPainter &p, bool ok)
{
    const QColor c = ok ? Ink::kHighlight : Ink::kAccent;
    glow(p, {24, 24}, 24, withAlpha(c, 90));
    if (ok) {
        p.setPen(QPen(c, 3.5));
        p.setBrush(withAlpha(c, 40));
        p.drawEllipse(QPointF(24, 24), 18, 18);
        checkMark(p, Ink::kWhite, 4);
        return;
    }
    QPainterPath tri(QPointF(24, 7));
    tri.lineTo(42, 39);
    tri.lineTo(6, 39);
    tri.closeSubpath();
    p.setPen(QPen(c, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(withAlpha(c, 40));
    p.drawPath(tri);
    p.setPen(linePen(Ink::kWhite, 4));
    p.drawLine(QPointF(24, 18), QPointF(24, 28));
    p.drawPoint(QPointF(24, 34));
}

} // namespace

namespace Icons {

void faceGlyph(QPainter &p, const QRectF &target, const QString &letter, bool solid)
{
    IconSpace s(p, target);
    if (solid) {
        QRadialGradient g(QPointF(20, 18), 26);
        g.setColorAt(0, Ink::kAccent.lighter(115));
        g.setColorAt(1, Ink::kAccentDeep);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
    } else {
        p.setPen(QPen(Ink::kWhite, 2.5));
        p.setBrush(Ink::kPanel);
    }
    p.drawEllipse(QPointF(24, 24), 21.5, 21.5);
    StrokeFont::drawCentred(p, letter, {24, 24}, 19, 3.6, Ink::kWhite);
}

bool uiIcon(QPainter &p, const QRectF &target, const QString &name)
{
    IconSpace s(p, target);
    if (name == QLatin1String("download")) {
        download(p);
    } else if (name == QLatin1String("pressdown")) {
        pressDown(p);
    } else if (name == QLatin1String("spin")) {
        spinArrow(p);
    } else if (name == QLatin1String("plus")) {
        p.setPen(linePen(Ink::kWhite, 5));
        p.drawLine(QPointF(24, 10), QPointF(24, 38));
        p.drawLine(QPointF(10, 24), QPointF(38, 24));
    } else if (name == QLatin1String("ltfill") || name == QLatin1String("rtfill")) {
        triggerFill(p,
                    name == QLatin1String("ltfill") ? QStringLiteral("LT") : QStringLiteral("RT"));
    } else if (name == QLatin1String("edit")) {
        pencil(p, Ink::kText);
    } else if (name == QLatin1String("editfocus")) {
        pencil(p, Ink::kAccent);
    } else if (name == QLatin1String("editing")) {
        checkMark(p, Ink::kHighlight, 4.5);
    } else if (name == QLatin1String("delete")) {
        bin(p, Ink::kText);
    } else if (name == QLatin1String("deletefocus")) {
        bin(p, Ink::kAccent);
    } else if (name == QLatin1String("arrow") || name == QLatin1String("arrowselected")) {
        const QColor c = name == QLatin1String("arrow") ? Ink::kText : Ink::kAccent;
        p.setPen(linePen(c, 4));
        p.drawLine(QPointF(8, 24), QPointF(34, 24));
        QPainterPath head(QPointF(26, 14));
        head.lineTo(38, 24);
        head.lineTo(26, 34);
        p.drawPath(head);
    } else if (name == QLatin1String("arrowdown")) {
        p.setPen(Qt::NoPen);
        p.setBrush(Ink::kAccent);
        QPainterPath tri(QPointF(8, 14));
        tri.lineTo(40, 14);
        tri.lineTo(24, 34);
        tri.closeSubpath();
        p.drawPath(tri);
    } else if (name == QLatin1String("check") || name == QLatin1String("warning")) {
        statusBadge(p, name == QLatin1String("check"));
    } else {
        return false;
    }
    return true;
}

void spinner(QPainter &p, const QRectF &target, int frame, int frames)
{
    IconSpace s(p, target);
    constexpr int kDots = 12;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < kDots; ++i) {
        // Brightness falls off behind the head; with three frames the pattern repeats
        // every three dots, so frame k+1 is frame k turned by one dot.
        const int period = frames == 3 ? 3 : kDots;
        const int behind = ((frame * kDots / frames) - i + kDots * 4) % period;
        const qreal t = 1.0 - qreal(behind) / period;
        const qreal a = i * 2 * M_PI / kDots - M_PI / 2;
        const QPointF c(24 + qCos(a) * 17, 24 + qSin(a) * 17);
        // Opaque dots fading to grey, so the animation needs no partial transparency.
        const qreal k = t * t;
        const QColor tail(0x4a, 0x4a, 0x4a);
        p.setBrush(QColor::fromRgbF(tail.redF() + (Ink::kAccent.redF() - tail.redF()) * k,
                                    tail.greenF() + (Ink::kAccent.greenF() - tail.greenF()) * k,
                                    tail.blueF() + (Ink::kAccent.blueF() - tail.blueF()) * k));
        p.drawEllipse(c, 2.4 + 1.8 * t, 2.4 + 1.8 * t);
    }
}

void responseCurve(QPainter &p, const QRectF &target, const QVector<QPointF> &points)
{
    IconSpace s(p, target, 200, 200);
    p.setPen(QPen(withAlpha(Ink::kWhite, 40), 1.5));
    p.setBrush(withAlpha(Ink::kDeep, 230));
    p.drawRoundedRect(QRectF(2, 2, 196, 196), 14, 14);
    const QRectF plot(22, 22, 156, 156);
    p.setPen(QPen(withAlpha(Ink::kWhite, 26), 1));
    for (int i = 1; i < 4; ++i) {
        const qreal x = plot.left() + plot.width() * i / 4;
        const qreal y = plot.top() + plot.height() * i / 4;
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    p.setPen(QPen(withAlpha(Ink::kWhite, 70), 1.5, Qt::DashLine));
    p.drawLine(plot.bottomLeft(), plot.topRight());
    p.setPen(QPen(withAlpha(Ink::kWhite, 110), 2));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());

    auto map = [&](const QPointF &v) {
        return QPointF(plot.left() + plot.width() * v.x() / 100,
                       plot.bottom() - plot.height() * v.y() / 100);
    };
    QVector<QPointF> pts{map({0, 0})};
    for (const QPointF &v : points)
        pts << map(v);
    pts << map({100, 100});
    // A Catmull-Rom spline through the points, as cubic segments.
    QPainterPath curve(pts.first());
    for (int i = 0; i + 1 < pts.size(); ++i) {
        const QPointF p0 = pts[qMax(i - 1, 0)], p1 = pts[i], p2 = pts[i + 1];
        const QPointF p3 = pts[qMin(i + 2, pts.size() - 1)];
        curve.cubicTo(p1 + (p2 - p0) / 6, p2 - (p3 - p1) / 6, p2);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(Ink::kAccent, 70), 10, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    p.setPen(QPen(Ink::kAccent, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    p.setPen(QPen(Ink::kAccent, 2));
    p.setBrush(Ink::kWhite);
    for (int i = 1; i + 1 < pts.size(); ++i)
        p.drawEllipse(pts[i], 4.5, 4.5);
}

void toggle(QPainter &p, const QRectF &target, bool on, bool focused)
{
    IconSpace s(p, target, 64, 34);
    const QRectF track(3, 3, 58, 28);
    if (focused) {
        p.setPen(QPen(Ink::kWhite, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track.adjusted(-2, -2, 2, 2), 16, 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(on ? Ink::kAccent : QColor(0x5a, 0x5a, 0x5a));
    p.drawRoundedRect(track.adjusted(2, 2, -2, -2), 12, 12);
    const QPointF knob(on ? 47 : 17, 17);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(knob + QPointF(0, 1.2), 10.5, 10.5);
    p.setBrush(on ? Ink::kWhite : QColor(0xcf, 0xcf, 0xcf));
    p.drawEllipse(knob, 10, 10);
}

void radio(QPainter &p, const QRectF &target, bool on)
{
    IconSpace s(p, target, 28, 28);
    p.setPen(QPen(on ? Ink::kAccent : Ink::kMuted, 2.2));
    p.setBrush(on ? withAlpha(Ink::kAccent, 40) : QColor(Qt::transparent));
    p.drawEllipse(QPointF(14, 14), 11.5, 11.5);
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(Ink::kAccent);
        p.drawEllipse(QPointF(14, 14), 6, 6);
    }
}

void titleButton(QPainter &p, const QRectF &target, const QString &kind, int state)
{
    IconSpace s(p, target, 48, 32);
    const bool close = kind == QLatin1String("close");
    if (state > 0) {
        const QColor hover = close ? Ink::kAccent : QColor(0x4a, 0x48, 0x49);
        const QColor pressed = close ? Ink::kAccentDeep : QColor(0x5e, 0x5c, 0x5d);
        p.fillRect(QRectF(0, 0, 48, 32), state == 1 ? hover : pressed);
    }
    p.setPen(QPen(state > 0 ? Ink::kWhite : Ink::kText, 1.6, Qt::SolidLine, Qt::SquareCap));
    if (close) {
        p.drawLine(QPointF(19, 11), QPointF(29, 21));
        p.drawLine(QPointF(29, 11), QPointF(19, 21));
    } else {
        p.drawLine(QPointF(18.5, 16.5), QPointF(29.5, 16.5));
    }
}

} // namespace Icons
