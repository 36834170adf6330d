// artgen: draws every picture of the manifest into a directory tree that mirrors the
// resource paths.
//   artgen <manifest> <output dir> [--font key=file]...

#include "drawings.h"
#include "gifwriter.h"
#include "icowriter.h"
#include "painting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {

struct Entry
{
    QString path;
    QSize size;
    QStringList drawing;
};

bool parse(const QString &line, Entry &entry)
{
    const QStringList fields = line.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
    if (fields.size() < 4)
        return false;
    const QStringList wh = fields[2].split(QLatin1Char('x'));
    entry.path = fields[1];
    entry.size = wh.size() == 2 ? QSize(wh[0].toInt(), wh[1].toInt()) : QSize();
    entry.drawing = fields[3].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return entry.size.isValid() && !entry.size.isEmpty();
}

QImage render(const QSize &size, const QStringList &drawing, bool *ok)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    *ok = drawNamed(p, QRectF(QPointF(0, 0), QSizeF(size)), drawing);
    return image;
}

// An animation's drawing is "<name> <frames>"; frame k is drawn as "<name> k <frames>".
QByteArray animation(const Entry &e, bool *ok)
{
    const int frames = e.drawing.value(1).toInt();
    GifWriter gif(QColor(0x26, 0x26, 0x26), 8);
    *ok = frames > 1;
    for (int k = 0; k < frames && *ok; ++k) {
        const QStringList words{e.drawing.value(0), QString::number(k), QString::number(frames)};
        gif.addFrame(render(e.size, words, ok));
    }
    return gif.encode();
}

// The manifest size first, then the usual icon sizes.
QByteArray icon(const Entry &e, bool *ok)
{
    QVector<QImage> images{render(e.size, e.drawing, ok)};
    for (int side : {16, 48, 256}) {
        if (side != e.size.width())
            images.append(render(QSize(side, side), e.drawing, ok));
    }
    return icoFile(images);
}

bool write(const Entry &e, const QString &outDir)
{
    const QString file = outDir + QLatin1Char('/') + e.path;
    QDir().mkpath(QFileInfo(file).absolutePath());
    bool ok = false;
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("png")) {
        const QImage image = render(e.size, e.drawing, &ok);
        return ok && image.save(file, "PNG");
    }
    const QByteArray data = suffix == QLatin1String("gif") ? animation(e, &ok) : icon(e, &ok);
    QFile out(file);
    return ok && !data.isEmpty() && out.open(QIODevice::WriteOnly) &&
           out.write(data) == data.size();
}

} // namespace

int main(int argc, char **argv)
{
    // Text needs a platform for the font database; nothing is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    for (int i = args.indexOf(QStringLiteral("--font")); i >= 0 && i + 1 < args.size();
         i = args.indexOf(QStringLiteral("--font"))) {
        const QString option = args[i + 1];
        const QString key = option.section(QLatin1Char('='), 0, 0);
        if (!registerFont(key, option.section(QLatin1Char('='), 1)))
            std::fprintf(stderr, "artgen: font %s not loaded, its captions stay empty\n",
                         qPrintable(key));
        args.erase(args.begin() + i, args.begin() + i + 2);
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: artgen <manifest> <output dir> [--font key=file]...\n");
        return 2;
    }
    QFile manifest(args[0]);
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "artgen: cannot read %s\n", qPrintable(args[0]));
        return 1;
    }
    QTextStream in(&manifest);
    in.setCodec("UTF-8");
    int failures = 0;
    for (int number = 1; !in.atEnd(); ++number) {
        const QString line = in.readLine();
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        Entry e;
        if (!parse(line, e) || !write(e, args[1])) {
            std::fprintf(stderr, "artgen: line %d: cannot draw \"%s\"\n", number, qPrintable(line));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
