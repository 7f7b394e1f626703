// The local wall-clock time together with its offset from UTC.
#pragma once

namespace ZavorPlatform {

struct LocalDateTime {
    int year = 1;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int utcOffsetMinutes = 0;  // east of Greenwich positive

    bool operator==(const LocalDateTime &) const = default;
};

// The current local time (whole seconds) and the offset in force at it.
LocalDateTime LocalNow();

}  // namespace ZavorPlatform
