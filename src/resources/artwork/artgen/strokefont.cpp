#include "strokefont.h"

#include "painting.h"

#include <QPainterPath>

namespace {

struct Glyph
{
    qreal advance = 0; // in cap heights
    QPainterPath path; // cap height 1, y grows downwards
};

Glyph glyph(QChar c)
{
    Glyph g;
    QPainterPath &p = g.path;
    switch (c.toUpper().unicode()) {
    case 'A':
        g.advance = 0.72;
        p.moveTo(0, 1);
        p.lineTo(0.36, 0);
        p.lineTo(0.72, 1);
        p.moveTo(0.14, 0.62);
        p.lineTo(0.58, 0.62);
        break;
    case 'B':
        g.advance = 0.6;
        p.moveTo(0, 0.48);
        p.lineTo(0.32, 0.48);
        p.cubicTo(0.64, 0.48, 0.64, 1, 0.32, 1);
        p.lineTo(0, 1);
        p.lineTo(0, 0);
        p.lineTo(0.28, 0);
        p.cubicTo(0.56, 0, 0.56, 0.48, 0.28, 0.48);
        break;
    case 'D':
        g.advance = 0.66;
        p.moveTo(0, 0);
        p.lineTo(0, 1);
        p.lineTo(0.26, 1);
        p.cubicTo(0.72, 1, 0.72, 0, 0.26, 0);
        p.closeSubpath();
        break;
    case 'E':
        g.advance = 0.52;
        p.moveTo(0.52, 0);
        p.lineTo(0, 0);
        p.lineTo(0, 1);
        p.lineTo(0.52, 1);
        p.moveTo(0, 0.5);
        p.lineTo(0.42, 0.5);
        break;
    case 'K':
        g.advance = 0.6;
        p.moveTo(0, 0);
        p.lineTo(0, 1);
        p.moveTo(0.58, 0);
        p.lineTo(0, 0.62);
        p.moveTo(0.2, 0.42);
        p.lineTo(0.6, 1);
        break;
    case 'L':
        g.advance = 0.5;
        p.moveTo(0, 0);
        p.lineTo(0, 1);
        p.lineTo(0.5, 1);
        break;
    case 'O':
        g.advance = 0.84;
        p.addEllipse(QRectF(0, 0, 0.84, 1));
        break;
    case 'Q':
        g.advance = 0.84;
        p.addEllipse(QRectF(0, 0, 0.84, 1));
        p.moveTo(0.52, 0.68);
        p.lineTo(0.86, 1.04);
        break;
    case 'R':
        g.advance = 0.6;
        p.moveTo(0, 1);
        p.lineTo(0, 0);
        p.lineTo(0.3, 0);
        p.cubicTo(0.6, 0, 0.6, 0.52, 0.3, 0.52);
        p.lineTo(0, 0.52);
        p.moveTo(0.28, 0.52);
        p.lineTo(0.6, 1);
        break;
    case 'S':
        g.advance = 0.58;
        p.moveTo(0.54, 0.14);
        p.cubicTo(0.44, -0.04, 0.04, -0.04, 0.04, 0.25);
        p.cubicTo(0.04, 0.5, 0.56, 0.46, 0.56, 0.74);
        p.cubicTo(0.56, 1.05, 0.1, 1.04, 0.02, 0.86);
        break;
    case 'T':
        g.advance = 0.6;
        p.moveTo(0, 0);
        p.lineTo(0.6, 0);
        p.moveTo(0.3, 0);
        p.lineTo(0.3, 1);
        break;
    case 'U':
        g.advance = 0.66;
        p.moveTo(0, 0);
        p.lineTo(0, 0.64);
        p.cubicTo(0, 1.06, 0.66, 1.06, 0.66, 0.64);
        p.lineTo(0.66, 0);
        break;
    case 'X':
        g.advance = 0.66;
        p.moveTo(0, 0);
        p.lineTo(0.66, 1);
        p.moveTo(0.66, 0);
        p.lineTo(0, 1);
        break;
    case 'Y':
        g.advance = 0.68;
        p.moveTo(0, 0);
        p.lineTo(0.34, 0.52);
        p.lineTo(0.68, 0);
        p.moveTo(0.34, 0.52);
        p.lineTo(0.34, 1);
        break;
    case '1':
        g.advance = 0.36;
        p.moveTo(0, 0.2);
        p.lineTo(0.26, 0);
        p.lineTo(0.26, 1);
        break;
    case '2':
        g.advance = 0.58;
        p.moveTo(0.04, 0.22);
        p.cubicTo(0.1, -0.06, 0.56, -0.06, 0.56, 0.27);
        p.cubicTo(0.56, 0.52, 0.1, 0.72, 0, 1);
        p.lineTo(0.58, 1);
        break;
    case '3':
        g.advance = 0.58;
        p.moveTo(0.04, 0.1);
        p.cubicTo(0.2, -0.05, 0.55, -0.02, 0.55, 0.24);
        p.cubicTo(0.55, 0.44, 0.36, 0.48, 0.2, 0.48);
        p.cubicTo(0.4, 0.48, 0.58, 0.54, 0.58, 0.74);
        p.cubicTo(0.58, 1.04, 0.14, 1.04, 0.02, 0.88);
        break;
    case '4':
        g.advance = 0.62;
        p.moveTo(0.46, 1);
        p.lineTo(0.46, 0);
        p.lineTo(0, 0.7);
        p.lineTo(0.62, 0.7);
        break;
    case ' ':
        g.advance = 0.36;
        break;
    default:
        g.advance = 0.5;
        p.addRect(QRectF(0, 0, 0.5, 1));
        break;
    }
    return g;
}

} // namespace

namespace StrokeFont {

qreal width(const QString &text, qreal height, qreal spacing)
{
    qreal w = 0;
    for (QChar c : text)
        w += glyph(c).advance + spacing;
    return text.isEmpty() ? 0 : (w - spacing) * height;
}

void draw(QPainter &p, const QString &text, const QPointF &origin, qreal height, qreal weight,
          const QColor &c, qreal spacing)
{
    p.save();
    p.setPen(linePen(c, weight));
    p.setBrush(Qt::NoBrush);
    qreal x = origin.x();
    for (QChar ch : text) {
        const Glyph g = glyph(ch);
        QTransform t;
        t.translate(x, origin.y());
        t.scale(height, height);
        p.drawPath(t.map(g.path));
        x += (g.advance + spacing) * height;
    }
    p.restore();
}

void drawCentred(QPainter &p, const QString &text, const QPointF &centre, qreal height,
                 qreal weight, const QColor &c, qreal spacing)
{
    const QPointF origin(centre.x() - width(text, height, spacing) / 2, centre.y() - height / 2);
    draw(p, text, origin, height, weight, c, spacing);
}

} // namespace StrokeFont
