#include "pdf/content/c_lexer.h"

#include <array>
#include <cstdint>
#include <limits>

#include "pdf/content/content_reader_exception.h"

namespace ZavorPdf::Pdf::Content {
namespace {

bool IsDigit(char16_t ch) { return ch >= u'0' && ch <= u'9'; }
bool IsOctalDigit(char16_t ch) { return ch >= u'0' && ch <= u'7'; }
bool IsLetter(char16_t ch) { return (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z'); }

int HexDigit(char16_t ch) {
    if (ch >= u'0' && ch <= u'9')
        return ch - u'0';
    if (ch >= u'A' && ch <= u'F')
        return ch - u'A' + 10;
    if (ch >= u'a' && ch <= u'f')
        return ch - u'a' + 10;
    return -1;
}

// Fraction digits beyond the tenth are dropped, so the table ends there.
constexpr std::array<double, 11> kPowersOfTen{1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
constexpr int kMaxFractionDigits = 10;

}  // namespace

CLexer::CLexer(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

bool CLexer::IsDelimiter(char16_t ch) {
    switch (ch) {
        case u'%': case u'(': case u')': case u'/': case u'<': case u'>': case u'[': case u']':
            return true;
        default:
            return false;
    }
}

std::string CLexer::TokenText() const {
    std::string text;
    text.reserve(token_.size());
    for (char16_t ch : token_)
        text.push_back(static_cast<char>(ch & 0xFF));
    return text;
}

char16_t CLexer::Advance() {
    current_ = next_;
    next_ = index_ < bytes_.size() ? bytes_[index_++] : EndMark;
    if (current_ == u'\r') {
        if (next_ == u'\n')
            next_ = index_ < bytes_.size() ? bytes_[index_++] : EndMark;
        current_ = u'\n';
    }
    return current_;
}

char16_t CLexer::AdvanceRaw() {
    current_ = next_;
    next_ = index_ < bytes_.size() ? bytes_[index_++] : EndMark;
    return current_;
}

void CLexer::SkipWhiteSpace() {
    while (IsWhiteSpace(current_))
        Advance();
}

void CLexer::SkipComment() {
    while (current_ != u'\n' && current_ != EndMark)
        Advance();
}

CSymbol CLexer::ScanNextToken() {
    token_.clear();
    integer_ = 0;
    real_ = 0;
    for (;;) {
        SkipWhiteSpace();
        const char16_t ch = current_;
        if (ch == u'%') {
            SkipComment();
            continue;
        }
        if (ch == u'/')
            return symbol_ = ScanName();
        if (ch == u'(')
            return symbol_ = ScanLiteralString();
        if (ch == u'<') {
            if (next_ == u'<') {
                Advance();
                Advance();
                return symbol_ = CSymbol::BeginDictionary;
            }
            return symbol_ = ScanHexString();
        }
        if (ch == u'>' && next_ == u'>') {
            Advance();
            Advance();
            return symbol_ = CSymbol::EndDictionary;
        }
        if (ch == u'[' || ch == u']') {
            token_.push_back(ch);
            Advance();
            return symbol_ = ch == u'[' ? CSymbol::BeginArray : CSymbol::EndArray;
        }
        if (ch == u'+' || ch == u'-' || ch == u'.' || IsDigit(ch))
            return symbol_ = ScanNumber();
        if (IsLetter(ch) || ch == u'\'' || ch == u'"')
            return symbol_ = ScanOperator();
        if (ch == EndMark)
            return symbol_ = CSymbol::Eof;
        // Consumed, so that a stray ")" or "{" cannot stall the parser.
        token_.push_back(ch);
        Advance();
        return symbol_ = CSymbol::None;
    }
}

CSymbol CLexer::ScanName() {
    token_.push_back(u'/');
    Advance();
    while (!IsWhiteSpace(current_) && !IsDelimiter(current_) && current_ != EndMark) {
        // "#" with two hex digits stands for one byte; a "#" without them is
        // kept as it is.
        if (current_ == u'#' && HexDigit(next_) >= 0 && index_ < bytes_.size() && HexDigit(bytes_[index_]) >= 0) {
            const int high = HexDigit(next_);
            Advance();
            const int low = HexDigit(next_);
            Advance();
            Advance();
            token_.push_back(static_cast<char16_t>(high * 16 + low));
            continue;
        }
        token_.push_back(current_);
        Advance();
    }
    return CSymbol::Name;
}

CSymbol CLexer::ScanNumber() {
    bool negative = false;
    if (current_ == u'+' || current_ == u'-') {
        negative = current_ == u'-';
        token_.push_back(current_);
        Advance();
    }
    bool period = false;
    int fractionDigits = 0;
    std::int64_t value = 0;
    // Takes over once the digits no longer fit 64 bits; only a real can
    // still be read then.
    double wide = 0;
    bool overflow = false;
    for (;; Advance()) {
        if (current_ == u'.') {
            if (period)
                throw ContentReaderException(ContentMessages::MoreThanOnePeriod);
            period = true;
        } else if (IsDigit(current_)) {
            const int digit = current_ - u'0';
            if (period) {
                if (fractionDigits >= kMaxFractionDigits) {
                    token_.push_back(current_);
                    continue;
                }
                ++fractionDigits;
            }
            if (!overflow && value > (std::numeric_limits<std::int64_t>::max() - digit) / 10) {
                overflow = true;
                wide = static_cast<double>(value);
            }
            if (overflow)
                wide = wide * 10 + digit;
            else
                value = value * 10 + digit;
        } else {
            break;
        }
        token_.push_back(current_);
    }
    if (period) {
        double magnitude = (overflow ? wide : static_cast<double>(value)) / kPowersOfTen[fractionDigits];
        real_ = negative ? -magnitude : magnitude;
        return CSymbol::Real;
    }
    const std::int64_t limit = negative ? std::int64_t{2147483648} : std::int64_t{2147483647};
    if (overflow || value > limit)
        throw ContentReaderException(ContentMessages::NumberExceedsRange);
    integer_ = static_cast<std::int32_t>(negative ? -value : value);
    real_ = integer_;
    return CSymbol::Integer;
}

CSymbol CLexer::ScanOperator() {
    while (IsLetter(current_) || current_ == u'\'' || current_ == u'"' || current_ == u'*') {
        token_.push_back(current_);
        Advance();
    }
    // Digits end an operator, but the glyph metrics operators of Type 3
    // fonts are spelt with one.
    if (token_ == u"d" && (current_ == u'0' || current_ == u'1')) {
        token_.push_back(current_);
        Advance();
    }
    return CSymbol::Operator;
}

}  // namespace ZavorPdf::Pdf::Content

namespace ZavorPdf::Pdf::Content {

char16_t CLexer::TakeStringChar(bool unicode) {
    const char16_t ch = current_;
    if (!unicode) {
        Advance();
        return ch;
    }
    if (ch == EndMark)
        return EndMark;
    AdvanceRaw();
    const char16_t low = current_;
    if (low == EndMark)
        return static_cast<char16_t>(ch << 8);
    AdvanceRaw();
    return static_cast<char16_t>((ch << 8) | low);
}

void CLexer::ScanEscape(bool unicode) {
    const char16_t ch = TakeStringChar(unicode);
    switch (ch) {
        case u'n': token_.push_back(u'\n'); return;
        case u'r': token_.push_back(u'\r'); return;
        case u't': token_.push_back(u'\t'); return;
        case u'b': token_.push_back(u'\b'); return;
        case u'f': token_.push_back(u'\f'); return;
        case u'\n': return;  // a line continuation
        case EndMark: return;
        default: break;
    }
    if (!IsOctalDigit(ch)) {
        token_.push_back(ch);  // "(", ")", "\" and any other character
        return;
    }
    int code = ch - u'0';
    for (int digits = 1; digits < 3; ++digits) {
        const char16_t peek = unicode ? static_cast<char16_t>(current_ << 8 | (next_ & 0xFF)) : current_;
        if (current_ == EndMark || (unicode && next_ == EndMark) || !IsOctalDigit(peek))
            break;
        code = code * 8 + (peek - u'0');
        TakeStringChar(unicode);
    }
    // "\777" does not fit a byte; the high bit is dropped as in the file format.
    token_.push_back(static_cast<char16_t>(code & 0xFF));
}

CSymbol CLexer::ScanLiteralString() {
    Advance();  // the "("
    bool unicode = false;
    if (current_ == 0xFE && next_ == 0xFF) {
        unicode = true;
        AdvanceRaw();
        AdvanceRaw();
    }
    int depth = 0;
    for (;;) {
        if (current_ == EndMark)
            break;  // unterminated: the string ends with the data
        if (unicode && current_ == u')') {
            Advance();
            break;
        }
        const char16_t ch = TakeStringChar(unicode);
        if (ch == u'(') {
            ++depth;
        } else if (ch == u')') {
            if (depth == 0)
                break;
            --depth;
        } else if (ch == u'\\') {
            ScanEscape(unicode);
            continue;
        }
        token_.push_back(ch);
    }
    return CSymbol::String;
}

char16_t CLexer::HexPairValue(char16_t high, char16_t low) const {
    const int h = HexDigit(high);
    const int l = HexDigit(low);
    if (h < 0 || l < 0)
        throw ContentReaderException(ContentMessages::InvalidHexString);
    return static_cast<char16_t>(h * 16 + l);
}

CSymbol CLexer::ScanHexString() {
    Advance();  // the "<"
    for (;;) {
        SkipWhiteSpace();
        if (current_ == u'>') {
            Advance();
            break;
        }
        if (current_ == EndMark)
            break;
        if (IsLetter(current_) || IsDigit(current_)) {
            const char16_t high = current_;
            Advance();
            SkipWhiteSpace();
            const char16_t low = current_;
            token_.push_back(HexPairValue(high, low));
            Advance();
        } else {
            Advance();  // not part of any hex string; passed over
        }
    }
    if (token_.size() > 2 && token_[0] == 0xFE && token_[1] == 0xFF) {
        if (token_.size() % 2 != 0)
            throw ContentReaderException(ContentMessages::OddUnicodeHexString);
        std::u16string units;
        units.reserve(token_.size() / 2 - 1);
        for (std::size_t i = 2; i < token_.size(); i += 2)
            units.push_back(static_cast<char16_t>(token_[i] << 8 | token_[i + 1]));
        token_ = std::move(units);
    }
    return CSymbol::HexString;
}

void CLexer::ScanInlineImage() {
    // Binary image data holds "EI" by chance every few kilobytes; only an
    // "EI" standing alone as a word ends it.
    char16_t previous = u' ';
    while (current_ != EndMark) {
        if (current_ == u'E' && next_ == u'I' && IsWhiteSpace(previous)) {
            const bool last = index_ >= bytes_.size();
            if (last || IsWhiteSpace(bytes_[index_]) || IsDelimiter(bytes_[index_]))
                return;
        }
        previous = current_;
        AdvanceRaw();
    }
}

}  // namespace ZavorPdf::Pdf::Content
