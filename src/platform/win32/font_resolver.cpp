#include "platform/font_resolver.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/code_page.h"
#include "platform/win32/wide_text.h"

namespace ZavorPlatform {
namespace {

// GetFontData wants a table's tag as the four bytes in file order read as a
// little-endian number.
constexpr DWORD Tag(const char (&name)[5]) {
    return static_cast<DWORD>(static_cast<unsigned char>(name[0])) |
           static_cast<DWORD>(static_cast<unsigned char>(name[1])) << 8 |
           static_cast<DWORD>(static_cast<unsigned char>(name[2])) << 16 |
           static_cast<DWORD>(static_cast<unsigned char>(name[3])) << 24;
}

// Read from the start of the selected face's own offset table: inside a
// collection that is where the face begins, not the file.
constexpr DWORD kWholeFace = 0;

std::uint32_t BigEndian(const std::vector<std::uint8_t> &bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
    return value;
}

// A font selected into a memory device context; no screen is needed to
// read a font's data.
class SelectedFont {
public:
    // An empty family lets GDI's font mapper choose the system's default.
    SelectedFont(const std::wstring &family, bool bold, bool italic) {
        LOGFONTW description{};
        description.lfHeight = -1000;
        description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        description.lfItalic = italic ? TRUE : FALSE;
        description.lfCharSet = DEFAULT_CHARSET;
        // Only outline fonts carry the tables that PDF embedding needs.
        description.lfOutPrecision = OUT_TT_ONLY_PRECIS;
        description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
        std::copy_n(family.begin(), std::min<std::size_t>(family.size(), LF_FACESIZE - 1), description.lfFaceName);
        dc_ = CreateCompatibleDC(nullptr);
        font_ = CreateFontIndirectW(&description);
        if (dc_ != nullptr && font_ != nullptr) previous_ = SelectObject(dc_, font_);
    }
    ~SelectedFont() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
        if (font_ != nullptr) DeleteObject(font_);
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    SelectedFont(const SelectedFont &) = delete;
    SelectedFont &operator=(const SelectedFont &) = delete;

    bool IsSelected() const { return previous_ != nullptr; }

    std::wstring Family() const {
        wchar_t name[LF_FACESIZE] = {};
        int length = GetTextFaceW(dc_, LF_FACESIZE, name);
        return length > 0 ? std::wstring(name) : std::wstring();
    }

    // The size of a table (or of the whole face, or of the collection with
    // "ttcf"); nothing when the font has no such table.
    std::optional<DWORD> Size(DWORD table) const {
        DWORD size = GetFontData(dc_, table, 0, nullptr, 0);
        if (size == GDI_ERROR) return std::nullopt;
        return size;
    }

    // Empty when the bytes cannot be read in full.
    std::vector<std::uint8_t> Read(DWORD table, DWORD offset, DWORD size) const {
        std::vector<std::uint8_t> bytes(size);
        if (size == 0 || GetFontData(dc_, table, offset, bytes.data(), size) != size) return {};
        return bytes;
    }

private:
    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

int CALLBACK NoteFamily(const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found) {
    *reinterpret_cast<bool *>(found) = true;
    return 0;  // one face is enough
}

bool FamilyInstalled(const std::wstring &family) {
    if (family.empty() || family.size() >= LF_FACESIZE) return false;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return false;
    LOGFONTW description{};
    description.lfCharSet = DEFAULT_CHARSET;
    std::copy(family.begin(), family.end(), description.lfFaceName);
    bool found = false;
    EnumFontFamiliesExW(dc, &description, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
    DeleteDC(dc);
    return found;
}

// What the face really is, from its own tables: GDI reports the style it
// was asked for also where it would only simulate it.
void ReadStyle(const SelectedFont &font, FontFace &face) {
    std::vector<std::uint8_t> os2 = font.Read(Tag("OS/2"), 0, 64);
    if (!os2.empty()) {
        face.bold = BigEndian(os2, 4, 2) >= 600;  // usWeightClass: semibold and heavier
        std::uint32_t selection = BigEndian(os2, 62, 2);
        face.italic = (selection & 0x0001) != 0 || (selection & 0x0200) != 0;  // italic or oblique
        return;
    }
    std::vector<std::uint8_t> head = font.Read(Tag("head"), 44, 2);
    if (!head.empty()) {
        std::uint32_t macStyle = BigEndian(head, 0, 2);
        face.bold = (macStyle & 1) != 0;
        face.italic = (macStyle & 2) != 0;
    }
}

// The offset table and table directory at the start of a face.
std::vector<std::uint8_t> Directory(const SelectedFont &font, DWORD table, DWORD offset) {
    std::vector<std::uint8_t> start = font.Read(table, offset, 12);
    if (start.empty()) return {};
    return font.Read(table, offset, 12 + 16 * BigEndian(start, 4, 2));
}

// Which face of a collection GDI selected: the one whose table directory is
// the selected face's. 0 for a single font, or when none matches.
int CollectionIndex(const SelectedFont &font) {
    if (!font.Size(Tag("ttcf"))) return 0;
    std::vector<std::uint8_t> own = Directory(font, kWholeFace, 0);
    std::vector<std::uint8_t> header = font.Read(Tag("ttcf"), 0, 12);
    if (own.empty() || header.empty()) return 0;
    std::uint32_t count = BigEndian(header, 8, 4);
    std::vector<std::uint8_t> offsets = font.Read(Tag("ttcf"), 12, 4 * std::min<std::uint32_t>(count, 0x10000));
    for (std::uint32_t i = 0; 4 * i + 4 <= offsets.size(); ++i) {
        if (Directory(font, Tag("ttcf"), BigEndian(offsets, 4 * i, 4)) == own) return static_cast<int>(i);
    }
    return 0;
}

}  // namespace

std::optional<FontFace> MatchFont(std::string_view familyUtf8, bool bold, bool italic) {
    std::wstring family = ToWindowsText(Utf8ToUtf16(familyUtf8));
    // An unknown family is not left to the mapper's guess at a similar
    // name: it gets the default family, as fontconfig gives on Linux.
    if (!FamilyInstalled(family)) family.clear();
    SelectedFont font(family, bold, italic);
    if (!font.IsSelected() || !font.Size(kWholeFace)) return std::nullopt;
    FontFace face;
    face.family = Utf16ToUtf8(FromWindowsText(font.Family()));
    if (face.family.empty()) return std::nullopt;
    face.faceIndex = CollectionIndex(font);
    face.bold = bold;
    face.italic = italic;
    ReadStyle(font, face);
    return face;
}

// The face is selected again by its family and real style, which leads GDI
// to the same face. A face inside a collection comes as the whole
// collection, with offsets that are valid in it.
std::vector<std::uint8_t> ReadFontFace(const FontFace &face) {
    SelectedFont font(ToWindowsText(Utf8ToUtf16(face.family)), face.bold, face.italic);
    if (!font.IsSelected()) return {};
    DWORD table = font.Size(Tag("ttcf")) ? Tag("ttcf") : kWholeFace;
    std::optional<DWORD> size = font.Size(table);
    if (!size) return {};
    return font.Read(table, 0, *size);
}

std::vector<std::uint8_t> ReadFontFile(const std::string &path) {
    std::ifstream file(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    if (!file) return {};
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace ZavorPlatform
