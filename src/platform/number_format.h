// The number format of the user's locale, in which scripts write decimal
// numbers. The plug-in runs inside its host's process and must leave the
// host's own locale alone, so the user's locale is looked up on the side and
// never selected for the process.
#pragma once

namespace ZavorPlatform {

// The character between the whole part and the fraction of a decimal number
// in the user's locale (on Linux the locale that LC_ALL, LC_NUMERIC or LANG
// names, in that order of precedence; on Windows the user's own settings).
// "." when none is set, when the locale is unknown to the system, or when
// its separator is not a single ASCII character (no script could type one in
// the host's code page).
char16_t UserDecimalSeparator();

}  // namespace ZavorPlatform
