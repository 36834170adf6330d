#include "controller.h"

#include "painting.h"
#include "strokefont.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <array>

namespace {

constexpr qreal kW = 1000;
constexpr qreal kH = 700;

struct Segment
{
    QPointF c1, c2, end;
};

QPointF mirrored(const QPointF &pt)
{
    return {kW - pt.x(), pt.y()};
}

// The right half of the outline from the top centre round to the bottom centre; the left
// half is its mirror image, so both grips always match.
QPainterPath bodyOutline()
{
    const QPointF start(500, 138);
    const std::array<Segment, 6> right = {{
        {{600, 130}, {690, 118}, {760, 122}},
        {{850, 126}, {902, 176}, {924, 256}},
        {{948, 340}, {978, 470}, {970, 545}},
        {{962, 622}, {882, 660}, {828, 616}},
        {{788, 584}, {760, 526}, {718, 494}},
        {{676, 464}, {600, 462}, {500, 462}},
    }};
    QPainterPath path(start);
    for (const Segment &s : right)
        path.cubicTo(s.c1, s.c2, s.end);
    // Back up the left side: each mirrored segment runs in reverse.
    for (int i = int(right.size()) - 1; i >= 0; --i) {
        const QPointF from = i > 0 ? right[size_t(i - 1)].end : start;
        path.cubicTo(mirrored(right[size_t(i)].c2), mirrored(right[size_t(i)].c1), mirrored(from));
    }
    path.closeSubpath();
    return path;
}

QPainterPath mirrorPath(const QPainterPath &path)
{
    QTransform t(-1, 0, 0, 1, kW, 0);
    return t.map(path);
}

QPainterPath scaledAbout(const QPainterPath &path, const QPointF &centre, qreal sx, qreal sy)
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(sx, sy);
    t.translate(-centre.x(), -centre.y());
    return t.map(path);
}

void fillBody(QPainter &p, const QPainterPath &body, const Skin &skin)
{
    // Soft shadow under the controller.
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 6; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 10));
        p.drawPath(scaledAbout(body, {500, 420}, 1 + i * 0.006, 1 + i * 0.012));
    }
    QLinearGradient g(0, 120, 0, 660);
    g.setColorAt(0, skin.bodyTop);
    g.setColorAt(1, skin.bodyBottom);
    p.setBrush(g);
    p.drawPath(body);
    // A sheen across the upper face.
    QRadialGradient sheen(QPointF(500, 150), 420);
    sheen.setColorAt(0, QColor(255, 255, 255, 34));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(sheen);
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(skin.edge, 3));
    p.drawPath(body);
    p.restore();
}

void well(QPainter &p, const QPointF &c, qreal r, const Skin &skin)
{
    QRadialGradient g(c + QPointF(0, -r * 0.3), r * 1.2);
    g.setColorAt(0, skin.bodyBottom.darker(160));
    g.setColorAt(1, skin.bodyBottom.darker(125));
    p.setPen(QPen(withAlpha(skin.edge, 120), 2));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void stick(QPainter &p, const QPointF &c, const Skin &skin)
{
    well(p, c, 74, skin);
    QRadialGradient cap(c + QPointF(-14, -18), 70);
    cap.setColorAt(0, skin.control.lighter(150));
    cap.setColorAt(1, skin.control);
    p.setPen(QPen(QColor(0, 0, 0, 120), 2));
    p.setBrush(cap);
    p.drawEllipse(c, 56, 56);
    p.setPen(QPen(withAlpha(skin.control.lighter(190), 140), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 40, 40);
    // Grip bumps round the rim of the cap.
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(skin.control.lighter(200), 110));
    for (int i = 0; i < 18; ++i) {
        const qreal a = i * 2 * M_PI / 18;
        p.drawEllipse(c + QPointF(qCos(a) * 48, qSin(a) * 48), 2.6, 2.6);
    }
}

void dpad(QPainter &p, const QPointF &c, const Skin &skin)
{
    well(p, c, 72, skin);
    QPainterPath cross;
    cross.addRoundedRect(QRectF(c.x() - 21, c.y() - 60, 42, 120), 9, 9);
    cross.addRoundedRect(QRectF(c.x() - 60, c.y() - 21, 120, 42), 9, 9);
    cross = cross.simplified();
    QLinearGradient g(c.x(), c.y() - 60, c.x(), c.y() + 60);
    g.setColorAt(0, skin.control.lighter(140));
    g.setColorAt(1, skin.control);
    p.setPen(QPen(QColor(0, 0, 0, 140), 2));
    p.setBrush(g);
    p.drawPath(cross);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(skin.symbol, 120));
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 90);
        QPolygonF arrow;
        arrow << QPointF(0, -50) << QPointF(-9, -38) << QPointF(9, -38);
        p.drawPolygon(arrow);
        p.restore();
    }
    p.setBrush(withAlpha(QColor(0, 0, 0), 70));
    p.drawEllipse(c, 11, 11);
}

