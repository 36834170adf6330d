#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QString>

// A small geometric alphabet of round-capped strokes: the letters and digits of the
// button glyphs, the word mark and the step numbers, drawn without any font file.
namespace StrokeFont {

// Width of the text at the given cap height, letter spacing included.
qreal width(const QString &text, qreal height, qreal spacing = 0.18);

// Draws text with its top-left corner at origin; weight is the stroke width.
void draw(QPainter &p, const QString &text, const QPointF &origin, qreal height, qreal weight,
          const QColor &c, qreal spacing = 0.18);

// Draws text centred on a point.
void drawCentred(QPainter &p, const QString &text, const QPointF &centre, qreal height,
                 qreal weight, const QColor &c, qreal spacing = 0.18);

} // namespace StrokeFont
