#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

// The colours of one controller model.
struct Skin
{
    QColor bodyTop;
    QColor bodyBottom;
    QColor edge;         // rim light along the outline
    QColor detail;       // accent strokes and marks
    QColor control;      // sticks, face buttons, d-pad
    QColor symbol;       // letters on the face buttons
    bool lights = false; // the four lighting zones glow

    // "graphite", "light" (graphite with lit zones), "arctic" or "slate".
    static Skin named(const QString &name);
};

// What a front view stresses for the calibration steps.
struct FrontMarks
{
    bool ledFlashing = false;
    bool sticksSpin = false;
    bool triggersPress = false;
};

// Design space of the controller views: 1000 x 700 units.
QPainterPath controllerOutline();
void drawControllerFront(QPainter &p, const QRectF &target, const Skin &skin,
                         const FrontMarks &marks = {});
// From behind: triggers on top, the controller's right hand on the left of the picture.
// paddles is 0, 4 or 6; triggerFocus lights the triggers and their lock switches instead of
// the back buttons.
void drawControllerBack(QPainter &p, const QRectF &target, const Skin &skin, int paddles,
                        bool triggerFocus);
// Design space 400 x 400 units.
void drawDongle(QPainter &p, const QRectF &target, const Skin &skin);
