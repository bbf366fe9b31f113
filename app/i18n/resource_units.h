#pragma once

#include "i18n/resource_string.h"

#include <QStringView>

#include <vector>

// Every unit that has resource strings: main, about, modbusdiag, devicediag, settings, address.
const std::vector<TResourceUnit*>& AllResourceUnits();

// The unit of that name, or null.
TResourceUnit* FindResourceUnit(QStringView name);
