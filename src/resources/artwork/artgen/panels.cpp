#include "panels.h"

#include "controller.h"
#include "icons.h"
#include "painting.h"
#include "strokefont.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

void hairlines(QPainter &p, const QRectF &r, int alpha)
{
    p.save();
    p.setClipRect(r);
    p.setPen(QPen(QColor(255, 255, 255, alpha), 1));
    for (qreal x = -r.height(); x < r.width(); x += 26)
        p.drawLine(QPointF(x, r.bottom()), QPointF(x + r.height() * 0.58, r.top()));
    p.restore();
}

void bar(QPainter &p, const QRectF &r, bool filled)
{
    const qreal radius = r.height() / 2;
    p.setPen(Qt::NoPen);
    if (!filled) {
        p.setBrush(Ink::kPanel);
        p.drawRoundedRect(r, radius, radius);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawRoundedRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.45), radius,
                          radius * 0.9);
        return;
    }
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, Ink::kAccentDeep);
    g.setColorAt(0.7, Ink::kAccent);
    g.setColorAt(1, Ink::kAccent.lighter(125));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    p.setBrush(QColor(255, 255, 255, 50));
    p.drawRoundedRect(
        QRectF(r.left() + radius * 0.6, r.top() + 1, r.width() - radius * 1.2, r.height() * 0.35),
        radius * 0.35, radius * 0.35);
}

void knob(QPainter &p, const QPointF &c, qreal r, const QColor &fill)
{
    glow(p, c, r * 2.2, withAlpha(Ink::kAccent, 110));
    p.setPen(QPen(Ink::kPanel, 3));
    p.setBrush(fill);
    p.drawEllipse(c, r, r);
}

} // namespace

namespace Panels {

void background(QPainter &p, const QRectF &target, const QString &kind)
{
    const bool updater = kind == QLatin1String("updater");
    QLinearGradient base(target.topLeft(), target.bottomLeft());
    base.setColorAt(0, QColor(0x2c, 0x2c, 0x2d));
    base.setColorAt(1, QColor(0x14, 0x14, 0x15));
    p.fillRect(target, base);
    const qreal w = target.width(), h = target.height();
    glow(p, QPointF(w * 0.12, -h * 0.2), w * 0.6, QColor(255, 255, 255, 16));
    if (updater) {
        glow(p, QPointF(w * 0.5, h * 1.18), w * 0.62, withAlpha(Ink::kAccent, 60));
        p.setPen(QPen(QColor(255, 255, 255, 9), 1.5));
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 6; ++i) {
            const qreal r = h * (0.7 + i * 0.12);
            p.drawEllipse(QPointF(w * 0.5, h * 1.25), r * 1.5, r);
        }
    } else {
        glow(p, QPointF(w * 0.95, h * 1.05), w * 0.55, withAlpha(Ink::kAccent, 52));
        hairlines(p, target, 5);
    }
    // A faint vignette keeps the edges calm.
    QRadialGradient vignette(target.center(), w * 0.75);
    vignette.setColorAt(0.6, QColor(0, 0, 0, 0));
    vignette.setColorAt(1, QColor(0, 0, 0, 90));
    p.fillRect(target, vignette);
}

void titleStrip(QPainter &p, const QRectF &target)
{
    p.fillRect(target, QColor(0x30, 0x2e, 0x2f));
    p.fillRect(QRectF(target.left(), target.bottom() - 1, target.width(), 1),
               QColor(0x44, 0x42, 0x43));
}

bool progress(QPainter &p, const QRectF &target, const QString &piece)
{
    const qreal h = qMin(target.height(), 14.0);
    const QRectF slot(target.left() + (target.height() - h) / 2, target.center().y() - h / 2,
                      target.width() - (target.height() - h), h);
    if (piece == QLatin1String("track")) {
        bar(p, target, false);
    } else if (piece == QLatin1String("fill")) {
        bar(p, target, true);
    } else if (piece == QLatin1String("empty")) {
        bar(p, slot, false);
        knob(p, {slot.left() + h / 2, slot.center().y()}, target.height() * 0.32, Ink::kAccent);
    } else if (piece == QLatin1String("full")) {
        bar(p, slot, true);
        knob(p, {slot.right() - h / 2, slot.center().y()}, target.height() * 0.32, Ink::kWhite);
    } else {
        return false;
    }
    return true;
}

