// The one number formatter of the engine: every number in PDF syntax goes
// through here, so that no locale can change a byte of the output.
#pragma once

#include <cstdint>
#include <string>

namespace ZavorPdf::Pdf {

// "0.###": the value taken to 15 significant digits, then rounded to at
// most three decimals with halves away from zero; no trailing zeros, no
// exponent, no "-0". A value that is not finite gives "0", since PDF has no
// spelling for it.
std::string FormatReal(double value);
void AppendReal(std::string &out, double value);
// The same rule with another number of decimals (0 to 9): "0.##" is 2,
// "0.####" is 4, "0.######" is 6.
std::string FormatReal(double value, int decimals);
void AppendReal(std::string &out, double value, int decimals);

std::string FormatInteger(std::int64_t value);

}  // namespace ZavorPdf::Pdf
