#include "platform/local_time.h"

#include <windows.h>

namespace ZavorPlatform {

LocalDateTime LocalNow() {
    // The two calls cannot be made one: in the second in which summer time
    // begins or ends, the offset may still be the one of the moment before.
    TIME_ZONE_INFORMATION zone{};
    DWORD kind = GetTimeZoneInformation(&zone);
    SYSTEMTIME local{};
    GetLocalTime(&local);
    // Bias counts minutes to add to local time to get UTC: west positive.
    LONG bias = zone.Bias;
    if (kind == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    if (kind == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    LocalDateTime result;
    result.year = local.wYear;
    result.month = local.wMonth;
    result.day = local.wDay;
    result.hour = local.wHour;
    result.minute = local.wMinute;
    result.second = local.wSecond > 59 ? 59 : local.wSecond;
    result.utcOffsetMinutes = kind == TIME_ZONE_ID_INVALID ? 0 : static_cast<int>(-bias);
    return result;
}

}  // namespace ZavorPlatform