bool logo(QPainter &p, const QRectF &target, const QString &kind)
{
    p.save();
    if (kind == QLatin1String("mark")) {
        fitDesign(p, target, 100, 100);
        brandMark(p, {46, 46}, 30, 12, Ink::kAccent);
    } else if (kind == QLatin1String("word")) {
        fitDesign(p, target, 240, 80);
        brandMark(p, {34, 36}, 20, 8, Ink::kAccent);
        StrokeFont::draw(p, QStringLiteral("QUOREL"), {76, 14}, 28, 4.8, Ink::kWhite);
        StrokeFont::draw(p, QStringLiteral("ORADESK"), {77, 54}, 11, 2.4, Ink::kAccent, 0.62);
    } else if (kind == QLatin1String("app")) {
        fitDesign(p, target, 256, 256);
        QLinearGradient g(0, 16, 0, 240);
        g.setColorAt(0, QColor(0x46, 0x46, 0x48));
        g.setColorAt(1, QColor(0x1a, 0x1a, 0x1b));
        p.setPen(QPen(QColor(0x60, 0x60, 0x62), 3));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(12, 12, 232, 232), 56, 56);
        glow(p, {118, 118}, 120, withAlpha(Ink::kAccent, 70));
        brandMark(p, {118, 118}, 62, 30, Ink::kAccent);
    } else {
        p.restore();
        return false;
    }
    p.restore();
    return true;
}

void pillButton(QPainter &p, const QRectF &target)
{
    const QRectF r = target.adjusted(2, 2, -2, -2);
    const qreal radius = r.height() / 2;
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, Ink::kAccent.lighter(112));
    g.setColorAt(1, Ink::kAccentDeep);
    p.setPen(QPen(withAlpha(Ink::kWhite, 60), 1.5));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(
        QRectF(r.left() + radius, r.top() + 3, r.width() - 2 * radius, r.height() * 0.3), 4, 4);
}

void noDevice(QPainter &p, const QRectF &target)
{
    p.save();
    fitDesign(p, target, 440, 300);
    p.setPen(QPen(QColor(0x5a, 0x5a, 0x5a), 2, Qt::DashLine));
    p.setBrush(QColor(0x26, 0x26, 0x26, 220));
    p.drawRoundedRect(QRectF(4, 4, 432, 292), 24, 24);

    // The cable waiting to be plugged in, under a faded controller outline.
    p.setPen(linePen(QColor(0x70, 0x70, 0x70), 5));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable(QPointF(220, 268));
    cable.cubicTo(220, 236, 300, 240, 300, 214);
    p.drawPath(cable);
    p.setPen(QPen(QColor(0, 0, 0, 120), 2));
    p.setBrush(Ink::kAccent);
    p.drawRoundedRect(QRectF(288, 186, 24, 30), 5, 5);
    p.setBrush(QColor(0xc8, 0xc8, 0xcc));
    p.drawRect(QRectF(293, 174, 14, 12));

    QTransform t;
    t.translate(96, 36);
    t.scale(0.248, 0.248);
    const QPainterPath outline = t.map(controllerOutline());
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 3));
    p.setBrush(QColor(255, 255, 255, 10));
    p.drawPath(outline);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 2.5));
    p.setBrush(Qt::NoBrush);
    for (const QPointF &c : {QPointF(170, 101), QPointF(248, 135)})
        p.drawEllipse(c, 16, 16);
    for (const QPointF &c : {QPointF(270, 101), QPointF(192, 135)})
        p.drawEllipse(c, 13, 13);
    p.restore();
}

