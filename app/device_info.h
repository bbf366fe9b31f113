#pragma once

// The identification record lives with the device communication layer.
#include "devcomm/device_info.h"

#include <QString>

// The service-mode device-information message: one field per line, lines joined by CR LF.
QString DeviceInfoMessage(const TDeviceInfo& info);
