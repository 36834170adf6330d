#include "drawings.h"

#include "controller.h"
#include "icons.h"
#include "panels.h"

#include <QHash>
#include <QVector>
#include <functional>

namespace {

using Drawing = std::function<bool(QPainter &, const QRectF &, const QStringList &)>;

QString arg(const QStringList &words, int i)
{
    return i < words.size() ? words[i] : QString();
}

bool curve(QPainter &p, const QRectF &r, const QStringList &w)
{
    QVector<QPointF> points;
    for (int i = 1; i < w.size(); ++i) {
        const QStringList xy = w[i].split(QLatin1Char(','));
        if (xy.size() != 2)
            return false;
        points.append({xy[0].toDouble(), xy[1].toDouble()});
    }
    Icons::responseCurve(p, r, points);
    return !points.isEmpty();
}

const QHash<QString, Drawing> &drawings()
{
    static const QHash<QString, Drawing> table = {
        {QStringLiteral("controller-front"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             drawControllerFront(p, r, Skin::named(arg(w, 1)));
             return true;
         }},
        {QStringLiteral("controller-back"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             drawControllerBack(p, r, Skin::named(arg(w, 1)), arg(w, 2).toInt(), false);
             return true;
         }},
        {QStringLiteral("controller-trigger"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             drawControllerBack(p, r, Skin::named(arg(w, 1)), arg(w, 2).toInt(), true);
             return true;
         }},
        {QStringLiteral("dongle"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             drawDongle(p, r, Skin::named(arg(w, 1)));
             return true;
         }},
        {QStringLiteral("glyph"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             Icons::faceGlyph(p, r, arg(w, 1), arg(w, 2) == QLatin1String("solid"));
             return true;
         }},
        {QStringLiteral("icon"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             return Icons::uiIcon(p, r, arg(w, 1));
         }},
        {QStringLiteral("nav"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             return Icons::navIcon(p, r, arg(w, 1), arg(w, 2) == QLatin1String("selected"));
         }},
        {QStringLiteral("test"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             return Icons::testButton(p, r, arg(w, 1), arg(w, 2) == QLatin1String("lit"));
         }},
        {QStringLiteral("spinner"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             Icons::spinner(p, r, arg(w, 1).toInt(), qMax(1, arg(w, 2).toInt()));
             return true;
         }},
        {QStringLiteral("curve"), curve},
        {QStringLiteral("toggle"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             Icons::toggle(p, r, arg(w, 1) == QLatin1String("on"),
                           arg(w, 2) == QLatin1String("focus"));
             return true;
         }},
        {QStringLiteral("radio"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             Icons::radio(p, r, arg(w, 1) == QLatin1String("on"));
             return true;
         }},
        {QStringLiteral("title-button"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             static const QStringList states = {QStringLiteral("normal"), QStringLiteral("hover"),
                                                QStringLiteral("pressed")};
             Icons::titleButton(p, r, arg(w, 1), qMax(0, states.indexOf(arg(w, 2))));
             return true;
         }},
        {QStringLiteral("title-strip"),
         [](QPainter &p, const QRectF &r, const QStringList &) {
             Panels::titleStrip(p, r);
             return true;
         }},
        {QStringLiteral("background"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             Panels::background(p, r, arg(w, 1));
             return true;
         }},
        {QStringLiteral("progress"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             return Panels::progress(p, r, arg(w, 1));
         }},
        {QStringLiteral("logo"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             return Panels::logo(p, r, arg(w, 1));
         }},
        {QStringLiteral("pill"),
         [](QPainter &p, const QRectF &r, const QStringList &) {
             Panels::pillButton(p, r);
             return true;
         }},
        {QStringLiteral("no-device"),
         [](QPainter &p, const QRectF &r, const QStringList &) {
             Panels::noDevice(p, r);
             return true;
         }},
        {QStringLiteral("updater-device"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             return Panels::updaterDevice(p, r, arg(w, 1));
         }},
        {QStringLiteral("calibration"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             return Panels::calibration(p, r, arg(w, 1));
         }},
        {QStringLiteral("calibration-steps"),
         [](QPainter &p, const QRectF &r, const QStringList &w) {
             return Panels::calibrationSteps(p, r, arg(w, 1));
         }},
    };
    return table;
}

} // namespace

bool drawNamed(QPainter &p, const QRectF &target, const QStringList &words)
{
    const auto it = drawings().constFind(arg(words, 0));
    return it != drawings().constEnd() && it.value()(p, target, words);
}
