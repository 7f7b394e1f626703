// Whether the user measures in metric or in US (imperial) units, which
// decides the default paper of new pages (A4 or Letter).
#pragma once

namespace ZavorPlatform {

enum class MeasurementSystem { Metric, Imperial };

// The user's measurement system: on Linux that of the locale that LC_ALL,
// LC_MEASUREMENT or LANG names, in that order of precedence; on Windows that
// of the user's own settings. Metric when none is set, when the locale is
// unknown to the system, or when it says nothing either way.
MeasurementSystem CurrentMeasurementSystem();

// The measurement system of the named locale ("en_US.UTF-8", on Windows
// also "en-US"); metric for an empty, unknown or uninstalled name.
MeasurementSystem MeasurementSystemOfLocale(const char *localeName);

}  // namespace ZavorPlatform
