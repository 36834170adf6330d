#include "gifwriter.h"

#include <QHash>
#include <algorithm>
#include <unordered_map>

namespace {

constexpr int kTransparent = 0;
constexpr int kMaxCodes = 4096;

void putShort(QByteArray &out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

// Collects variable-width codes least significant bit first, in sub-blocks of 255 bytes.
class BitPacker
{
public:
    void put(int code, int width)
    {
        m_acc |= quint32(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_bytes.append(char(m_acc & 0xff));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray blocks()
    {
        if (m_bits > 0)
            m_bytes.append(char(m_acc & 0xff));
        m_acc = 0;
        m_bits = 0;
        QByteArray out;
        for (int i = 0; i < m_bytes.size(); i += 255) {
            const QByteArray chunk = m_bytes.mid(i, 255);
            out.append(char(chunk.size()));
            out.append(chunk);
        }
        out.append('\0');
        return out;
    }

private:
    QByteArray m_bytes;
    quint32 m_acc = 0;
    int m_bits = 0;
};

int distance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

} // namespace

QByteArray gifLzw(const QByteArray &pixels)
{
    constexpr int clear = 256, end = 257;
    BitPacker out;
    std::unordered_map<quint32, int> table;
    int width = 9;
    int next = end + 1;
    out.put(clear, width);
    if (pixels.isEmpty()) {
        out.put(end, width);
        return out.blocks();
    }
    // A code is written at the current width; the width grows once the next free code
    // no longer fits, which is when a decoder, one entry behind, grows it too.
    auto writeCode = [&](int code) {
        out.put(code, width);
        if (next > (1 << width) - 1 && width < 12)
            ++width;
    };
    int prefix = quint8(pixels[0]);
    for (int i = 1; i < pixels.size(); ++i) {
        const int k = quint8(pixels[i]);
        const quint32 key = (quint32(prefix) << 8) | quint32(k);
        const auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        writeCode(prefix);
        if (next < kMaxCodes) {
            table.emplace(key, next++);
        } else {
            out.put(clear, width);
            table.clear();
            next = end + 1;
            width = 9;
        }
        prefix = k;
    }
    writeCode(prefix);
    out.put(end, width);
    return out.blocks();
}

GifWriter::GifWriter(const QColor &matte, int delayCentiseconds)
    : m_matte(matte), m_delay(delayCentiseconds)
{
}

void GifWriter::addFrame(const QImage &frame)
{
    m_frames.append(frame.convertToFormat(QImage::Format_ARGB32));
}

QRgb GifWriter::flatten(QRgb pixel) const
{
    const int a = qAlpha(pixel);
    auto mix = [a](int c, int m) { return (c * a + m * (255 - a)) / 255; };
    return qRgb(mix(qRed(pixel), m_matte.red()), mix(qGreen(pixel), m_matte.green()),
                mix(qBlue(pixel), m_matte.blue()));
}

// Index 0 is the transparent colour; the 255 most frequent colours fill the rest.
QVector<QRgb> GifWriter::palette() const
{
    QHash<QRgb, int> counts;
    for (const QImage &frame : m_frames) {
        for (int y = 0; y < frame.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
            for (int x = 0; x < frame.width(); ++x) {
                if (qAlpha(line[x]) >= 128)
                    ++counts[flatten(line[x])];
            }
        }
    }
    QVector<QPair<int, QRgb>> ranked;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        ranked.append({it.value(), it.key()});
    std::sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    QVector<QRgb> colours{m_matte.rgb()};
    for (int i = 0; i < ranked.size() && colours.size() < 256; ++i)
        colours.append(ranked[i].second);
    colours.resize(256);
    return colours;
}

QByteArray GifWriter::indices(const QImage &frame, const QVector<QRgb> &palette) const
{
    QHash<QRgb, int> nearest;
    QByteArray out;
    out.reserve(frame.width() * frame.height());
    for (int y = 0; y < frame.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            if (qAlpha(line[x]) < 128) {
                out.append(char(kTransparent));
                continue;
            }
            const QRgb c = flatten(line[x]);
            auto it = nearest.find(c);
            if (it == nearest.end()) {
                int best = 1;
                for (int i = 2; i < palette.size(); ++i) {
                    if (distance(palette[i], c) < distance(palette[best], c))
                        best = i;
                }
                it = nearest.insert(c, best);
            }
            out.append(char(it.value()));
        }
    }
    return out;
}

QByteArray GifWriter::encode() const
{
    if (m_frames.isEmpty())
        return {};
    const QSize size = m_frames.first().size();
    for (const QImage &frame : m_frames) {
        if (frame.size() != size)
            return {};
    }
    const QVector<QRgb> colours = palette();
    QByteArray out("GIF89a");
    putShort(out, size.width());
    putShort(out, size.height());
    out.append(char(0xF7)); // global colour table of 256 entries
    out.append(char(kTransparent));
    out.append('\0');
    for (QRgb c : colours) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    // Loop forever.
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
    putShort(out, 0);
    out.append('\0');
    for (const QImage &frame : m_frames) {
        // Graphic control: restore to background between frames, index 0 transparent.
        out.append("\x21\xF9\x04\x09", 4);
        putShort(out, m_delay);
        out.append(char(kTransparent));
        out.append('\0');
        out.append(char(0x2C));
        putShort(out, 0);
        putShort(out, 0);
        putShort(out, size.width());
        putShort(out, size.height());
        out.append('\0');
        out.append(char(8)); // LZW minimum code size
        out.append(gifLzw(indices(frame, colours)));
    }
    out.append(char(0x3B));
    return out;
}
