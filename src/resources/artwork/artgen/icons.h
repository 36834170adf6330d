#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

// Small pictures: button glyphs, page icons and controls. Each draws into target, keeping
// its own aspect ratio.
namespace Icons {

// A face button glyph (A, B, X, Y): outlined on a dark disc, or solid in the accent colour.
void faceGlyph(QPainter &p, const QRectF &target, const QString &letter, bool solid);

// "download", "pressdown", "spin", "plus", "ltfill", "rtfill", "edit", "editing",
// "editfocus", "delete", "deletefocus", "arrow", "arrowselected", "arrowdown", "check",
// "warning". False for an unknown name.
bool uiIcon(QPainter &p, const QRectF &target, const QString &name);

// A navigation icon ("Home", "Test", "Calibration", "Mapping", "Turbo", "Stick", "Trigger",
// "Vibration", "Lighting", "Profiles", "Update") in the text colour or the accent colour.
bool navIcon(QPainter &p, const QRectF &target, const QString &name, bool selected);

// A button of the input test ("A", "B", "X", "Y", "View", "Menu", "LB", "RB", "LT", "RT",
// "LS", "RS", "Up", "Down", "Left", "Right", "Dot"), idle or lit.
bool testButton(QPainter &p, const QRectF &target, const QString &name, bool lit);

// Frame k of n of the loading spinner: a comet of dots going round.
void spinner(QPainter &p, const QRectF &target, int frame, int frames);

// A response curve through the given points (percent of travel) from (0,0) to (100,100).
void responseCurve(QPainter &p, const QRectF &target, const QVector<QPointF> &points);

// The keep-sync switch: on, off, or on with the focus ring.
void toggle(QPainter &p, const QRectF &target, bool on, bool focused);
// The axis-inversion check: a ring, filled when on.
void radio(QPainter &p, const QRectF &target, bool on);

// The title bar buttons: "minimise" or "close", state 0 normal, 1 hover, 2 pressed.
void titleButton(QPainter &p, const QRectF &target, const QString &kind, int state);

} // namespace Icons
