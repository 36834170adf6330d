#include "icons.h"

#include "painting.h"
#include "strokefont.h"

#include <QPainterPath>
#include <QtMath>

// The navigation icons and the indicators of the input test.

namespace {

struct Space
{
    Space(QPainter &painter, const QRectF &target, qreal w, qreal h) : p(painter)
    {
        p.save();
        fitDesign(p, target, w, h);
    }
    ~Space() { p.restore(); }
    QPainter &p;
};

// An open arrow head at tip, pointing along the unit direction d.
void chevron(QPainter &p, const QPointF &tip, const QPointF &d)
{
    const QPointF n(-d.y(), d.x());
    p.drawLine(tip, tip - d * 6 + n * 6);
    p.drawLine(tip, tip - d * 6 - n * 6);
}

void arrowLine(QPainter &p, const QPointF &from, const QPointF &to)
{
    p.drawLine(from, to);
    chevron(p, to, (to - from) / QLineF(from, to).length());
}

QPainterPath padOutline()
{
    QPainterPath path(QPointF(14, 13));
    path.lineTo(34, 13);
    path.cubicTo(41, 13, 44, 20, 45, 28);
    path.cubicTo(46, 36, 43, 40, 39, 40);
    path.cubicTo(35, 40, 33, 34, 30, 32);
    path.lineTo(18, 32);
    path.cubicTo(15, 34, 13, 40, 9, 40);
    path.cubicTo(5, 40, 2, 36, 3, 28);
    path.cubicTo(4, 20, 7, 13, 14, 13);
    path.closeSubpath();
    return path;
}

void zigzag(QPainter &p, qreal x)
{
    QPainterPath z(QPointF(x, 14));
    for (int i = 0; i < 4; ++i)
        z.lineTo(x + (i % 2 == 0 ? -4 : 0), 19 + i * 5);
    p.drawPath(z);
}

void drawNav(QPainter &p, const QString &name)
{
    p.setBrush(Qt::NoBrush);
    if (name == QLatin1String("Home")) {
        for (int i = 0; i < 4; ++i)
            p.drawRoundedRect(QRectF(9 + (i % 2) * 16, 9 + (i / 2) * 16, 14, 14), 3.5, 3.5);
    } else if (name == QLatin1String("Test")) {
        p.drawPath(padOutline());
        p.drawLine(QPointF(10, 22), QPointF(18, 22));
        p.drawLine(QPointF(14, 18), QPointF(14, 26));
        p.drawPoint(QPointF(33, 20));
        p.drawPoint(QPointF(38, 25));
    } else if (name == QLatin1String("Calibration")) {
        p.drawEllipse(QPointF(24, 24), 14, 14);
        for (int i = 0; i < 4; ++i) {
            p.save();
            p.translate(24, 24);
            p.rotate(i * 90);
            p.drawLine(QPointF(0, -20), QPointF(0, -9));
            p.restore();
        }
        p.drawPoint(QPointF(24, 24));
    } else if (name == QLatin1String("Mapping")) {
        arrowLine(p, {9, 17}, {39, 17});
        arrowLine(p, {39, 31}, {9, 31});
    } else if (name == QLatin1String("Turbo")) {
        QPolygonF bolt;
        bolt << QPointF(28, 5) << QPointF(12, 27) << QPointF(22.5, 27) << QPointF(19, 43)
             << QPointF(36, 20) << QPointF(25.5, 20) << QPointF(28, 5);
        p.drawPolygon(bolt);
    } else if (name == QLatin1String("Stick")) {
        p.drawEllipse(QPointF(24, 24), 18, 18);
        p.save();
        p.setBrush(p.pen().color());
        p.drawEllipse(QPointF(27, 21), 7.5, 7.5);
        p.restore();
        p.drawArc(QRectF(11, 11, 26, 26), 200 * 16, 70 * 16);
    } else if (name == QLatin1String("Trigger")) {
        // The trigger blade from the side, and the pull.
        QPainterPath blade(QPointF(18, 7));
        blade.cubicTo(32, 7, 41, 19, 40, 40);
        blade.lineTo(32, 41);
        blade.cubicTo(32, 26, 26, 17, 18, 16);
        blade.closeSubpath();
        p.drawPath(blade);
        arrowLine(p, {10, 18}, {10, 40});
    } else if (name == QLatin1String("Vibration")) {
        p.drawRoundedRect(QRectF(17, 9, 14, 30), 4, 4);
        zigzag(p, 11);
        zigzag(p, 41);
    } else if (name == QLatin1String("Lighting")) {
        p.drawEllipse(QPointF(24, 24), 8, 8);
        for (int i = 0; i < 8; ++i) {
            const qreal a = i * M_PI / 4;
            p.drawLine(QPointF(24 + qCos(a) * 14, 24 + qSin(a) * 14),
                       QPointF(24 + qCos(a) * 19, 24 + qSin(a) * 19));
        }
    } else if (name == QLatin1String("Profiles")) {
        QPolygonF top;
        top << QPointF(24, 7) << QPointF(42, 16) << QPointF(24, 25) << QPointF(6, 16);
        p.drawPolygon(top);
        p.drawPolyline(QPolygonF() << QPointF(6, 24) << QPointF(24, 33) << QPointF(42, 24));
        p.drawPolyline(QPolygonF() << QPointF(6, 32) << QPointF(24, 41) << QPointF(42, 32));
    } else {
        // Update: a refresh ring round a downward arrow.
        p.drawArc(QRectF(7, 7, 34, 34), 100 * 16, 300 * 16);
        const qreal a = qDegreesToRadians(40.0);
        chevron(p, {24 + qCos(a) * 17, 24 - qSin(a) * 17}, {-qSin(a), -qCos(a)});
        p.drawLine(QPointF(24, 16), QPointF(24, 31));
        p.drawLine(QPointF(18, 26), QPointF(24, 32));
        p.drawLine(QPointF(30, 26), QPointF(24, 32));
    }
}

const QStringList &navNames()
{
    static const QStringList names = {
        QStringLiteral("Home"),     QStringLiteral("Test"),      QStringLiteral("Calibration"),
        QStringLiteral("Mapping"),  QStringLiteral("Turbo"),     QStringLiteral("Stick"),
        QStringLiteral("Trigger"),  QStringLiteral("Vibration"), QStringLiteral("Lighting"),
        QStringLiteral("Profiles"), QStringLiteral("Update")};
    return names;
}

struct Look
{
    QColor fill, line, symbol;
};

Look look(bool lit)
{
    if (lit)
        return {Ink::kAccent, Ink::kAccent.lighter(130), Ink::kWhite};
    return {QColor(0x2a, 0x2a, 0x2a), QColor(0x6e, 0x6e, 0x6e), QColor(0xbd, 0xbd, 0xbd)};
}

void shape(QPainter &p, const Look &l)
{
    p.setPen(QPen(l.line, 2.5));
    p.setBrush(l.fill);
}

} // namespace

