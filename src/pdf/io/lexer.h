// Splits the bytes of a PDF file into tokens. All line ends read as line
// feeds: a carriage return with a following line feed is one character, a
// lone carriage return stands for a line feed.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "pdf/io/symbol.h"
#include "platform/file_mapping.h"

namespace ZavorPdf::Pdf::IO {

class Lexer {
public:
    // Marks the end of the input in place of a character.
    static constexpr char16_t EndOfInput = 0xFFFF;

    // Takes the whole file; positions are 32-bit, so larger input fails.
    explicit Lexer(std::vector<std::uint8_t> bytes);
    // Reads the file where it is mapped, which the lexer then owns.
    explicit Lexer(std::unique_ptr<ZavorPlatform::FileMapping> mapping);
    Lexer(const Lexer &) = delete;
    Lexer &operator=(const Lexer &) = delete;

    // Byte position of the current character; setting it seeks there.
    // A position beyond the end reads as the end of input.
    std::int32_t Position() const { return position_; }
    void SetPosition(std::int32_t position);
    std::int32_t PdfLength() const { return static_cast<std::int32_t>(bytes_.size()); }
    std::span<const std::uint8_t> Bytes() const { return bytes_; }
    // Whether the mapped file was shortened by another program while it was
    // read: the bytes lost read as zeros.
    bool SourceShortened() const { return mapping_ != nullptr && mapping_->Shortened(); }

    Symbol ScanNextToken();
    Symbol CurrentSymbol() const { return symbol_; }
    // The token's bytes, one char per byte: a name keeps its "/", a string
    // holds its bytes with escapes resolved.
    const std::string &Token() const { return token_; }
    // Strings as text: the bytes widened, or for a Unicode hex string the
    // UTF-16 units after the byte order mark.
    std::u16string StringValue() const;

    std::int32_t TokenToInteger() const;
    std::uint32_t TokenToUInteger() const;
    double TokenToReal() const;
    bool TokenToBoolean() const { return !token_.empty() && token_[0] == 't'; }

    // The data after the keyword "stream": it begins after CR LF or after
    // the one byte that follows the keyword. Leaves the lexer after it.
    std::vector<std::uint8_t> ReadStream(std::int32_t length);
    // Whether data of that length, the lexer standing after "stream", is
    // followed by the keyword "endstream" (white space between).
    bool IsStreamEnd(std::int64_t length) const;
    // The length of the data up to the first keyword "endstream", the line
    // end before it not counted; -1 when no such keyword follows. For a
    // stream whose "/Length" is wrong or cannot be had.
    std::int32_t ScanStreamLength() const;
    // Raw bytes, one code unit each.
    std::u16string ReadRawString(std::int32_t position, std::int32_t length) const;

    static bool IsWhiteSpace(char16_t ch) {
        return ch == 0x00 || ch == 0x09 || ch == 0x0A || ch == 0x0C || ch == 0x0D || ch == 0x20;
    }
    static bool IsDelimiter(char16_t ch);

private:
    char16_t Current() const { return CharAt(position_); }
    char16_t Next() const { return CharAt(NextPosition(position_)); }
    char16_t CharAt(std::int64_t position) const;
    std::int64_t NextPosition(std::int64_t position) const;
    void Advance() { position_ = static_cast<std::int32_t>(NextPosition(position_)); }
    // Consumes the current character, failing at the end of input.
    char16_t Take();

    std::int64_t StreamStart() const;

    void SkipComment();
    Symbol ScanName();
    Symbol ScanNumber();
    Symbol ScanKeyword();
    Symbol ScanLiteralString();
    Symbol ScanHexString();
    void ScanEscape();

    // The bytes are either owned here or mapped; bytes_ views the one used.
    std::vector<std::uint8_t> owned_;
    std::unique_ptr<ZavorPlatform::FileMapping> mapping_;
    std::span<const std::uint8_t> bytes_;
    std::int32_t position_ = 0;
    std::string token_;
    std::u16string unicode_;
    Symbol symbol_ = Symbol::None;
};

}  // namespace ZavorPdf::Pdf::IO
