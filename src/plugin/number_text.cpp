#include "plugin/number_text.h"

namespace ZavorPlugin {

bool IsWhiteSpace(char16_t character) { return character == u' ' || (character >= u'\t' && character <= u'\r'); }

std::u16string_view TrimWhiteSpace(std::u16string_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<std::int32_t> TryParseStrictInteger(std::u16string_view text) {
    text = TrimWhiteSpace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Accumulate towards the negative side, which holds one more value.
    std::int64_t value = 0;
    for (char16_t character : text) {
        if (character < u'0' || character > u'9') return std::nullopt;
        value = value * 10 - (character - u'0');
        if (value < INT32_MIN) return std::nullopt;
    }
    if (!negative) {
        if (-value > INT32_MAX) return std::nullopt;
        value = -value;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace ZavorPlugin