bool updaterDevice(QPainter &p, const QRectF &target, const QString &kind)
{
    p.save();
    fitDesign(p, target, 360, 260);
    const QString skin = kind.section(QLatin1Char(':'), 1);
    bool known = true;
    if (kind.startsWith(QLatin1String("controller:"))) {
        drawControllerFront(p, {10, 10, 340, 240}, Skin::named(skin));
    } else if (kind.startsWith(QLatin1String("dongle:"))) {
        drawDongle(p, {80, 10, 200, 240}, Skin::named(skin));
    } else if (kind == QLatin1String("wired")) {
        p.setPen(linePen(QColor(0x55, 0x55, 0x58), 6));
        p.setBrush(Qt::NoBrush);
        QPainterPath cable(QPointF(180, 95));
        cable.cubicTo(180, 40, 250, 40, 260, 0);
        p.drawPath(cable);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3a, 0x3a, 0x3c));
        p.drawRoundedRect(QRectF(172, 78, 16, 16), 4, 4);
        drawControllerFront(p, {30, 50, 300, 200}, Skin::named(QStringLiteral("graphite")));
    } else if (kind == QLatin1String("pair")) {
        drawControllerFront(p, {0, 40, 250, 190}, Skin::named(QStringLiteral("graphite")));
        drawDongle(p, {240, 40, 120, 160}, Skin::named(QStringLiteral("graphite")));
    } else if (kind == QLatin1String("updating")) {
        drawControllerFront(p, {10, 10, 340, 240}, Skin::named(QStringLiteral("graphite")));
        glow(p, {296, 196}, 56, withAlpha(Ink::kAccent, 120));
        p.setPen(QPen(Ink::kWhite, 3));
        p.setBrush(Ink::kAccent);
        p.drawEllipse(QPointF(296, 196), 32, 32);
        p.setPen(linePen(Ink::kWhite, 6));
        p.drawLine(QPointF(296, 180), QPointF(296, 208));
        p.drawLine(QPointF(284, 198), QPointF(296, 210));
        p.drawLine(QPointF(308, 198), QPointF(296, 210));
    } else {
        known = false;
    }
    p.restore();
    return known;
}

bool calibration(QPainter &p, const QRectF &target, const QString &state)
{
    FrontMarks marks;
    if (state == QLatin1String("running")) {
        marks = {true, true, true};
    } else if (state == QLatin1String("running-nolock")) {
        marks = {true, true, false};
    } else if (state != QLatin1String("ready")) {
        return false;
    }
    drawControllerFront(p, target, Skin::named(QStringLiteral("graphite")), marks);
    return true;
}

bool calibrationSteps(QPainter &p, const QRectF &target, const QString &language)
{
    const bool zh = language == QLatin1String("zh");
    if (!zh && language != QLatin1String("en"))
        return false;
    // The four steps of the models without trigger locks.
    const QString captions[4] = {
        zh ? QStringLiteral("按 A 开始，指示灯开始闪烁")
           : QStringLiteral("Press A to start; the LED starts flashing"),
        zh ? QStringLiteral("完全按下左右扳机 3 次")
           : QStringLiteral("Fully press each trigger 3 times"),
        zh ? QStringLiteral("左右摇杆分别充分旋转 3 次")
           : QStringLiteral("Fully rotate each stick 3 times"),
        zh ? QStringLiteral("同时按方向键下键和 Y 完成校准")
           : QStringLiteral("Press D-Pad down and Y to finish"),
    };
    p.save();
    fitDesign(p, target, 560, 260);
    p.setPen(QPen(QColor(255, 255, 255, 30), 1.5));
    p.setBrush(Ink::kDeep);
    p.drawRoundedRect(QRectF(1, 1, 558, 258), 18, 18);
    for (int i = 0; i < 4; ++i) {
        const qreal y = 16 + i * 58;
        p.setPen(Qt::NoPen);
        p.setBrush(Ink::kAccent);
        p.drawEllipse(QPointF(36, y + 22), 15, 15);
        StrokeFont::drawCentred(p, QString::number(i + 1), {36, y + 22}, 14, 2.8, Ink::kWhite);
        const QRectF icon(64, y, 44, 44);
        if (i == 0) {
            Icons::faceGlyph(p, icon, QStringLiteral("A"), false);
        } else if (i == 1) {
            Icons::uiIcon(p, icon, QStringLiteral("pressdown"));
        } else if (i == 2) {
            Icons::uiIcon(p, icon, QStringLiteral("spin"));
        } else {
            Icons::testButton(p, icon, QStringLiteral("Down"), false);
            Icons::faceGlyph(p, icon.translated(48, 0), QStringLiteral("Y"), false);
        }
        fontText(p, QRectF(172, y, 380, 44), captions[i],
                 zh ? QStringLiteral("cjk") : QStringLiteral("latin"), 20, Ink::kText);
    }
    p.restore();
    return true;
}

} // namespace Panels
