// Both firmware image readers on arbitrary bytes: they must never read outside the
// file, whatever its table says.
#include "update/firmwareimage.h"

#include "quietqt.h"

#include <QtGlobal>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QuietQtOnce();
    const QByteArray file(reinterpret_cast<const char *>(data), int(size));
    FirmwareImage::ValidateDownload(file, 0);
    FirmwareImage::TransferImage image;
    FirmwareImage::LoadForTransfer(file, image);
    return 0;
}
