#include "pdf/pdf_encodings.h"

#include <array>

#include "platform/code_page.h"

namespace ZavorPdf::Pdf::Internal {
namespace {

// PDFDocEncoding bytes 0x80..0xA0 as Unicode; every other byte stands for
// the code point of the same value.
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
            std::uint8_t byte;
            if (FromDocHighRange(c, byte)) {
                bytes.push_back(byte);
            } else if (c == 0x00A0) {
                bytes.push_back(0x20);
            } else if (c < 0x80 || (c > 0xA0 && c < 0x100)) {
                bytes.push_back(static_cast<std::uint8_t>(c));
            } else {
                // Not in PDFDocEncoding: the code page's look-alike, when it
                // lies where both encodings agree. A surrogate pair is one
                // character.
                bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                            text[i + 1] < 0xE000;
                std::string fit = ZavorPlatform::UnicodeToWindows1252(text.substr(i, pair ? 2 : 1));
                if (pair) ++i;
                auto b = fit.empty() ? std::uint8_t('?') : static_cast<std::uint8_t>(fit[0]);
                bytes.push_back(b < 0x80 || b > 0xA0 ? b : std::uint8_t('?'));
            }
        }
        return bytes;
    }
    std::u16string GetString(const std::uint8_t *data, std::size_t size) const override {
        std::u16string text(size, u'\0');
        for (std::size_t i = 0; i < size; ++i) text[i] = PdfDocEncodingToUnicode(data[i]);
        return text;
    }

private:
    static bool FromDocHighRange(char16_t c, std::uint8_t &byte) {
        if (c == 0xFFFD) return false;
        for (std::size_t i = 0; i < DocHighRange.size(); ++i) {
            if (DocHighRange[i] == c) {
                byte = static_cast<std::uint8_t>(0x80 + i);
                return true;
            }
        }
        return false;
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
    if (byte >= 0x80 && byte <= 0xA0) return DocHighRange[byte - 0x80];
    return byte;
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
