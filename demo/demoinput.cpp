#include "demoinput.h"

#include "controller/inputreport.h"
#include "controller/simulatedcontroller.h"
#include "updatemode/updatabledevice.h"
#include "virtualhid/node.h"

namespace {

// The gamepad collection: interface 0 of a wired controller, and a dongle's only node.
vhid::Node &InputNode(ctrlsim::SimulatedController &controller)
{
    for (const auto &node : controller.nodes())
        for (const vhid::Collection &c : node->info().collections)
            if (c.usagePage == 0x01)
                return *node;
    return controller.node();
}

} // namespace

bool SendDemoInput(ctrlsim::UpdatableDevice &device, const ctrlsim::InputState &state)
{
    return device.withController([&](ctrlsim::SimulatedController &controller) {
        InputNode(controller).pushInput(ctrlsim::makeLongReport(state));
    });
}
