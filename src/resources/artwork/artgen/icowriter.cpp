#include "icowriter.h"

#include <QBuffer>

namespace {
void putShort(QByteArray &out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void putLong(QByteArray &out, int v)
{
    putShort(out, v & 0xffff);
    putShort(out, (v >> 16) & 0xffff);
}
} // namespace

QByteArray icoFile(const QVector<QImage> &images)
{
    QVector<QByteArray> pngs;
    for (const QImage &image : images) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        pngs.append(png);
    }
    QByteArray out;
    putShort(out, 0);
    putShort(out, 1); // icon
    putShort(out, images.size());
    int offset = 6 + 16 * images.size();
    for (int i = 0; i < images.size(); ++i) {
        // A side of 256 is written as 0.
        out.append(char(images[i].width() & 0xff));
        out.append(char(images[i].height() & 0xff));
        out.append('\0'); // no palette
        out.append('\0');
        putShort(out, 1);  // planes
        putShort(out, 32); // bits per pixel
        putLong(out, pngs[i].size());
        putLong(out, offset);
        offset += pngs[i].size();
    }
    for (const QByteArray &png : pngs)
        out.append(png);
    return out;
}
