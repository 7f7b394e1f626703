#include "pdf/content/text_font.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "pdf/content/glyph_names.h"
#include "pdf/item_access.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_encodings.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_number.h"

namespace ZavorPdf::Pdf::Content {
namespace {

// Width arrays longer than any real font are damage; the rest is ignored.
constexpr int kMaxWidthEntries = 65536;
constexpr std::size_t kMaxCidWidths = 1 << 17;
// The clear-text part of a Type 1 program with its encoding is a few
// kilobytes; the search stops well after.
constexpr std::size_t kMaxClearText = 1 << 16;

bool TryNumber(PdfItem *item, double &value) {
    item = Internal::Resolve(item);
    if (auto *number = dynamic_cast<const PdfNumber *>(item)) {
        value = number->AsDouble();
        return true;
    }
    if (auto *number = dynamic_cast<const PdfNumberObject *>(item)) {
        value = number->AsDouble();
        return true;
    }
    return false;
}

// The name without its "/", empty for anything else.
std::string NameOf(PdfItem *item) {
    item = Internal::Resolve(item);
    std::string name;
    if (auto *value = dynamic_cast<const PdfName *>(item))
        name = value->Value();
    else if (auto *value = dynamic_cast<const PdfNameObject *>(item))
        name = value->Value();
    if (!name.empty() && name[0] == '/')
        name.erase(0, 1);
    return name;
}

std::string StreamText(PdfItem *item) {
    auto *stream = dynamic_cast<const PdfDictionary *>(Internal::Resolve(item));
    if (stream == nullptr || stream->Stream() == nullptr)
        return {};
    std::vector<std::uint8_t> bytes = stream->Stream()->UnfilteredValue();
    return {bytes.begin(), bytes.end()};
}

char16_t PdfDocCode(std::uint8_t code) { return code < 0x20 ? 0 : Internal::PdfDocEncodingToUnicode(code); }

using BaseEncoding = char16_t (*)(std::uint8_t);

BaseEncoding EncodingNamed(std::string_view name) {
    if (name == "WinAnsiEncoding")
        return Internal::WinAnsiEncodingToUnicode;
    if (name == "MacRomanEncoding")
        return Internal::MacRomanEncodingToUnicode;
    if (name == "StandardEncoding")
        return Internal::StandardEncodingToUnicode;
    if (name == "PDFDocEncoding")
        return PdfDocCode;
    return nullptr;
}

// Fonts without "/Widths": an average of the standard font's glyphs, which
// is near enough to tell word gaps from the spacing between letters.
double StandardFontWidth(std::string_view baseFont) {
    if (baseFont.find("Courier") != std::string_view::npos)
        return 0.6;
    if (baseFont.find("Times") != std::string_view::npos)
        return 0.45;
    return 0.52;
}

}  // namespace

TextFont::TextFont(const PdfDictionary *font) {
    // Without a font the bytes are read as the most common encoding.
    baseEncoding_ = Internal::WinAnsiEncodingToUnicode;
    if (font == nullptr)
        return;
    baseEncoding_ = Internal::StandardEncodingToUnicode;
    if (NameOf(font->Elements()["/Subtype"]) == "Type0")
        ReadComposite(*font);
    else
        ReadSimple(*font);
    std::string map = StreamText(font->Elements()["/ToUnicode"]);
    if (!map.empty())
        toUnicode_ = ToUnicodeMap::Parse(map);
    if (!composite_ && widths_[32] > 0) {
        spaceWidth_ = widths_[32];
    } else if (std::uint32_t code = 0; composite_ && toUnicode_.TryFindCode(u" ", code)) {
        if (const double width = CompositeWidth(code); width > 0)
            spaceWidth_ = width;
    }
}

void TextFont::ReadSimple(const PdfDictionary &font) {
    const std::string subtype = NameOf(font.Elements()["/Subtype"]);
    if (subtype == "TrueType")
        baseEncoding_ = Internal::WinAnsiEncodingToUnicode;
    PdfItem *encoding = Internal::Resolve(font.Elements()["/Encoding"]);
    bool named = false;
    if (auto *dictionary = dynamic_cast<const PdfDictionary *>(encoding)) {
        if (BaseEncoding base = EncodingNamed(NameOf(dictionary->Elements()["/BaseEncoding"]))) {
            baseEncoding_ = base;
            named = true;
        }
        ReadDifferences(*dictionary);
    } else if (BaseEncoding base = EncodingNamed(NameOf(encoding))) {
        baseEncoding_ = base;
        named = true;
    }
    if (!named && (subtype == "Type1" || subtype == "MMType1"))
        if (auto *descriptor = font.Elements().GetDictionary("/FontDescriptor"))
            ReadBuiltInEncoding(StreamText(descriptor->Elements()["/FontFile"]));

    if (subtype == "Type3") {
        double scale = 0;
        if (auto *matrix = font.Elements().GetArray("/FontMatrix");
            matrix != nullptr && TryNumber(matrix->Elements()[0], scale) && scale != 0)
            glyphScale_ = std::abs(scale);
    }
    double missing = 0;
    if (auto *descriptor = font.Elements().GetDictionary("/FontDescriptor");
        descriptor != nullptr && TryNumber(descriptor->Elements()["/MissingWidth"], missing) && missing > 0)
        defaultWidth_ = missing * glyphScale_;
    else
        defaultWidth_ = StandardFontWidth(NameOf(font.Elements()["/BaseFont"]));

    auto *widths = font.Elements().GetArray("/Widths");
    double first = 0;
    if (widths == nullptr || !TryNumber(font.Elements()["/FirstChar"], first))
        return;
    for (int i = 0; i < widths->Elements().Count(); ++i) {
        const double code = first + i;
        double width = 0;
        if (code >= 0 && code <= 255 && TryNumber(widths->Elements()[i], width))
            widths_[static_cast<int>(code)] = width * glyphScale_;
    }
}

void TextFont::ReadDifferences(const PdfDictionary &encoding) {
    auto *differences = encoding.Elements().GetArray("/Differences");
    if (differences == nullptr)
        return;
    int code = 0;
    for (int i = 0; i < differences->Elements().Count() && i < kMaxWidthEntries; ++i) {
        double number = 0;
        if (TryNumber(differences->Elements()[i], number)) {
            code = number >= 0 && number <= 255 ? static_cast<int>(number) : 256;
        } else if (std::string name = NameOf(differences->Elements()[i]); !name.empty()) {
            if (code >= 0 && code <= 255)
                differences_[code] = GlyphNameToUnicode(name);
            ++code;
        }
    }
}

// The encoding a Type 1 program carries in its clear-text part, as TeX's
// fonts use it: "dup 12 /fi put" for each code.
void TextFont::ReadBuiltInEncoding(std::string_view program) {
    program = program.substr(0, std::min(program.find("eexec"), kMaxClearText));
    const std::size_t start = program.find("/Encoding");
    if (start == std::string_view::npos)
        return;
    for (std::size_t at = program.find("dup ", start); at != std::string_view::npos;
         at = program.find("dup ", at + 4)) {
        int code = -1;
        const char *digits = program.data() + at + 4;
        auto [end, error] = std::from_chars(digits, program.data() + program.size(), code);
        if (error != std::errc() || code < 0 || code > 255 || end + 2 > program.data() + program.size() ||
            end[0] != ' ' || end[1] != '/')
            continue;
        std::string_view name(end + 2, static_cast<std::size_t>(program.data() + program.size() - (end + 2)));
        name = name.substr(0, name.find_first_of(" \t\r\n/"));
        builtIn_[code] = GlyphNameToUnicode(name);
    }
}

void TextFont::ReadComposite(const PdfDictionary &font) {
    composite_ = true;
    defaultWidth_ = 1.0;
    PdfItem *encoding = font.Elements()["/Encoding"];
    const std::string name = NameOf(encoding);
    vertical_ = name.ends_with("-V");
    identity_ = name.starts_with("Identity-");
    if (name.empty())
        codeSpace_ = ToUnicodeMap::Parse(StreamText(encoding));
    auto *descendants = font.Elements().GetArray("/DescendantFonts");
    auto *cidFont = descendants != nullptr ? descendants->Elements().GetDictionary(0) : nullptr;
    if (cidFont == nullptr)
        return;
    double width = 0;
    if (TryNumber(cidFont->Elements()["/DW"], width))
        defaultWidth_ = width / 1000;
    auto *w = cidFont->Elements().GetArray("/W");
    if (w == nullptr)
        return;
    const ArrayElements &items = w->Elements();
    for (int i = 0; i + 1 < items.Count() && i < kMaxWidthEntries;) {
        double first = 0;
        double last = 0;
        if (!TryNumber(items[i], first) || first < 0 || first > 0xFFFFFFF)
            break;
        if (auto *list = items.GetArray(i + 1)) {
            for (int k = 0; k < list->Elements().Count() && cidWidths_.size() < kMaxCidWidths; ++k)
                if (TryNumber(list->Elements()[k], width))
                    cidWidths_.push_back({static_cast<std::uint32_t>(first) + k,
                                          static_cast<std::uint32_t>(first) + k, width / 1000});
            i += 2;
        } else if (i + 2 < items.Count() && TryNumber(items[i + 1], last) && TryNumber(items[i + 2], width)) {
            if (last >= first && last <= 0xFFFFFFF)
                cidWidths_.push_back({static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last),
                                      width / 1000});
            i += 3;
        } else {
            break;
        }
    }
    if (cidWidths_.size() > kMaxCidWidths)
        cidWidths_.resize(kMaxCidWidths);
    std::stable_sort(cidWidths_.begin(), cidWidths_.end(),
                     [](const WidthRange &a, const WidthRange &b) { return a.first < b.first; });
}

