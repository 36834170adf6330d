#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QVector>

// An animated GIF89a encoder for small pictures, since Qt reads GIF but cannot write it.
// Pixels under half opacity become transparent; the others are laid over matte first, so
// soft edges blend into a dark page instead of fringing.
class GifWriter
{
public:
    GifWriter(const QColor &matte, int delayCentiseconds);
    void addFrame(const QImage &frame);
    // The whole file; empty when no frame was added or the frames differ in size.
    QByteArray encode() const;

private:
    QVector<QRgb> palette() const;
    QByteArray indices(const QImage &frame, const QVector<QRgb> &palette) const;
    QRgb flatten(QRgb pixel) const;

    QColor m_matte;
    int m_delay;
    QVector<QImage> m_frames;
};

// The LZW code stream of one frame with 8-bit pixels, packed into GIF data sub-blocks.
QByteArray gifLzw(const QByteArray &pixels);
