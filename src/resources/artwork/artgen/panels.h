#pragma once

#include <QPainter>
#include <QRectF>
#include <QString>

// Large pictures: window backgrounds, bars, buttons, logos and the composed scenes of
// the updater and the calibration page.
namespace Panels {

// "app" (configuration window) or "updater".
void background(QPainter &p, const QRectF &target, const QString &kind);
// The title bar strip.
void titleStrip(QPainter &p, const QRectF &target);
// Progress bar pieces: "track", "fill", "empty" (bar at 0 %) and "full" (bar at 100 %).
bool progress(QPainter &p, const QRectF &target, const QString &piece);
// The brand: "mark" (ring), "word" (ring and name) or "app" (the application icon).
bool logo(QPainter &p, const QRectF &target, const QString &kind);
// The accent pill behind the update button's text.
void pillButton(QPainter &p, const QRectF &target);
// The empty device list: a panel with a controller outline waiting for a cable.
void noDevice(QPainter &p, const QRectF &target);
// A device of the updater list: "controller:<skin>", "wired", "dongle:<skin>", "pair" or
// "updating".
bool updaterDevice(QPainter &p, const QRectF &target, const QString &kind);
// The calibration scene: "ready", "running" or "running-nolock".
bool calibration(QPainter &p, const QRectF &target, const QString &state);
// The calibration steps as a picture, "zh" or "en" captions.
bool calibrationSteps(QPainter &p, const QRectF &target, const QString &language);

} // namespace Panels
