#pragma once

#include "devcomm/device_context.h"
#include "devcomm/device_info.h"

// Identifies the device at the link's station through five block reads of its fixed registers
// (3000, 3028, 102, 5009, 5150). False when the port does not open or a read fails; fields read
// before the failing read keep their values.
bool IdentifyDevice(TDeviceContext& context, TDeviceInfo& info);
