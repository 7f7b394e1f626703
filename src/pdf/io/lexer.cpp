#include "pdf/io/lexer.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>

#include "pdf/errors.h"
#include "pdf/io/reader_messages.h"

namespace ZavorPdf::Pdf::IO {

namespace {

bool IsDigit(char16_t ch) { return ch >= u'0' && ch <= u'9'; }
bool IsLetter(char16_t ch) { return (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z'); }

int HexValue(char16_t ch) {
    if (IsDigit(ch)) return ch - u'0';
    if (ch >= u'a' && ch <= u'f') return ch - u'a' + 10;
    if (ch >= u'A' && ch <= u'F') return ch - u'A' + 10;
    return -1;
}

[[noreturn]] void EndOfFile() { throw PdfReaderException(ReaderMessages::UnexpectedEndOfFile); }

}  // namespace

Lexer::Lexer(std::vector<std::uint8_t> bytes) : owned_(std::move(bytes)), bytes_(owned_) {
    if (bytes_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw PdfReaderException(ReaderMessages::FileTooLarge);
}

Lexer::Lexer(std::unique_ptr<ZavorPlatform::FileMapping> mapping)
    : mapping_(std::move(mapping)), bytes_(mapping_->Bytes()) {
    if (bytes_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw PdfReaderException(ReaderMessages::FileTooLarge);
}

void Lexer::SetPosition(std::int32_t position) { position_ = position < 0 ? PdfLength() : position; }

bool Lexer::IsDelimiter(char16_t ch) {
    switch (ch) {
    case u'%': case u'(': case u')': case u'/': case u'<':
    case u'>': case u'[': case u']': case u'{': case u'}':
        return true;
    default:
        return false;
    }
}

char16_t Lexer::CharAt(std::int64_t position) const {
    if (position < 0 || position >= static_cast<std::int64_t>(bytes_.size())) return EndOfInput;
    std::uint8_t byte = bytes_[static_cast<std::size_t>(position)];
    return byte == 0x0D ? u'\n' : byte;
}

std::int64_t Lexer::NextPosition(std::int64_t position) const {
    if (position >= static_cast<std::int64_t>(bytes_.size())) return position;
    std::size_t index = static_cast<std::size_t>(position);
    if (bytes_[index] == 0x0D && index + 1 < bytes_.size() && bytes_[index + 1] == 0x0A) return position + 2;
    return position + 1;
}

char16_t Lexer::Take() {
    char16_t ch = Current();
    if (ch == EndOfInput) EndOfFile();
    Advance();
    return ch;
}

Symbol Lexer::ScanNextToken() {
    token_.clear();
    unicode_.clear();
    for (;;) {
        while (Current() != EndOfInput && IsWhiteSpace(Current())) Advance();
        char16_t ch = Current();
        if (ch == u'%') {
            SkipComment();
            continue;
        }
        if (ch == EndOfInput) return symbol_ = Symbol::Eof;
        switch (ch) {
        case u'(': return symbol_ = ScanLiteralString();
        case u'/': return symbol_ = ScanName();
        case u'[': Advance(); token_ = "["; return symbol_ = Symbol::BeginArray;
        case u']': Advance(); token_ = "]"; return symbol_ = Symbol::EndArray;
        case u'<':
            if (Next() == u'<') {
                Advance();
                Advance();
                token_ = "<<";
                return symbol_ = Symbol::BeginDictionary;
            }
            return symbol_ = ScanHexString();
        case u'>':
            Advance();
            token_ = ">";
            if (Current() == u'>') {
                Advance();
                token_ = ">>";
                return symbol_ = Symbol::EndDictionary;
            }
            return symbol_ = Symbol::None;
        default:
            break;
        }
        if (IsDigit(ch) || ch == u'+' || ch == u'-' || ch == u'.') return symbol_ = ScanNumber();
        if (IsLetter(ch)) return symbol_ = ScanKeyword();
        token_.push_back(static_cast<char>(Take()));
        return symbol_ = Symbol::None;
    }
}

// A comment that the input ends in is damage, not the last line of a file:
// the end marker of a file is never scanned as a token.
void Lexer::SkipComment() {
    while (Take() != u'\n') {
    }
}

Symbol Lexer::ScanName() {
    token_.push_back(static_cast<char>(Take()));
    for (;;) {
        char16_t ch = Current();
        if (ch == EndOfInput) EndOfFile();
        if (IsWhiteSpace(ch) || IsDelimiter(ch)) return Symbol::Name;
        Advance();
        if (ch == u'#') {
            int high = HexValue(Current());
            int low = HexValue(Next());
            if (high >= 0 && low >= 0) {
                Advance();
                Advance();
                token_.push_back(static_cast<char>(high * 16 + low));
                continue;
            }
        }
        token_.push_back(static_cast<char>(ch));
    }
}

Symbol Lexer::ScanNumber() {
    bool period = false;
    token_.push_back(static_cast<char>(Take()));
    period = token_[0] == '.';
    for (;;) {
        char16_t ch = Current();
        if (ch == u'.') {
            if (period) throw PdfReaderException(ReaderMessages::MoreThanOnePeriod);
            period = true;
        } else if (!IsDigit(ch)) {
            break;
        }
        token_.push_back(static_cast<char>(ch));
        Advance();
    }
    if (period) return Symbol::Real;
    // Accumulate with saturation: any value beyond the unsigned range fails
    // alike, however many digits it has.
    std::int64_t value = 0;
    for (char c : token_) {
        if (c >= '0' && c <= '9') value = value < (std::int64_t{1} << 40) ? value * 10 + (c - '0') : value;
    }
    if (token_[0] == '-') value = -value;
    if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max())
        return Symbol::Integer;
    if (value > 0 && value <= std::numeric_limits<std::uint32_t>::max()) return Symbol::UInteger;
    throw PdfReaderException(ReaderMessages::NumberExceedsRange);
}

Symbol Lexer::ScanKeyword() {
    while (IsLetter(Current())) token_.push_back(static_cast<char>(Take()));
    static const struct {
        const char *word;
        Symbol symbol;
    } keywords[] = {{"obj", Symbol::Obj},        {"endobj", Symbol::EndObj},     {"null", Symbol::Null},
                    {"true", Symbol::Boolean},   {"false", Symbol::Boolean},     {"R", Symbol::R},
                    {"stream", Symbol::BeginStream}, {"endstream", Symbol::EndStream}, {"xref", Symbol::XRef},
                    {"trailer", Symbol::Trailer}, {"startxref", Symbol::StartXRef}};
    for (const auto &keyword : keywords)
        if (token_ == keyword.word) return keyword.symbol;
    return Symbol::Keyword;
}

Symbol Lexer::ScanLiteralString() {
    Advance();
    int depth = 1;
    for (;;) {
        char16_t ch = Take();
        if (ch == u'\\') {
            ScanEscape();
            continue;
        }
        if (ch == u'(') ++depth;
        if (ch == u')' && --depth == 0) return Symbol::String;
        token_.push_back(static_cast<char>(ch));
    }
}

void Lexer::ScanEscape() {
    char16_t ch = Take();
    switch (ch) {
    case u'n': token_.push_back('\n'); return;
    case u'r': token_.push_back('\r'); return;
    case u't': token_.push_back('\t'); return;
    case u'b': token_.push_back('\b'); return;
    case u'f': token_.push_back('\f'); return;
    case u'\n': return;  // the line continues
    default: break;
    }
    if (ch >= u'0' && ch <= u'7') {
        int value = ch - u'0';
        for (int i = 0; i < 2 && Current() >= u'0' && Current() <= u'7'; ++i) value = value * 8 + (Take() - u'0');
        token_.push_back(static_cast<char>(value & 0xFF));
        return;
    }
    token_.push_back(static_cast<char>(ch));
}

// White space may stand anywhere between the digits; an odd last digit is
// completed with 0, as PDF prescribes.
Symbol Lexer::ScanHexString() {
    Advance();
    int pending = -1;
    for (;;) {
        char16_t ch = Take();
        if (IsWhiteSpace(ch)) continue;
        if (ch == u'>') break;
        int digit = HexValue(ch);
        if (digit < 0) throw PdfReaderException(ReaderMessages::InvalidHexString);
        if (pending < 0) {
            pending = digit;
        } else {
            token_.push_back(static_cast<char>(pending * 16 + digit));
            pending = -1;
        }
    }
    if (pending >= 0) token_.push_back(static_cast<char>(pending * 16));
    if (token_.size() > 2 && static_cast<std::uint8_t>(token_[0]) == 0xFE &&
        static_cast<std::uint8_t>(token_[1]) == 0xFF) {
        // A lone last byte is the high byte of a unit whose low byte is 0.
        for (std::size_t i = 2; i < token_.size(); i += 2) {
            unsigned high = static_cast<std::uint8_t>(token_[i]);
            unsigned low = i + 1 < token_.size() ? static_cast<std::uint8_t>(token_[i + 1]) : 0;
            unicode_.push_back(static_cast<char16_t>(high << 8 | low));
        }
        return Symbol::UnicodeHexString;
    }
    return Symbol::HexString;
}

std::u16string Lexer::StringValue() const {
    if (symbol_ == Symbol::UnicodeHexString) return unicode_;
    std::u16string text;
    text.reserve(token_.size());
    for (char c : token_) text.push_back(static_cast<std::uint8_t>(c));
    return text;
}

std::int32_t Lexer::TokenToInteger() const {
    std::int32_t value = 0;
    const char *begin = token_.data() + (!token_.empty() && token_[0] == '+' ? 1 : 0);
    auto result = std::from_chars(begin, token_.data() + token_.size(), value);
    if (result.ec == std::errc::result_out_of_range) throw PdfReaderException(ReaderMessages::NumberExceedsRange);
    return value;
}

std::uint32_t Lexer::TokenToUInteger() const {
    std::uint32_t value = 0;
    const char *begin = token_.data() + (!token_.empty() && token_[0] == '+' ? 1 : 0);
    auto result = std::from_chars(begin, token_.data() + token_.size(), value);
    if (result.ec == std::errc::result_out_of_range) throw PdfReaderException(ReaderMessages::NumberExceedsRange);
    return value;
}

// from_chars ignores the locale; "-.5", "4." and a bare "." read as PDF
// means them.
double Lexer::TokenToReal() const {
    std::string text = token_;
    bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.erase(0, 1);
    if (text.empty() || text == ".") return 0;
    if (text[0] == '.') text.insert(0, "0");
    double value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) throw PdfReaderException(ReaderMessages::NumberExceedsRange);
    return negative ? -value : value;
}

std::int64_t Lexer::StreamStart() const {
    std::int64_t start = position_;
    std::int64_t size = static_cast<std::int64_t>(bytes_.size());
    if (start < size && bytes_[static_cast<std::size_t>(start)] == 0x0D && start + 1 < size &&
        bytes_[static_cast<std::size_t>(start + 1)] == 0x0A)
        return start + 2;
    return start + 1;
}

std::vector<std::uint8_t> Lexer::ReadStream(std::int32_t length) {
    std::int64_t start = StreamStart();
    if (length < 0) throw InvalidOperationException(ReaderMessages::CannotRetrieveStreamLength);
    if (start + length > static_cast<std::int64_t>(bytes_.size())) EndOfFile();
    auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(start);
    std::vector<std::uint8_t> data(first, first + length);
    position_ = static_cast<std::int32_t>(start + length);
    return data;
}

namespace {

// The word at the position, not the start of a longer one.
bool IsWordAt(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view word) {
    if (at + word.size() > bytes.size() ||
        !std::equal(word.begin(), word.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at)))
        return false;
    std::size_t after = at + word.size();
    return after == bytes.size() || !IsLetter(bytes[after]);
}

}  // namespace

bool Lexer::IsStreamEnd(std::int64_t length) const {
    std::int64_t at = StreamStart() + length;
    if (length < 0 || at > static_cast<std::int64_t>(bytes_.size())) return false;
    std::size_t index = static_cast<std::size_t>(at);
    while (index < bytes_.size() && IsWhiteSpace(bytes_[index])) ++index;
    return IsWordAt(bytes_, index, "endstream");
}

// Data that ends in a line end is taken to end one byte early there, as
// PDF puts an end of line before "endstream" that the length does not
// count. An "endobj" first means the keyword is missing: the data would
// otherwise run on into the next stream of the file.
std::int32_t Lexer::ScanStreamLength() const {
    constexpr std::string_view end = "end";
    std::size_t start = static_cast<std::size_t>(std::min<std::int64_t>(StreamStart(), PdfLength()));
    auto from = bytes_.begin() + static_cast<std::ptrdiff_t>(start);
    for (;;) {
        auto found = std::search(from, bytes_.end(), end.begin(), end.end());
        if (found == bytes_.end()) return -1;
        std::size_t at = static_cast<std::size_t>(found - bytes_.begin());
        if (IsWordAt(bytes_, at, "endobj")) return -1;
        if (IsWordAt(bytes_, at, "endstream")) {
            if (at > start && bytes_[at - 1] == 0x0A) --at;
            if (at > start && bytes_[at - 1] == 0x0D) --at;
            return static_cast<std::int32_t>(at - start);
        }
        from = found + 1;
    }
}

std::u16string Lexer::ReadRawString(std::int32_t position, std::int32_t length) const {
    if (position < 0 || length < 0 || static_cast<std::int64_t>(position) + length > PdfLength()) EndOfFile();
    std::u16string text;
    text.reserve(static_cast<std::size_t>(length));
    for (std::int32_t i = 0; i < length; ++i) text.push_back(bytes_[static_cast<std::size_t>(position + i)]);
    return text;
}

}  // namespace ZavorPdf::Pdf::IO
