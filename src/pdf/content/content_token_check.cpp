#include "pdf/content/content_token_check.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace ZavorPdf::Pdf::Content {
namespace {

constexpr bool IsWhite(std::uint8_t ch) { return ch == 0 || ch == 9 || ch == 10 || ch == 12 || ch == 13 || ch == 32; }

// Nesting is bounded by the content's size; no stack of calls is used.
constexpr bool IsDelimiter(std::uint8_t ch) {
    switch (ch) {
    case '(': case ')': case '<': case '>': case '[': case ']': case '{': case '}': case '/': case '%':
        return true;
    default:
        return false;
    }
}

constexpr std::array<bool, 256> WordEnds = [] {
    std::array<bool, 256> ends{};
    for (std::size_t ch = 0; ch < ends.size(); ++ch) {
        const auto byte = static_cast<std::uint8_t>(ch);
        ends[ch] = IsWhite(byte) || IsDelimiter(byte);
    }
    return ends;
}();

bool EndsWord(std::uint8_t ch) { return WordEnds[ch]; }

bool IsHex(std::uint8_t ch) {
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}

class TokenWalk {
public:
    explicit TokenWalk(const std::vector<std::uint8_t> &content) : bytes_(content) {}

    std::string Run() {
        while (at_ < bytes_.size()) {
            std::uint8_t ch = bytes_[at_];
            if (IsWhite(ch)) {
                ++at_;
            } else if (ch == '%') {
                while (at_ < bytes_.size() && bytes_[at_] != '\n' && bytes_[at_] != '\r') ++at_;
            } else if (ch == '(') {
                if (!SkipLiteralString()) return "end of content in a string";
            } else if (ch == '<') {
                if (std::string problem = SkipAngle(); !problem.empty()) return problem;
            } else if (ch == '>') {
                if (at_ + 1 >= bytes_.size() || bytes_[at_ + 1] != '>') return "unexpected >";
                if (!Close('<')) return "unexpected >>";
                at_ += 2;
            } else if (ch == '[') {
                open_.push_back('[');
                ++at_;
            } else if (ch == ']') {
                if (!Close('[')) return "unexpected ]";
                ++at_;
            } else if (ch == ')' || ch == '{' || ch == '}') {
                return std::string("unexpected ") + static_cast<char>(ch);
            } else if (ch == '/') {
                ++at_;
                SkipWord();  // a name, even "/ID"
            } else if (SkipWord() == "ID" && !SkipInlineImageData()) {
                return "end of content in inline image data";
            }
        }
        if (!open_.empty()) return "end of content in an array or dictionary";
        return {};
    }

private:
    bool SkipLiteralString() {
        int depth = 0;
        for (; at_ < bytes_.size(); ++at_) {
            std::uint8_t ch = bytes_[at_];
            if (ch == '\\') {
                ++at_;
            } else if (ch == '(') {
                ++depth;
            } else if (ch == ')' && --depth == 0) {
                ++at_;
                return true;
            }
        }
        return false;
    }

    bool Close(char opened) {
        if (open_.empty() || open_.back() != opened) return false;
        open_.pop_back();
        return true;
    }

    std::string SkipAngle() {
        if (at_ + 1 < bytes_.size() && bytes_[at_ + 1] == '<') {
            open_.push_back('<');
            at_ += 2;
            return {};
        }
        for (++at_; at_ < bytes_.size(); ++at_) {
            std::uint8_t ch = bytes_[at_];
            if (ch == '>') {
                ++at_;
                return {};
            }
            if (!IsHex(ch) && !IsWhite(ch)) return "invalid character in a hex string";
        }
        return "end of content in a hex string";
    }

    // A view into the content: every number and operator of a page passes
    // here, and only "ID" is looked for among them.
    std::string_view SkipWord() {
        std::size_t start = at_;
        while (at_ < bytes_.size() && !EndsWord(bytes_[at_])) ++at_;
        return {reinterpret_cast<const char *>(bytes_.data()) + start, at_ - start};
    }

    // The data after "ID" ends at white space, "EI" and white space (or the
    // end); data that merely contains "EI" is not told apart here, so that
    // no sound picture is ever taken for damage.
    bool SkipInlineImageData() {
        for (++at_; at_ + 2 <= bytes_.size(); ++at_) {
            if (!IsWhite(bytes_[at_ - 1]) || bytes_[at_] != 'E' || bytes_[at_ + 1] != 'I') continue;
            if (at_ + 2 == bytes_.size() || IsWhite(bytes_[at_ + 2]) || IsDelimiter(bytes_[at_ + 2])) {
                at_ += 2;
                return true;
            }
        }
        return false;
    }

    const std::vector<std::uint8_t> &bytes_;
    std::size_t at_ = 0;
    std::string open_;  // "[" and "<" for the arrays and dictionaries open
};

}  // namespace

std::string FindBrokenToken(const std::vector<std::uint8_t> &content) { return TokenWalk(content).Run(); }

}  // namespace ZavorPdf::Pdf::Content
