#pragma once

// Control side of the virtual hidapi: plug nodes, feed them input, see what the host did.
#include "virtualhid/bus.h"
#include "virtualhid/firmware.h"
#include "virtualhid/node.h"
#include "virtualhid/nodeinfo.h"
