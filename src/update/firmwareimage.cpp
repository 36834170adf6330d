#include "firmwareimage.h"

#include "protocol/versionnumber.h"

#include <QDebug>

namespace FirmwareImage {

namespace {

uint32_t U32(const char *p)
{
    const auto *b = reinterpret_cast<const uint8_t *>(p);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

QByteArray SectionBytes(const QByteArray &file, const Section &section)
{
    return file.mid(int(section.offset), int(section.size));
}

QByteArray LastMetadata(const QByteArray &file, const std::vector<Section> &sections,
                        bool *checksumOk)
{
    QByteArray metadata;
    bool ok = true;
    for (const Section &section : sections) {
        if (section.tag != kMetaTag)
            continue;
        metadata = SectionBytes(file, section);
        ok = Checksum(metadata.constData(), section.size) == section.checksum;
    }
    if (checksumOk)
        *checksumOk = ok;
    return metadata;
}

} // namespace

uint32_t Checksum(const char *bytes, uint32_t size)
{
    uint32_t sum = 0;
    for (uint32_t i = 0; i < size; ++i)
        sum += uint8_t(bytes[i]);
    return sum;
}

bool ReadTable(const QByteArray &file, std::vector<Section> &sections)
{
    sections.clear();
    const qint64 fileSize = file.size();
    if (fileSize < kHeaderSize || !file.startsWith("WFKW"))
        return false;
    const int count = uint8_t(file[8]);
    if (kHeaderSize + qint64(count) * kEntrySize > fileSize)
        return false;
    for (int i = 0; i < count; ++i) {
        const char *entry = file.constData() + kHeaderSize + kEntrySize * i;
        Section section{U32(entry), U32(entry + 4), U32(entry + 8), U32(entry + 12)};
        if (qint64(section.offset) + qint64(section.size) > fileSize)
            return false;
        sections.push_back(section);
    }
    return true;
}

Validation ValidateDownload(const QByteArray &file, int firmwareType)
{
    Validation result;
    std::vector<Section> sections;
    if (!ReadTable(file, sections))
        return result;
    bool checksumOk = true;
    const QString text = QString::fromLatin1(LastMetadata(file, sections, &checksumOk));
    if (!checksumOk)
        return result;
    const QString key = QStringLiteral("SOFTWARE_VERSION=");
    const int at = text.indexOf(key);
    if (at <= 0)
        return result;
    const int start = at + key.size();
    const int end = text.indexOf(QLatin1Char('\n'), start);
    const QString value = text.mid(start, end < 0 ? -1 : end - start);
    result.valid = true;
    result.metadata = text;
    result.version = VersionNumber(value);
    result.versionText = value.trimmed();
    qDebug() << "versonNumbert:" << firmwareType << value << result.version;
    return result;
}

bool LoadForTransfer(const QByteArray &file, TransferImage &image)
{
    std::vector<Section> sections;
    if (!ReadTable(file, sections))
        return false;
    TransferImage loaded = image;
    loaded.metadata = QString::fromLatin1(LastMetadata(file, sections, nullptr));
    if (!loaded.metadata.contains(QStringLiteral("VID=")))
        return false;
    if (sections.empty()) {
        qDebug() << "ap ld size:" << loaded.application.size() << loaded.loader.size();
        image = loaded;
        return true;
    }
    for (const Section &section : sections) {
        if (section.type() != kApplicationType)
            continue;
        const QByteArray application = SectionBytes(file, section);
        if (Checksum(application.constData(), section.size) != section.checksum ||
            application.size() < kMinApplicationSize)
            return false;
        loaded.application = application;
        image = loaded;
        return true;
    }
    for (const Section &section : sections) {
        if (section.type() != kLoaderType)
            continue;
        loaded.loader = SectionBytes(file, section);
        // The loader is never sent: no application of an earlier image may stay behind.
        loaded.application.clear();
        qDebug() << "ldfileSize:" << loaded.loader.size();
        break;
    }
    qDebug() << "ap ld size:" << loaded.application.size() << loaded.loader.size();
    image = loaded;
    return true;
}

int VersionNumber(const QString &dotted)
{
    QString digits = dotted;
    digits.remove(QLatin1Char('.'));
    bool ok = false;
    const int number = digits.toInt(&ok, 10);
    return ok ? number : 0;
}

QString VersionDisplay(int number)
{
    return VersionNumber::Display(number);
}

} // namespace FirmwareImage
