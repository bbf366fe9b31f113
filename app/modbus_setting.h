#pragma once

// The communication settings record lives with the device communication layer.
#include "devcomm/modbus_setting.h"
