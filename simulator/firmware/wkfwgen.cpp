// Writes a valid synthetic firmware image:
//   wkfwgen <out.wkfw> <product id, hex> <model> <version> <application bytes>
#include "imagebuilder.h"

#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s out.wkfw pid model version app-size\n", argv[0]);
        return 2;
    }
    bool pidOk = false;
    bool sizeOk = false;
    const uint16_t pid = uint16_t(QByteArray(argv[2]).toUInt(&pidOk, 16));
    const int size = QByteArray(argv[5]).toInt(&sizeOk);
    if (!pidOk || !sizeOk || size < 48) {
        std::fprintf(stderr, "bad product id or size\n");
        return 2;
    }
    const QByteArray image =
        ImageBuilder::Standard(argv[4], ImageBuilder::Payload(size, uint8_t(pid)), pid, argv[3])
            .Build();
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(image) != image.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
