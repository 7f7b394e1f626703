#include "pdf/pdf_encodings.h"

#include <algorithm>
#include <array>

#include "platform/code_page.h"

namespace ZavorPdf::Pdf::Internal {
namespace {

// PDFDocEncoding bytes 0x18..0x1F and 0x80..0xA0 as Unicode; every other
// byte stands for the code point of the same value. The low ones are the
// spacing accents: other readers show them for those bytes and make those
// bytes of a typed accent.
constexpr std::array<char16_t, 8> DocAccents = {0x02D8, 0x02C7, 0x02C6, 0x02D9, 0x02DD, 0x02DB, 0x02DA, 0x02DC};
constexpr std::array<char16_t, 0x21> DocHighRange = {
    0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044,  // 80..87
    0x2039, 0x203A, 0x2212, 0x2030, 0x201E, 0x201C, 0x201D, 0x2018,  // 88..8F
    0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141, 0x0152, 0x0160,  // 90..97
    0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0xFFFD,  // 98..9F
    0x20AC,                                                          // A0
};

class Raw final : public PdfTextEncoding {
public:
    Bytes GetBytes(std::u16string_view text) const override {
        Bytes bytes(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<std::uint8_t>(text[i]);
        return bytes;
    }
    std::u16string GetString(const std::uint8_t *data, std::size_t size) const override {
        return std::u16string(data, data + size);
    }
};

class Doc final : public PdfTextEncoding {
public:
    Bytes GetBytes(std::u16string_view text) const override {
        Bytes bytes;
        bytes.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            char16_t c = text[i];
            if (std::optional<std::uint8_t> byte = TryPdfDocByte(c)) {
                bytes.push_back(*byte);
            } else if (c == 0x00A0) {
                bytes.push_back(0x20);
            } else {
                // Not in PDFDocEncoding: the code page's look-alike, when
                // that stands for itself in both encodings. A surrogate pair
                // is one character.
                bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                            text[i + 1] < 0xE000;
                std::string fit = ZavorPlatform::UnicodeToWindows1252(text.substr(i, pair ? 2 : 1));
                if (pair) ++i;
                auto b = fit.empty() ? std::uint8_t('?') : static_cast<std::uint8_t>(fit[0]);
                bool itself = PdfDocEncodingToUnicode(b) == b || b == 0xAD;
                bytes.push_back(itself ? b : std::uint8_t('?'));
            }
        }
        return bytes;
    }
    std::u16string GetString(const std::uint8_t *data, std::size_t size) const override {
        std::u16string text(size, u'\0');
        for (std::size_t i = 0; i < size; ++i) text[i] = PdfDocEncodingToUnicode(data[i]);
        return text;
    }
};

class WinAnsi final : public PdfTextEncoding {
public:
    Bytes GetBytes(std::u16string_view text) const override {
        std::string bytes = ZavorPlatform::UnicodeToWindows1252(text);
        return Bytes(bytes.begin(), bytes.end());
    }
    std::u16string GetString(const std::uint8_t *data, std::size_t size) const override {
        return ZavorPlatform::Windows1252ToUnicode(
            std::string_view(reinterpret_cast<const char *>(data), size));
    }
};

class BigEndianUtf16 final : public PdfTextEncoding {
public:
    Bytes GetBytes(std::u16string_view text) const override {
        Bytes bytes;
        bytes.reserve(text.size() * 2);
        for (char16_t c : text) {
            bytes.push_back(static_cast<std::uint8_t>(c >> 8));
            bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        }
        return bytes;
    }
    // An odd last byte is taken as the high byte of a unit whose low byte
    // is missing.
    std::u16string GetString(const std::uint8_t *data, std::size_t size) const override {
        std::u16string text;
        text.reserve((size + 1) / 2);
        for (std::size_t i = 0; i < size; i += 2) {
            std::uint8_t low = i + 1 < size ? data[i + 1] : 0;
            text.push_back(static_cast<char16_t>((data[i] << 8) | low));
        }
        return text;
    }
};

}  // namespace

char16_t PdfDocEncodingToUnicode(std::uint8_t byte) {
    if (byte >= 0x18 && byte <= 0x1F) return DocAccents[byte - 0x18];
    if (byte >= 0x80 && byte <= 0xA0) return DocHighRange[byte - 0x80];
    return byte;
}

std::optional<std::uint8_t> TryPdfDocByte(char16_t c) {
    if (c < 0x18 || (c >= 0x20 && c < 0x80) || (c > 0xA0 && c < 0x100 && c != 0xAD))
        return static_cast<std::uint8_t>(c);
    for (std::size_t i = 0; i < DocAccents.size(); ++i)
        if (DocAccents[i] == c) return static_cast<std::uint8_t>(0x18 + i);
    for (std::size_t i = 0; i < DocHighRange.size(); ++i)
        if (DocHighRange[i] == c && c != 0xFFFD) return static_cast<std::uint8_t>(0x80 + i);
    return std::nullopt;
}

bool PdfDocEncodingHolds(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return TryPdfDocByte(c).has_value(); });
}

const PdfTextEncoding &RawEncoding() {
    static const Raw encoding;
    return encoding;
}

const PdfTextEncoding &DocEncoding() {
    static const Doc encoding;
    return encoding;
}

const PdfTextEncoding &WinAnsiEncoding() {
    static const WinAnsi encoding;
    return encoding;
}

const PdfTextEncoding &UnicodeEncoding() {
    static const BigEndianUtf16 encoding;
    return encoding;
}

const PdfTextEncoding &RawUnicodeEncoding() {
    static const BigEndianUtf16 encoding;
    return encoding;
}

}  // namespace ZavorPdf::Pdf::Internal
