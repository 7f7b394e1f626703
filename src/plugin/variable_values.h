// How the variable commands read the values that scripts assign.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorPlugin {

// Empty or only white space.
bool IsBlank(std::u16string_view text);

// Leading white space, an optional sign and the decimal digits that follow;
// reading stops at the first other character. No digits give 0, and a value
// beyond the 32-bit range stops at its nearest end. Never fails.
std::int32_t ReadLeadingInteger(std::u16string_view text);

// A whole-field floating-point number with the decimal separator of the
// user's locale (not the host process's, which stays as the host set it),
// white space around it, an optional sign and exponent allowed. Nothing for anything else, infinities included.
std::optional<double> TryParseDecimal(std::u16string_view text);
// The same with the separator given, for callers and tests that know it.
std::optional<double> TryParseDecimal(std::u16string_view text, char16_t separator);

// A value split at every ";"; empty fields are kept.
class ValueFields {
public:
    explicit ValueFields(std::u16string_view value);

    std::size_t Count() const { return fields_.size(); }
    const std::vector<std::u16string> &All() const { return fields_; }
    // Touching a field beyond the last one fails (FieldValueError).
    std::u16string &operator[](std::size_t index);
    // Replaces a blank field; a missing one fails.
    void DefaultIfBlank(std::size_t index, std::u16string_view replacement);
    // The field as strict integer or decimal number; fails when missing or
    // unreadable (FieldValueError).
    std::int32_t Integer(std::size_t index);
    double Decimal(std::size_t index);

private:
    std::vector<std::u16string> fields_;
};

class FieldValueError : public std::exception {
public:
    explicit FieldValueError(const char *what) : what_(what) {}
    const char *what() const noexcept override { return what_; }

private:
    const char *what_;
};

}  // namespace ZavorPlugin
