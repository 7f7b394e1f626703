// The encodings that turn engine text (UTF-16) into the bytes of PDF
// strings and back. Each is a stateless singleton.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorPdf::Pdf::Internal {

using Bytes = std::vector<std::uint8_t>;

class PdfTextEncoding {
public:
    virtual ~PdfTextEncoding() = default;
    virtual Bytes GetBytes(std::u16string_view text) const = 0;
    virtual std::u16string GetString(const std::uint8_t *data, std::size_t size) const = 0;
    std::u16string GetString(const Bytes &bytes) const { return GetString(bytes.data(), bytes.size()); }
};

// One byte per code unit, the low eight bits; bytes decode to the code unit
// of the same value.
const PdfTextEncoding &RawEncoding();

// PDFDocEncoding. Encoding inverts the standard's decoding table, so that a
// text survives the round trip whenever PDFDocEncoding can hold it; other
// characters take their closest Windows-1252 look-alike from the Latin-1
// range, else "?". The no-break space becomes a plain blank, since its
// Latin-1 code is the euro sign in PDFDocEncoding; the soft hyphen, which
// the standard leaves undefined, keeps its Latin-1 code.
const PdfTextEncoding &DocEncoding();

// Windows code page 1252.
const PdfTextEncoding &WinAnsiEncoding();

// UTF-16 big-endian without byte order mark, the byte order of PDF text
// strings.
const PdfTextEncoding &UnicodeEncoding();

// Two bytes per code unit, high byte first, for glyph strings of Unicode
// fonts. Same bytes as UnicodeEncoding; kept apart because the two serve
// different callers.
const PdfTextEncoding &RawUnicodeEncoding();

// The Unicode code unit for one PDFDocEncoding byte.
char16_t PdfDocEncodingToUnicode(std::uint8_t byte);

// The PDFDocEncoding byte of one character; nothing for a character that
// PDFDocEncoding lacks: among them the no-break space, the soft hyphen, the
// C1 controls and the controls 0x18..0x1F, whose bytes are accents.
std::optional<std::uint8_t> TryPdfDocByte(char16_t c);
// True when every character of the text has a PDFDocEncoding byte.
bool PdfDocEncodingHolds(std::u16string_view text);

// The character of one code of a simple font with the named base encoding;
// 0 where the encoding leaves the code undefined. Codes below 32 and 127
// are undefined in all three.
char16_t StandardEncodingToUnicode(std::uint8_t code);
char16_t MacRomanEncodingToUnicode(std::uint8_t code);
char16_t WinAnsiEncodingToUnicode(std::uint8_t code);

}  // namespace ZavorPdf::Pdf::Internal
