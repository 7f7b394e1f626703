#include "pdf/content/to_unicode_map.h"

#include <algorithm>
#include <charconv>

namespace ZavorPdf::Pdf::Content {
namespace {

// Codes are at most four bytes; a longer hex string is no code.
constexpr int kMaxCodeBytes = 4;
// Ranges with more array targets than this are damaged or hostile.
constexpr std::size_t kMaxArrayTargets = 65536;
// Ranges this short (all that a well-formed map has: a range stays within
// one last byte) become single codes, looked up in logarithmic time; the
// few longer ones are searched one by one, and there may be only so many.
constexpr std::uint32_t kExpandedRange = 256;
constexpr std::size_t kMaxLongRanges = 256;
constexpr std::size_t kMaxCodes = 1 << 18;

enum class TokenKind { End, Hex, Number, ArrayOpen, ArrayClose, Keyword, Other };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string bytes;  // the decoded bytes of a hex string, else the text
};

// The few token kinds a CMap section uses; strings, names and dictionaries
// are passed over as "Other".
class CMapTokens {
public:
    explicit CMapTokens(std::string_view text) : text_(text) {}

    Token Next() {
        SkipBlanks();
        if (pos_ >= text_.size())
            return {};
        const char c = text_[pos_];
        if (c == '[' || c == ']') {
            ++pos_;
            return {c == '[' ? TokenKind::ArrayOpen : TokenKind::ArrayClose, {}};
        }
        if (c == '<' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '<') {
            pos_ += 2;
            return {TokenKind::Other, {}};
        }
        if (c == '<')
            return Hex();
        if (c == '(')
            return SkipString();
        return Word();
    }

private:
    static bool IsDelimiter(char c) {
        return c == '[' || c == ']' || c == '<' || c == '>' || c == '(' || c == ')' || c == '/' || c == '%' ||
               c == '{' || c == '}';
    }
    static bool IsBlank(char c) {
        return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
    }
    static int HexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    void SkipBlanks() {
        while (pos_ < text_.size()) {
            if (IsBlank(text_[pos_])) {
                ++pos_;
            } else if (text_[pos_] == '%') {
                while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r')
                    ++pos_;
            } else {
                break;
            }
        }
    }

    Token Hex() {
        ++pos_;  // "<"
        Token token{TokenKind::Hex, {}};
        int high = -1;
        while (pos_ < text_.size() && text_[pos_] != '>') {
            const int digit = HexDigit(text_[pos_++]);
            if (digit < 0)
                continue;
            if (high < 0) {
                high = digit;
            } else {
                token.bytes.push_back(static_cast<char>(high * 16 + digit));
                high = -1;
            }
        }
        if (high >= 0)
            token.bytes.push_back(static_cast<char>(high * 16));
        ++pos_;  // ">"
        return token;
    }

    Token SkipString() {
        int depth = 0;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '\\')
                ++pos_;
            else if (c == '(')
                ++depth;
            else if (c == ')' && --depth == 0)
                break;
        }
        return {TokenKind::Other, {}};
    }

    Token Word() {
        const std::size_t start = pos_;
        ++pos_;  // a delimiter such as "/" or ">" starts a word of its own
        while (pos_ < text_.size() && !IsBlank(text_[pos_]) && !IsDelimiter(text_[pos_]))
            ++pos_;
        std::string word(text_.substr(start, pos_ - start));
        const char first = word[0];
        if ((first >= '0' && first <= '9') || first == '-' || first == '+' || first == '.')
            return {TokenKind::Number, std::move(word)};
        if (IsDelimiter(first))
            return {TokenKind::Other, std::move(word)};
        return {TokenKind::Keyword, std::move(word)};
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

bool IsCode(const Token &token) {
    return token.kind == TokenKind::Hex && !token.bytes.empty() && token.bytes.size() <= kMaxCodeBytes;
}

std::uint32_t CodeValue(std::string_view bytes) {
    std::uint32_t value = 0;
    for (char byte : bytes)
        value = value << 8 | static_cast<std::uint8_t>(byte);
    return value;
}

// A destination string: UTF-16 big-endian (an odd last byte is dropped).
std::u16string Utf16(std::string_view bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) << 8 |
                                             static_cast<std::uint8_t>(bytes[i + 1])));
    if (bytes.size() == 1)
        text.push_back(static_cast<std::uint8_t>(bytes[0]));
    return text;
}

}  // namespace