double TextFont::CompositeWidth(std::uint32_t code) const {
    // Identity CMaps make the code the CID; for others the code is the best
    // guess there is without the CMap files. Ranges are sorted by their
    // first CID; of overlapping ones the nearest start counts.
    auto after = std::upper_bound(cidWidths_.begin(), cidWidths_.end(), code,
                                  [](std::uint32_t cid, const WidthRange &range) { return cid < range.first; });
    if (after != cidWidths_.begin() && code <= std::prev(after)->last)
        return std::prev(after)->width;
    return defaultWidth_;
}

std::u16string TextFont::SimpleText(std::uint8_t code) const {
    if (auto found = differences_.find(code); found != differences_.end())
        return found->second;
    if (auto found = builtIn_.find(code); found != builtIn_.end())
        return found->second;
    const char16_t c = baseEncoding_(code);
    if (c != 0)
        return std::u16string(1, c);
    // A glyph behind a control code still takes its place in the text (the
    // host shows it as a blank); pdfTeX's math fonts put the minus sign there.
    return code < 0x20 ? std::u16string(1, static_cast<char16_t>(code)) : std::u16string();
}

// Some writers give simple fonts a map of two-byte codes; the one-byte
// code is looked up among them too.
const std::u16string &TextFont::ByteText(std::uint8_t code) const {
    std::optional<std::u16string> &known = byteTexts_[code];
    if (!known) {
        std::u16string text;
        if (!toUnicode_.TryLookup(code, 1, text) && !toUnicode_.TryLookup(code, 2, text)) text = SimpleText(code);
        known = ExpandLigatures(text);
    }
    return *known;
}

