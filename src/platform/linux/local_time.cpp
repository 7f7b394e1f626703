#include "platform/local_time.h"

#include <ctime>

namespace ZavorPlatform {

LocalDateTime LocalNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    LocalDateTime result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day = local.tm_mday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    // A leap second would give 60, which no date field may hold.
    result.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    result.utcOffsetMinutes = static_cast<int>(local.tm_gmtoff / 60);
    return result;
}

}  // namespace ZavorPlatform
