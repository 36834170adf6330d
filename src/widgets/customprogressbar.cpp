#include "widgets/customprogressbar.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kTextWeight = 50;

} // namespace

CustomProgressBar::CustomProgressBar(QWidget *parent)
    : QProgressBar(parent), m_chunk(QStringLiteral("#009B4C")),
      m_background(QStringLiteral("#005F5D5D")), m_text(QStringLiteral("#FFFFFF"))
{
    setMaximum(200);
    setValue(0);
    setTextVisible(false);
    // The base class repaints only when its own percentage changes; ours shows tenths.
    connect(this, &QProgressBar::valueChanged, this, qOverload<>(&QWidget::update));
}

void CustomProgressBar::setChunkColor(const QColor &color)
{
    m_chunk = color;
    update();
}

void CustomProgressBar::setBackgroundColor(const QColor &color)
{
    m_background = color;
    update();
}

void CustomProgressBar::setTextColor(const QColor &color, int size)
{
    m_text = color;
    m_textSize = size;
    update();
}

int CustomProgressBar::ChunkWidth() const
{
    const qint64 span = qint64(maximum()) - minimum();
    if (span <= 0)
        return 0;
    const qint64 filled = qint64(width()) * (qint64(value()) - minimum()) / span - 1;
    return int(qBound<qint64>(0, filled, width()));
}

QString CustomProgressBar::text() const
{
    return QStringLiteral("%1%").arg(value() / 10);
}

void CustomProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF area = rect();
    const qreal radius = height() / 2;
    QPainterPath shape;
    shape.addRoundedRect(area, radius, radius);
    painter.fillPath(shape, m_background);
    // A bar without a range has nothing to show.
    if (maximum() <= minimum())
        return;

    const int chunk = ChunkWidth();
    if (chunk > 0) {
        painter.save();
        painter.setClipPath(shape);
        painter.fillRect(QRectF(0, 0, chunk, height()), m_chunk);
        painter.restore();
    }

    if (isTextVisible()) {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(qMax(1, m_textSize));
        font.setWeight(kTextWeight);
        painter.setFont(font);
        painter.setPen(m_text);
        painter.drawText(width() / 2 - 30, 55, text());
    }
}
