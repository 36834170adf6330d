#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// The ".wkfw" firmware container: a 12-byte header, a table of sections with additive
// checksums, a plain-text metadata section and opaque binary sections. Every offset
// and size in a file is checked against the file before it is used.
namespace FirmwareImage {

constexpr int kHeaderSize = 12;
constexpr int kEntrySize = 16;
constexpr uint32_t kMetaTag = 0x4154454D; // "META" as the file stores it: "ATEM"
constexpr uint8_t kApplicationType = 1;
constexpr uint8_t kLoaderType = 2;
// The header report carries the first 48 bytes of the application.
constexpr int kMinApplicationSize = 48;

struct Section
{
    uint32_t tag = 0;
    uint32_t size = 0;
    uint32_t offset = 0;
    uint32_t checksum = 0;
    uint8_t type() const { return uint8_t(tag & 0xFF); }
};

// The section table, or false when the file is too short, has another magic, or a
// table entry or section lies beyond its end.
bool ReadTable(const QByteArray &file, std::vector<Section> &sections);
uint32_t Checksum(const char *bytes, uint32_t size);

struct Validation
{
    bool valid = false;
    QString metadata;
    int version = 0;
    QString versionText; // as the image states it, e.g. "1.1.4"
};
// The download check: metadata checksum, and the firmware version number.
Validation ValidateDownload(const QByteArray &file, int firmwareType);

// What a transfer sends: the application section, and the loader kept beside it.
struct TransferImage
{
    QString metadata;
    QByteArray application;
    QByteArray loader;
};
// The transfer load. On failure the image keeps what it held before.
bool LoadForTransfer(const QByteArray &file, TransferImage &image);

// "1.1.4" gives 114; a value that is not a number gives 0.
int VersionNumber(const QString &dotted);
// 114 gives "v1.1.4".
QString VersionDisplay(int number);

} // namespace FirmwareImage
