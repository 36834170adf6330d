#pragma once

#include <QColor>
#include <QProgressBar>

// The pages' loading indicator: a rounded bar painted in the app's colours, with an
// optional percentage text. A QProgressBar underneath, so value and maximum behave as
// usual; the maximum starts at 200.
class CustomProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    explicit CustomProgressBar(QWidget *parent = nullptr);

    void setChunkColor(const QColor &color);
    void setBackgroundColor(const QColor &color);
    void setTextColor(const QColor &color, int size);
    // Width of the filled part in pixels (also what is painted).
    int ChunkWidth() const;
    // The painted text: the value in tenths, "10%" at 100.
    QString text() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_chunk;
    QColor m_background;
    QColor m_text;
    int m_textSize = 25;
};
