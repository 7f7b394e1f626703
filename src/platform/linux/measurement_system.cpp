#include "platform/measurement_system.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <optional>
#include <string>

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

// The first of the variables that is set and not empty names the locale,
// as the C library resolves them.
const char *ChosenLocaleName() {
    for (const char *variable : {"LC_ALL", "LC_MEASUREMENT", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0')
            return value;
    }
    return nullptr;
}

}  // namespace

MeasurementSystem CurrentMeasurementSystem() {
    const char *name = ChosenLocaleName();
    if (name == nullptr)
        return MeasurementSystem::Metric;
    // Every new page asks, and loading a locale costs far more than the
    // page: the answer is kept for as long as the variables name the same
    // locale.
    thread_local std::string lastName;
    thread_local std::optional<MeasurementSystem> lastAnswer;
    if (!lastAnswer || lastName != name) {
        lastName = name;
        lastAnswer = Query(name);
    }
    return *lastAnswer;
}

MeasurementSystem MeasurementSystemOfLocale(const char *localeName) {
    if (localeName == nullptr || localeName[0] == '\0')
        return MeasurementSystem::Metric;
    return Query(localeName);
}

}  // namespace ZavorPlatform