std::vector<TextFont::Glyph> TextFont::Decode(const std::u16string &shown) const {
    // The content parser gives one unit per byte, or UTF-16 units for a
    // string that began with a byte order mark: those are bytes again.
    std::string bytes;
    const bool wide = std::any_of(shown.begin(), shown.end(), [](char16_t c) { return c > 0xFF; });
    if (wide) {
        bytes = "\xFE\xFF";
        for (char16_t c : shown) {
            bytes.push_back(static_cast<char>(c >> 8));
            bytes.push_back(static_cast<char>(c & 0xFF));
        }
    } else {
        bytes.assign(shown.begin(), shown.end());
    }

    std::vector<Glyph> glyphs;
    glyphs.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::string_view rest = std::string_view(bytes).substr(pos);
        int length = 1;
        if (composite_) {
            if (codeSpace_.HasCodeSpace())
                length = codeSpace_.CodeLength(rest);
            else if (!identity_ && toUnicode_.HasCodeSpace())
                length = toUnicode_.CodeLength(rest);
            else
                length = 2;
        }
        length = std::min<int>(length, static_cast<int>(rest.size()));
        std::uint32_t code = 0;
        for (int i = 0; i < length; ++i)
            code = code << 8 | static_cast<std::uint8_t>(rest[i]);
        pos += length;

        Glyph glyph{{}, 0, length == 1 && code == 32};
        if (composite_) {
            toUnicode_.TryLookup(code, length, glyph.text);
            glyph.text = ExpandLigatures(glyph.text);
        } else {
            glyph.text = ByteText(static_cast<std::uint8_t>(code));
        }
        if (composite_)
            glyph.width = CompositeWidth(code);
        else
            glyph.width = widths_[code] >= 0 ? widths_[code] : defaultWidth_;
        glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}

}  // namespace ZavorPdf::Pdf::Content
