#include "time_sources.h"

#include <ctime>

namespace fw {

LocalTime SystemTime::localTime() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_hour, tm.tm_min};
}

std::uint32_t SystemTime::utcMillisOfDay() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const std::int64_t secondsOfDay = std::int64_t(ts.tv_sec) % 86400;
    return std::uint32_t(secondsOfDay * 1000 + ts.tv_nsec / 1'000'000);
}

}  // namespace fw