void faceButton(QPainter &p, const QPointF &c, const QString &letter, const Skin &skin)
{
    QRadialGradient g(c + QPointF(-8, -10), 36);
    g.setColorAt(0, skin.control.lighter(165));
    g.setColorAt(1, skin.control);
    p.setPen(QPen(QColor(0, 0, 0, 150), 2));
    p.setBrush(g);
    p.drawEllipse(c, 29, 29);
    StrokeFont::drawCentred(p, letter, c, 24, 4.5, skin.symbol);
}

void faceButtons(QPainter &p, const QPointF &c, const Skin &skin)
{
    p.setPen(QPen(withAlpha(skin.edge, 70), 2));
    p.setBrush(withAlpha(skin.bodyBottom.darker(150), 110));
    p.drawEllipse(c, 100, 100);
    faceButton(p, c + QPointF(0, -62), QStringLiteral("Y"), skin);
    faceButton(p, c + QPointF(-62, 0), QStringLiteral("X"), skin);
    faceButton(p, c + QPointF(62, 0), QStringLiteral("B"), skin);
    faceButton(p, c + QPointF(0, 62), QStringLiteral("A"), skin);
}

void smallButton(QPainter &p, const QPointF &c, bool menu, const Skin &skin)
{
    p.setPen(QPen(QColor(0, 0, 0, 140), 2));
    p.setBrush(skin.control);
    p.drawEllipse(c, 17, 17);
    p.setPen(linePen(withAlpha(skin.symbol, 200), 2.2));
    p.setBrush(Qt::NoBrush);
    if (menu) {
        for (int i = -1; i <= 1; ++i)
            p.drawLine(c + QPointF(-7, i * 5.5), c + QPointF(7, i * 5.5));
    } else {
        p.drawRoundedRect(QRectF(c.x() - 8, c.y() - 7, 10, 9), 1.5, 1.5);
        p.drawRoundedRect(QRectF(c.x() - 2, c.y() - 2, 10, 9), 1.5, 1.5);
    }
}

// The home button carries the brand's ring mark; its ring is the status LED.
void homeButton(QPainter &p, const QPointF &c, const Skin &skin, bool flashing)
{
    if (flashing)
        glow(p, c, 90, withAlpha(skin.detail, 200));
    p.setPen(QPen(QColor(0, 0, 0, 150), 2));
    p.setBrush(skin.control.darker(115));
    p.drawEllipse(c, 30, 30);
    brandMark(p, c, 14, flashing ? 5 : 3.5, flashing ? Ink::kWhite : skin.detail);
}

// A thin accent line following each grip.
QPainterPath gripLine()
{
    QPainterPath path(QPointF(905, 330));
    path.cubicTo(930, 420, 945, 500, 930, 560);
    return path;
}

