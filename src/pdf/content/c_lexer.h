// Splits content stream bytes into tokens. Every byte is one character of
// the same code; line ends read as one line feed (CR LF, a lone CR, LF).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pdf/content/c_symbol.h"

namespace ZavorPdf::Pdf::Content {

class CLexer {
public:
    // Stands in for a character once the data is used up.
    static constexpr char16_t EndMark = 0xFFFF;

    explicit CLexer(std::vector<std::uint8_t> bytes);

    // Comments are skipped; a character that begins no token is consumed and
    // reported as None, so that repeated calls always reach Eof.
    CSymbol ScanNextToken();
    CSymbol Symbol() const { return symbol_; }
    // The token's characters: a name with its "/", a string with escapes
    // resolved, a number or an operator as written.
    const std::u16string &Token() const { return token_; }
    // The token's low bytes, for names and operators.
    std::string TokenText() const;
    std::int32_t TokenToInteger() const { return integer_; }
    double TokenToReal() const { return real_; }

    // Skips the data of an inline image after its "ID": stops where the
    // current character is "E" and the next is "I", or at the end.
    void ScanInlineImage();

    char16_t Current() const { return current_; }
    char16_t Next() const { return next_; }

    static bool IsWhiteSpace(char16_t ch) {
        return ch == 0x00 || ch == 0x09 || ch == 0x0A || ch == 0x0C || ch == 0x0D || ch == 0x20;
    }
    static bool IsDelimiter(char16_t ch);

private:
    char16_t Advance();
    // Without line-end folding, for UTF-16 strings and image data, whose
    // bytes are not text.
    char16_t AdvanceRaw();
    void SkipWhiteSpace();
    void SkipComment();
    CSymbol ScanName();
    CSymbol ScanNumber();
    CSymbol ScanOperator();
    CSymbol ScanLiteralString();
    CSymbol ScanHexString();
    // One character of a literal string: the byte, or a UTF-16 unit.
    char16_t TakeStringChar(bool unicode);
    void ScanEscape(bool unicode);
    char16_t HexPairValue(char16_t high, char16_t low) const;

    std::vector<std::uint8_t> bytes_;
    std::size_t index_ = 0;
    char16_t current_ = 0;
    char16_t next_ = 0;
    std::u16string token_;
    std::int32_t integer_ = 0;
    double real_ = 0;
    CSymbol symbol_ = CSymbol::None;
};

}  // namespace ZavorPdf::Pdf::Content
