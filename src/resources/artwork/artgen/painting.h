#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

// The colours every picture is drawn from, so the artwork matches the style sheets.
namespace Ink {
const QColor kAccent(0xFF, 0x50, 0x01);
const QColor kAccentDeep(0xC2, 0x3A, 0x00);
const QColor kPanel(0x34, 0x34, 0x34);
const QColor kText(0xEC, 0xEC, 0xEC);
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kHighlight(0x98, 0xC0, 0x19);
const QColor kDeep(0x1E, 0x1E, 0x1E);
const QColor kMuted(0x8A, 0x8A, 0x8A);
} // namespace Ink

// Maps a design space of w x h units onto the target, centred, keeping the aspect ratio.
void fitDesign(QPainter &p, const QRectF &target, qreal w, qreal h);

QColor withAlpha(QColor c, int alpha);

// A soft light: a radial gradient from c at the centre to transparent at radius r.
void glow(QPainter &p, const QPointF &centre, qreal r, const QColor &c);

// The brand mark: a ring whose short tail crosses its lower right, a geometric Q.
void brandMark(QPainter &p, const QPointF &centre, qreal r, qreal weight, const QColor &c);

// The trigger seen from the front: a tab with a rounded top filling r.
QPainterPath triggerTab(const QRectF &r);

// A round-capped outline pen.
QPen linePen(const QColor &c, qreal width);

// Text in a font file loaded by the generator; nothing is drawn when the font is missing.
void fontText(QPainter &p, const QRectF &box, const QString &text, const QString &fontKey, qreal px,
              const QColor &c, int flags = Qt::AlignLeft | Qt::AlignVCenter);

// Registers a font file under a key for fontText ("cjk" or "latin"); false when it fails.
bool registerFont(const QString &key, const QString &path);
