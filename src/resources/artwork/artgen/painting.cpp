#include "painting.h"

#include <QFontDatabase>
#include <QHash>
#include <QRadialGradient>

namespace {
QHash<QString, QString> &fontFamilies()
{
    static QHash<QString, QString> families;
    return families;
}
} // namespace

void fitDesign(QPainter &p, const QRectF &target, qreal w, qreal h)
{
    const qreal scale = qMin(target.width() / w, target.height() / h);
    p.translate(target.center());
    p.scale(scale, scale);
    p.translate(-w / 2, -h / 2);
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

void glow(QPainter &p, const QPointF &centre, qreal r, const QColor &c)
{
    QRadialGradient g(centre, r);
    g.setColorAt(0, c);
    g.setColorAt(0.45, withAlpha(c, c.alpha() / 3));
    g.setColorAt(1, withAlpha(c, 0));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, r, r);
    p.restore();
}

void brandMark(QPainter &p, const QPointF &centre, qreal r, qreal weight, const QColor &c)
{
    p.save();
    p.setPen(linePen(c, weight));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, r, r);
    p.drawLine(centre + QPointF(r * 0.3, r * 0.3), centre + QPointF(r * 0.98, r * 0.98));
    p.restore();
}

QPen linePen(const QColor &c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

bool registerFont(const QString &key, const QString &path)
{
    const QStringList families =
        QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(path));
    if (families.isEmpty())
        return false;
    fontFamilies().insert(key, families.first());
    return true;
}

void fontText(QPainter &p, const QRectF &box, const QString &text, const QString &fontKey, qreal px,
              const QColor &c, int flags)
{
    const QString family = fontFamilies().value(fontKey);
    if (family.isEmpty())
        return;
    QFont font(family);
    font.setPixelSize(qRound(px));
    p.save();
    p.setFont(font);
    p.setPen(c);
    p.drawText(box, flags | Qt::TextWordWrap, text);
    p.restore();
}

QPainterPath triggerTab(const QRectF &r)
{
    QPainterPath path(QPointF(r.left(), r.bottom()));
    path.lineTo(r.left(), r.top() + r.height() * 0.45);
    path.cubicTo(r.left(), r.top(), r.right(), r.top(), r.right(), r.top() + r.height() * 0.45);
    path.lineTo(r.right(), r.bottom());
    path.closeSubpath();
    return path;
}
