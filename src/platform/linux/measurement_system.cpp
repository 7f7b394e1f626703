#include "platform/measurement_system.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>

#include "platform/linux/locale_handle.h"

namespace ZavorPlatform {
namespace {

// glibc answers 1 for metric and 2 for US customary units.
constexpr int kGlibcImperial = 2;

MeasurementSystem Query(const char *name) {
    LocaleHandle locale(LC_MEASUREMENT_MASK, name);
    if (locale.Get() == nullptr)
        return MeasurementSystem::Metric;
    const char *answer = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, locale.Get());
    if (answer != nullptr && answer[0] == kGlibcImperial)
        return MeasurementSystem::Imperial;
    return MeasurementSystem::Metric;
}

bool IsSet(const char *variable) {
    const char *value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

}  // namespace

MeasurementSystem CurrentMeasurementSystem() {
    if (!IsSet("LC_ALL") && !IsSet("LC_MEASUREMENT") && !IsSet("LANG"))
        return MeasurementSystem::Metric;
    // The empty name makes the C library resolve the variables itself.
    return Query("");
}

MeasurementSystem MeasurementSystemOfLocale(const char *localeName) {
    if (localeName == nullptr || localeName[0] == '\0')
        return MeasurementSystem::Metric;
    return Query(localeName);
}

}  // namespace ZavorPlatform
