#include "drawing/geometry_text.h"

#include <charconv>
#include <system_error>

#include "pdf/errors.h"

namespace ZavorPdf::Drawing {

namespace {

constexpr char kListSeparator = ',';

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace

// from_chars knows no leading plus, but the invariant format accepts one.
bool TryParseInvariantNumber(std::string_view text, double &value) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() == '-' || text.front() == '+') return false;
    }
    if (text.empty()) return false;
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

std::string FormatGeometryNumber(double value) {
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec;  // 64 characters hold every double in its shortest form
    return std::string(buffer, ptr);
}

std::string FormatGeometryList(const std::vector<double> &values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += kListSeparator;
        text += FormatGeometryNumber(values[i]);
    }
    return text;
}

std::string_view TrimGeometryText(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string InvalidGeometryTextMessage(std::string_view text, std::string_view typeName) {
    return "String '" + std::string(text) + "' is not a valid value for structure '" +
           std::string(typeName) + "'.";
}

std::vector<double> ParseGeometryList(std::string_view text, std::size_t count,
                                      std::string_view typeName) {
    std::vector<double> values;
    std::string_view rest = text;
    while (true) {
        std::size_t cut = rest.find(kListSeparator);
        double value = 0;
        bool read = TryParseInvariantNumber(TrimGeometryText(rest.substr(0, cut)), value);
        if (!read || values.size() == count)
            throw ArgumentException(InvalidGeometryTextMessage(text, typeName), "source");
        values.push_back(value);
        if (cut == std::string_view::npos) break;
        rest.remove_prefix(cut + 1);
    }
    if (values.size() != count)
        throw ArgumentException(InvalidGeometryTextMessage(text, typeName), "source");
    return values;
}

}  // namespace ZavorPdf::Drawing
