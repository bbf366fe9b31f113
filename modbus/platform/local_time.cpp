#include "modbus/platform/local_time.h"

#include <chrono>
#include <cstdio>
#include <ctime>

std::string LocalTimeStamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char head[32] = {};
    std::strftime(head, sizeof(head), "%b-%d %H:%M:%S", &local);
    char stamp[48] = {};
    std::snprintf(stamp, sizeof(stamp), "%s.%03d", head, static_cast<int>(millis));
    return stamp;
}
