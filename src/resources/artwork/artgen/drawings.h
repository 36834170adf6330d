#pragma once

#include <QPainter>
#include <QRectF>
#include <QStringList>

// Draws the picture a manifest line names (its drawing name and arguments) into target.
// False when the drawing or one of its arguments is unknown.
bool drawNamed(QPainter &p, const QRectF &target, const QStringList &words);
