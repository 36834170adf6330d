// The transfer's reply handler on arbitrary replies. The simulated update-mode device
// answers every report correctly; the input decides the application size and, reply by
// reply, which byte of the answer to corrupt (or none), so the fuzzer reaches every state
// of the exchange and every way a reply can be wrong.
#include "device/hidslot.h"
#include "update/updatehiddevice.h"

#include "firmware/imagebuilder.h"
#include "updatemode/updatemodedevice.h"
#include "virtualhid/virtualhidbus.h"

#include "quietqt.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QuietQtOnce();
    if (size < 2)
        return 0;
    const int appSize = 40 + (data[0] | data[1] << 8) % 1200; // some below the header size
    data += 2;
    size -= 2;

    const QByteArray app = ImageBuilder::Payload(appSize, 3);
    ctrlsim::UpdateModeDevice device;
    HidSlot slot;
    if (!slot.openIds(ctrlsim::UpdateModeDevice::kVendorId, ctrlsim::UpdateModeDevice::kProductId))
        std::abort();
    UpdateHIDDevice update;
    int results = 0;
    QObject::connect(&update, &UpdateHIDDevice::UpdateStatic, [&](bool) { ++results; });
    update.SetDevice(&slot);
    update.ResetProgress();
    update.LoadImage(ImageBuilder::Standard("1.1.4", app).Build());
    update.StartTransfer();

    uint8_t reply[64];
    for (size_t i = 0; i + 1 < size && results == 0; i += 2) {
        int n = slot.use([&](hid_device *h) { return hid_read_timeout(h, reply, 64, 0); });
        if (n <= 0) {
            n = 64; // no answer queued: the input's bytes stand in for one
            for (int k = 0; k < 64; ++k)
                reply[k] = data[(i + size_t(k)) % size];
        }
        if (data[i] < 64)
            reply[data[i]] ^= data[i + 1] | 1;
        update.HandleReply(reply, data[i] >= 128 ? data[i] - 128 : n);
        if (update.Progress() > 1000)
            std::abort();
    }
    if (results > 1)
        std::abort(); // a transfer ends once
    slot.close();
    vhid::Bus::instance().reset();
    return 0;
}
