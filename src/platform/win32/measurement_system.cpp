#include "platform/measurement_system.h"

#include <string>

#include "platform/win32/locale_info.h"

namespace ZavorPlatform {
namespace {

// LOCALE_IMEASURE answers "0" for metric and "1" for US customary units.
MeasurementSystem Query(const wchar_t *locale) {
    auto answer = LocaleInfo(locale, LOCALE_IMEASURE);
    return answer && *answer == L"1" ? MeasurementSystem::Imperial : MeasurementSystem::Metric;
}

// "en_US.UTF-8" or "de_DE@euro" as a Windows locale name ("en-US").
std::wstring WindowsLocaleName(const char *name) {
    std::wstring windows;
    for (const char *c = name; *c != '\0' && *c != '.' && *c != '@'; ++c)
        windows.push_back(*c == '_' ? L'-' : static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    return windows;
}

}  // namespace

// Windows has no locale variables: the user's own settings decide.
MeasurementSystem CurrentMeasurementSystem() { return Query(LOCALE_NAME_USER_DEFAULT); }

MeasurementSystem MeasurementSystemOfLocale(const char *localeName) {
    if (localeName == nullptr || localeName[0] == '\0') return MeasurementSystem::Metric;
    std::wstring name = WindowsLocaleName(localeName);
    if (name.empty()) return MeasurementSystem::Metric;
    return Query(name.c_str());
}

}  // namespace ZavorPlatform
