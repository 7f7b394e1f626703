#include "plugin/variable_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/number_format.h"
#include "plugin/number_text.h"

namespace ZavorPlugin {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Digits, at least one when required; advances past them.
bool TakeDigits(std::u16string_view text, std::size_t &position, std::string &out) {
    std::size_t start = position;
    while (position < text.size() && IsDigit(text[position])) out.push_back(static_cast<char>(text[position++]));
    return position > start;
}

}  // namespace

bool IsBlank(std::u16string_view text) { return TrimWhiteSpace(text).empty(); }

std::int32_t ReadLeadingInteger(std::u16string_view text) {
    std::size_t position = 0;
    while (position < text.size() && IsWhiteSpace(text[position])) ++position;
    bool negative = false;
    if (position < text.size() && (text[position] == u'+' || text[position] == u'-')) {
        negative = text[position] == u'-';
        ++position;
    }
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; position < text.size() && IsDigit(text[position]); ++position) {
        value = value * 10 + (text[position] - u'0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, kLimit - 1));
}

std::optional<double> TryParseDecimal(std::u16string_view text) {
    return TryParseDecimal(text, ZavorPlatform::UserDecimalSeparator());
}

std::optional<double> TryParseDecimal(std::u16string_view text, char16_t separator) {
    text = TrimWhiteSpace(text);
    std::string plain;
    std::size_t position = 0;
    if (position < text.size() && (text[position] == u'+' || text[position] == u'-')) {
        if (text[position] == u'-') plain.push_back('-');
        ++position;
    }
    bool integerDigits = TakeDigits(text, position, plain);
    bool fractionDigits = false;
    if (position < text.size() && text[position] == separator) {
        plain.push_back('.');
        ++position;
        fractionDigits = TakeDigits(text, position, plain);
    }
    if (!integerDigits && !fractionDigits) return std::nullopt;
    if (position < text.size() && (text[position] == u'e' || text[position] == u'E')) {
        plain.push_back('e');
        ++position;
        if (position < text.size() && (text[position] == u'+' || text[position] == u'-'))
            plain.push_back(static_cast<char>(text[position++]));
        if (!TakeDigits(text, position, plain)) return std::nullopt;
    }
    if (position != text.size()) return std::nullopt;
    double value = 0;
    auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

ValueFields::ValueFields(std::u16string_view value) {
    std::size_t start = 0;
    while (true) {
        std::size_t end = value.find(u';', start);
        fields_.emplace_back(value.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos
                                                                                   : end - start));
        if (end == std::u16string_view::npos) break;
        start = end + 1;
    }
}

std::u16string &ValueFields::operator[](std::size_t index) {
    if (index >= fields_.size()) throw FieldValueError("The value has too few fields.");
    return fields_[index];
}

void ValueFields::DefaultIfBlank(std::size_t index, std::u16string_view replacement) {
    std::u16string &field = (*this)[index];
    if (IsBlank(field)) field = replacement;
}

std::int32_t ValueFields::Integer(std::size_t index) {
    std::optional<std::int32_t> value = TryParseStrictInteger((*this)[index]);
    if (!value) throw FieldValueError("A field is not a whole number.");
    return *value;
}

double ValueFields::Decimal(std::size_t index) {
    std::optional<double> value = TryParseDecimal((*this)[index]);
    if (!value) throw FieldValueError("A field is not a number.");
    return *value;
}

}  // namespace ZavorPlugin
