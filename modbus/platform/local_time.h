#pragma once

#include <string>

// The current local time as "mmm-dd hh:nn:ss.zzz" (short month name of the current locale).
std::string LocalTimeStamp();