void lightZones(QPainter &p, const Skin &skin, const QPointF &left, const QPointF &right)
{
    for (const QPointF &c : {left, right}) {
        glow(p, c, 110, withAlpha(skin.detail, 110));
        p.setPen(QPen(withAlpha(skin.detail, 230), 5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, 77, 77);
    }
    const QPainterPath strip = gripLine();
    for (const QPainterPath &s : {strip, mirrorPath(strip)}) {
        p.setPen(QPen(withAlpha(skin.detail, 70), 22, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(s);
        p.setPen(QPen(withAlpha(skin.detail.lighter(130), 255), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(s);
    }
}

void spinArrows(QPainter &p, const QPointF &c, const QColor &colour)
{
    p.setPen(linePen(colour, 6));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(c.x() - 80, c.y() - 80, 160, 160);
    p.drawArc(ring, 20 * 16, 140 * 16);
    p.drawArc(ring, 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (int i = 0; i < 2; ++i) {
        const qreal a = qDegreesToRadians(20.0 + i * 180);
        const QPointF tip(c.x() + qCos(a) * 80, c.y() - qSin(a) * 80);
        p.save();
        p.translate(tip);
        p.rotate(-qRadiansToDegrees(a) + 180);
        QPolygonF head;
        head << QPointF(0, 14) << QPointF(-12, -6) << QPointF(12, -6);
        p.drawPolygon(head);
        p.restore();
    }
}

void shoulders(QPainter &p, const Skin &skin, bool accent)
{
    QPainterPath bumper(QPointF(178, 200));
    bumper.cubicTo(186, 128, 262, 100, 380, 102);
    bumper.cubicTo(414, 103, 430, 116, 430, 136);
    bumper.lineTo(430, 160);
    bumper.closeSubpath();
    QLinearGradient g(0, 100, 0, 200);
    g.setColorAt(0, accent ? skin.detail : skin.bodyTop.lighter(120));
    g.setColorAt(1, accent ? skin.detail.darker(150) : skin.bodyBottom);
    p.setPen(QPen(withAlpha(skin.edge, 160), 2));
    p.setBrush(g);
    p.drawPath(bumper);
    p.drawPath(mirrorPath(bumper));
}

} // namespace

QPainterPath controllerOutline()
{
    return bodyOutline();
}

Skin Skin::named(const QString &name)
{
    Skin s;
    s.bodyTop = QColor(0x4a, 0x4a, 0x4c);
    s.bodyBottom = QColor(0x24, 0x24, 0x26);
    s.edge = QColor(0x6a, 0x6a, 0x6e);
    s.detail = Ink::kAccent;
    s.control = QColor(0x22, 0x22, 0x24);
    s.symbol = Ink::kText;
    if (name == QLatin1String("light")) {
        s.lights = true;
    } else if (name == QLatin1String("arctic")) {
        s.bodyTop = QColor(0xf2, 0xf2, 0xf0);
        s.bodyBottom = QColor(0xb8, 0xb9, 0xbc);
        s.edge = QColor(0xff, 0xff, 0xff);
        s.control = QColor(0x3a, 0x3b, 0x3e);
    } else if (name == QLatin1String("slate")) {
        s.bodyTop = QColor(0x3d, 0x44, 0x3a);
        s.bodyBottom = QColor(0x1f, 0x23, 0x1d);
        s.edge = QColor(0x62, 0x6b, 0x5c);
        s.detail = Ink::kHighlight;
        s.control = QColor(0x1c, 0x1f, 0x1b);
    }
    return s;
}

void drawControllerFront(QPainter &p, const QRectF &target, const Skin &skin,
                         const FrontMarks &marks)
{
    p.save();
    fitDesign(p, target, kW, kH);
    shoulders(p, skin, marks.triggersPress);
    const QPainterPath body = bodyOutline();
    fillBody(p, body, skin);

    const QPointF leftStick(300, 262), rightStick(612, 398);
    if (skin.lights)
        lightZones(p, skin, leftStick, rightStick);
    p.setPen(QPen(withAlpha(skin.detail, 200), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    if (!skin.lights) {
        p.drawPath(gripLine());
        p.drawPath(mirrorPath(gripLine()));
    }
    stick(p, leftStick, skin);
    stick(p, rightStick, skin);
    dpad(p, {388, 398}, skin);
    faceButtons(p, {702, 262}, skin);
    smallButton(p, {436, 262}, false, skin);
    smallButton(p, {564, 262}, true, skin);
    homeButton(p, {500, 196}, skin, marks.ledFlashing);
    if (marks.sticksSpin) {
        spinArrows(p, leftStick, Ink::kWhite);
        spinArrows(p, rightStick, Ink::kWhite);
    }
    p.restore();
}

namespace {

void trigger(QPainter &p, const Skin &skin, bool lit, bool mirror)
{
    QPainterPath t(QPointF(192, 190));
    t.cubicTo(186, 104, 226, 50, 300, 46);
    t.cubicTo(372, 42, 410, 86, 414, 190);
    t.closeSubpath();
    if (mirror)
        t = mirrorPath(t);
    const QRectF box = t.boundingRect();
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, lit ? skin.detail.lighter(115) : skin.bodyTop.lighter(115));
    g.setColorAt(1, lit ? skin.detail.darker(170) : skin.bodyBottom.darker(110));
    if (lit)
        glow(p, box.center() + QPointF(0, -20), 170, withAlpha(skin.detail, 90));
    p.setPen(QPen(withAlpha(lit ? skin.detail.lighter(150) : skin.edge, 200), 2.5));
    p.setBrush(g);
    p.drawPath(t);
    // Ribs on the trigger face.
    p.setPen(QPen(QColor(0, 0, 0, 60), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal y = 82 + i * 26;
        const qreal cx = box.center().x();
        p.drawLine(QPointF(cx - 62 + i * 4, y), QPointF(cx + 62 - i * 4, y));
    }
}

// The trigger-lock switch: a slot with three stops and its knob on the middle one.
void lockSwitch(QPainter &p, const QPointF &c, const Skin &skin, bool lit)
{
    const QColor mark = lit ? skin.detail : withAlpha(skin.symbol, 150);
    p.setPen(QPen(QColor(0, 0, 0, 130), 2));
    p.setBrush(skin.bodyBottom.darker(150));
    p.drawRoundedRect(QRectF(c.x() - 13, c.y() - 44, 26, 88), 13, 13);
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    for (int i = -1; i <= 1; ++i)
        p.drawEllipse(QPointF(c.x() + 26, c.y() + i * 30), 4.5, 4.5);
    QLinearGradient g(c.x(), c.y() - 16, c.x(), c.y() + 16);
    g.setColorAt(0, lit ? skin.detail.lighter(120) : skin.control.lighter(170));
    g.setColorAt(1, lit ? skin.detail.darker(140) : skin.control);
    p.setBrush(g);
    p.setPen(QPen(QColor(0, 0, 0, 140), 1.5));
    p.drawRoundedRect(QRectF(c.x() - 10, c.y() - 16, 20, 32), 8, 8);
}

void paddle(QPainter &p, const QPointF &c, qreal angle, qreal length, const Skin &skin, bool lit)
{
    p.save();
    p.translate(c);
    p.rotate(angle);
    const QRectF r(-length / 2, -17, length, 34);
    if (lit)
        glow(p, {0, 0}, length * 0.75, withAlpha(skin.detail, 60));
    QLinearGradient g(0, -17, 0, 17);
    g.setColorAt(0, skin.control.lighter(150));
    g.setColorAt(1, skin.control);
    p.setPen(QPen(lit ? skin.detail : QColor(0, 0, 0, 150), lit ? 3.5 : 2));
    p.setBrush(g);
    p.drawRoundedRect(r, 17, 17);
    p.restore();
}

} // namespace

void drawControllerBack(QPainter &p, const QRectF &target, const Skin &skin, int paddles,
                        bool triggerFocus)
{
    p.save();
    fitDesign(p, target, kW, kH);
    trigger(p, skin, triggerFocus, false);
    trigger(p, skin, triggerFocus, true);
    shoulders(p, skin, false);
    const QPainterPath body = bodyOutline();
    fillBody(p, body, skin);

    // The back shell: a recessed panel inside the outline.
    const QPainterPath shell = scaledAbout(body, {500, 400}, 0.9, 0.86);
    p.setPen(QPen(withAlpha(skin.edge, 90), 2));
    p.setBrush(withAlpha(skin.bodyBottom.darker(130), 150));
    p.drawPath(shell);

    // Charging port and brand mark in the middle.
    p.setPen(QPen(QColor(0, 0, 0, 160), 2));
    p.setBrush(QColor(0x10, 0x10, 0x10));
    p.drawRoundedRect(QRectF(470, 150, 60, 18), 9, 9);
    brandMark(p, {500, 320}, 22, 4, withAlpha(skin.detail, triggerFocus ? 120 : 200));

    lockSwitch(p, {312, 232}, skin, triggerFocus);
    lockSwitch(p, {688, 232}, skin, triggerFocus);

    const bool paddlesLit = !triggerFocus;
    // The back buttons lie along each grip, side by side across it.
    if (paddles == 6 || paddles == 4) {
        const QPointF across(0.85, 0.53);
        const QPointF centre(272, 430);
        const qreal gap = paddles == 6 ? 58 : 72;
        const qreal length = paddles == 6 ? 108 : 128;
        const int n = paddles / 2;
        for (int i = 0; i < n; ++i) {
            const QPointF at = centre + across * (gap * (i - (n - 1) / 2.0));
            paddle(p, at, -58, length - qAbs(i - (n - 1) / 2.0) * 14, skin, paddlesLit);
            paddle(p, mirrored(at), 58, length - qAbs(i - (n - 1) / 2.0) * 14, skin, paddlesLit);
        }
    }
    if (skin.lights) {
        const QPainterPath strip = gripLine();
        for (const QPainterPath &s : {strip, mirrorPath(strip)}) {
            p.setPen(QPen(withAlpha(skin.detail, 70), 22, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(s);
            p.setPen(QPen(skin.detail.lighter(130), 6, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(s);
        }
    }
    p.restore();
}

void drawDongle(QPainter &p, const QRectF &target, const Skin &skin)
{
    p.save();
    fitDesign(p, target, 400, 400);
    // The USB-A plug.
    QLinearGradient metal(150, 0, 250, 0);
    metal.setColorAt(0, QColor(0x8c, 0x8e, 0x92));
    metal.setColorAt(0.5, QColor(0xe4, 0xe6, 0xea));
    metal.setColorAt(1, QColor(0x8c, 0x8e, 0x92));
    p.setPen(QPen(QColor(0, 0, 0, 120), 2));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(152, 58, 96, 120), 6, 6);
    p.setBrush(QColor(0x2a, 0x2a, 0x2c));
    p.drawRect(QRectF(172, 84, 20, 14));
    p.drawRect(QRectF(208, 84, 20, 14));

    // Soft shadow, then the body.
    p.setPen(Qt::NoPen);
    for (int i = 6; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 12));
        p.drawRoundedRect(QRectF(128 - i, 166, 144 + 2 * i, 200 + 2 * i), 34, 34);
    }
    QLinearGradient g(0, 160, 0, 360);
    g.setColorAt(0, skin.bodyTop);
    g.setColorAt(1, skin.bodyBottom);
    p.setBrush(g);
    p.setPen(QPen(skin.edge, 3));
    const QRectF body(128, 160, 144, 200);
    p.drawRoundedRect(body, 32, 32);
    p.setPen(QPen(withAlpha(skin.edge, 90), 2));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(140, 186), QPointF(260, 186));

    // Brand mark and the pairing LED.
    brandMark(p, {200, 258}, 26, 6, skin.detail);
    glow(p, {200, 330}, 26, withAlpha(skin.detail, 200));
    p.setPen(Qt::NoPen);
    p.setBrush(skin.detail.lighter(140));
    p.drawEllipse(QPointF(200, 330), 6, 6);

    // Radio waves.
    p.setPen(linePen(withAlpha(skin.detail, 230), 8));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const qreal r = 34 + i * 26;
        p.drawArc(QRectF(290 - r, 150 - r, 2 * r, 2 * r), 0 * 16, 90 * 16);
    }
    p.restore();
}