ToUnicodeMap ToUnicodeMap::Parse(std::string_view cmap) {
    ToUnicodeMap map;
    CMapTokens tokens(cmap);
    std::string section;
    for (Token token = tokens.Next(); token.kind != TokenKind::End; token = tokens.Next()) {
        if (token.kind == TokenKind::Keyword) {
            if (token.bytes.starts_with("begin"))
                section = token.bytes;
            else if (token.bytes.starts_with("end"))
                section.clear();
            continue;
        }
        if (!IsCode(token) || section.empty())
            continue;
        const std::string low = token.bytes;
        const int length = static_cast<int>(low.size());
        if (section == "beginbfchar") {
            Token target = tokens.Next();
            if (target.kind == TokenKind::Hex && map.chars_.size() < kMaxCodes)
                map.chars_[Key(CodeValue(low), length)] = Utf16(target.bytes);
            continue;
        }
        Token high = tokens.Next();
        if (!IsCode(high) || high.bytes.size() != low.size())
            continue;
        const std::uint32_t from = CodeValue(low);
        const std::uint32_t to = CodeValue(high.bytes);
        if (to < from)
            continue;
        if (section == "begincodespacerange") {
            map.codeSpace_.push_back({length, from, to});
        } else if (section == "beginbfrange") {
            Token target = tokens.Next();
            Range range{length, from, to, {}, {}};
            if (target.kind == TokenKind::Hex) {
                range.first = Utf16(target.bytes);
            } else if (target.kind == TokenKind::ArrayOpen) {
                for (Token item = tokens.Next(); item.kind == TokenKind::Hex; item = tokens.Next())
                    if (range.targets.size() < kMaxArrayTargets)
                        range.targets.push_back(Utf16(item.bytes));
                if (range.targets.empty())
                    continue;
            } else {
                continue;
            }
            map.AddRange(std::move(range));
        }
    }
    return map;
}

void ToUnicodeMap::AddRange(Range range) {
    if (range.high - range.low >= kExpandedRange) {
        if (ranges_.size() < kMaxLongRanges)
            ranges_.push_back(std::move(range));
        return;
    }
    // Counted by offset: a range that ends at the largest code must not
    // wrap around.
    for (std::uint32_t offset = 0; offset <= range.high - range.low && chars_.size() < kMaxCodes; ++offset) {
        const std::uint32_t code = range.low + offset;
        std::u16string text;
        if (!range.targets.empty()) {
            if (offset >= range.targets.size())
                break;
            text = range.targets[offset];
        } else {
            text = range.first;
            if (!text.empty())
                text.back() = static_cast<char16_t>(text.back() + offset);
        }
        chars_.emplace(Key(code, range.length), std::move(text));
    }
}

int ToUnicodeMap::CodeLength(std::string_view bytes) const {
    if (codeSpace_.empty())
        return 1;
    int shortest = kMaxCodeBytes;
    for (int length = 1; length <= kMaxCodeBytes && length <= static_cast<int>(bytes.size()); ++length) {
        const std::uint32_t code = CodeValue(bytes.substr(0, length));
        for (const Space &space : codeSpace_)
            if (space.length == length && code >= space.low && code <= space.high)
                return length;
    }
    for (const Space &space : codeSpace_)
        shortest = std::min(shortest, space.length);
    return shortest;
}

bool ToUnicodeMap::TryLookup(std::uint32_t code, int length, std::u16string &text) const {
    if (auto found = chars_.find(Key(code, length)); found != chars_.end()) {
        text = found->second;
        return true;
    }
    // Single codes before ranges, and the first range that holds the code.
    for (const Range &range : ranges_) {
        if (range.length != length || code < range.low || code > range.high)
            continue;
        const std::uint32_t offset = code - range.low;
        if (!range.targets.empty()) {
            if (offset >= range.targets.size())
                return false;
            text = range.targets[offset];
            return true;
        }
        text = range.first;
        if (text.empty())
            return true;
        // The offset is added to the last unit of the first destination.
        text.back() = static_cast<char16_t>(text.back() + offset);
        return true;
    }
    return false;
}

bool ToUnicodeMap::TryFindCode(std::u16string_view text, std::uint32_t &code) const {
    for (const auto &[key, value] : chars_) {
        if (value == text) {
            code = static_cast<std::uint32_t>(key);
            return true;
        }
    }
    for (const Range &range : ranges_) {
        if (range.targets.empty() && range.first.size() == 1 && text.size() == 1 && text[0] >= range.first[0] &&
            text[0] - range.first[0] <= static_cast<int>(range.high - range.low)) {
            code = range.low + (text[0] - range.first[0]);
            return true;
        }
    }
    return false;
}

}  // namespace ZavorPdf::Pdf::Content