namespace Icons {

bool navIcon(QPainter &p, const QRectF &target, const QString &name, bool selected)
{
    if (!navNames().contains(name))
        return false;
    Space s(p, target, 48, 48);
    p.setPen(linePen(selected ? Ink::kAccent : Ink::kText, 3.2));
    drawNav(p, name);
    return true;
}

bool testButton(QPainter &p, const QRectF &target, const QString &name, bool lit)
{
    const Look l = look(lit);
    static const QStringList faces = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("X"),
                                      QStringLiteral("Y")};
    if (faces.contains(name)) {
        Space s(p, target, 48, 48);
        shape(p, l);
        p.drawEllipse(QPointF(24, 24), 21, 21);
        StrokeFont::drawCentred(p, name, {24, 24}, 18, 3.4, l.symbol);
    } else if (name == QLatin1String("View") || name == QLatin1String("Menu")) {
        Space s(p, target, 48, 48);
        shape(p, l);
        p.drawEllipse(QPointF(24, 24), 19, 19);
        p.setPen(linePen(l.symbol, 2.6));
        p.setBrush(Qt::NoBrush);
        if (name == QLatin1String("Menu")) {
            for (int i = -1; i <= 1; ++i)
                p.drawLine(QPointF(16, 24 + i * 6), QPointF(32, 24 + i * 6));
        } else {
            p.drawRoundedRect(QRectF(14, 15, 13, 11), 2, 2);
            p.drawRoundedRect(QRectF(21, 22, 13, 11), 2, 2);
        }
    } else if (name == QLatin1String("LB") || name == QLatin1String("RB")) {
        Space s(p, target, 80, 36);
        shape(p, l);
        p.drawRoundedRect(QRectF(3, 3, 74, 30), 14, 14);
        StrokeFont::drawCentred(p, name, {40, 18}, 14, 2.8, l.symbol);
    } else if (name == QLatin1String("LT") || name == QLatin1String("RT")) {
        Space s(p, target, 64, 48);
        shape(p, l);
        p.drawPath(triggerTab(QRectF(8, 3, 48, 42)));
        StrokeFont::drawCentred(p, name, {32, 28}, 14, 2.8, l.symbol);
    } else if (name == QLatin1String("LS") || name == QLatin1String("RS")) {
        Space s(p, target, 48, 48);
        shape(p, l);
        p.drawEllipse(QPointF(24, 24), 21, 21);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(24, 24), 14, 14);
        StrokeFont::drawCentred(p, name.left(1), {24, 24}, 13, 2.8, l.symbol);
    } else if (name == QLatin1String("Dot")) {
        Space s(p, target, 20, 20);
        glow(p, {10, 10}, 10, withAlpha(Ink::kAccent, 120));
        p.setPen(QPen(Ink::kWhite, 2));
        p.setBrush(Ink::kAccent);
        p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    } else {
        static const QStringList arrows = {QStringLiteral("Up"), QStringLiteral("Right"),
                                           QStringLiteral("Down"), QStringLiteral("Left")};
        const int turn = arrows.indexOf(name);
        if (turn < 0)
            return false;
        Space s(p, target, 48, 48);
        shape(p, l);
        p.drawRoundedRect(QRectF(6, 6, 36, 36), 8, 8);
        p.translate(24, 24);
        p.rotate(turn * 90);
        p.setPen(Qt::NoPen);
        p.setBrush(l.symbol);
        QPolygonF tri;
        tri << QPointF(0, -9) << QPointF(9, 6) << QPointF(-9, 6);
        p.drawPolygon(tri);
    }
    return true;
}

} // namespace Icons
