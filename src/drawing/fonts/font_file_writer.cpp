#include "drawing/fonts/font_file_writer.h"

#include <algorithm>
#include <array>

#include "drawing/fonts/font_messages.h"
#include "pdf/errors.h"

namespace ZavorPdf::Fonts::OpenType {

namespace {

// floor(log2 n) for the table counts a file may have.
constexpr std::array<std::uint16_t, 31> EntrySelectors = {0, 0, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3,
                                                          4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4};

void PutUShort(std::vector<std::uint8_t> &out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value >> 8);
    out[at + 1] = static_cast<std::uint8_t>(value);
}

void PutULong(std::vector<std::uint8_t> &out, std::size_t at, std::uint32_t value) {
    PutUShort(out, at, value >> 16);
    PutUShort(out, at + 2, value & 0xFFFF);
}

}  // namespace

void FontFileWriter::AddTable(OutputTable table) {
    if (readOnly_) throw InvalidOperationException(FontMessages::ImageReadOnly);
    tables_.push_back(std::move(table));
}

std::vector<std::uint8_t> FontFileWriter::Compile() {
    if (readOnly_) throw InvalidOperationException(FontMessages::ImageReadOnly);
    const std::size_t n = tables_.size();
    if (n >= EntrySelectors.size()) throw NotSupportedException(FontMessages::TooManyTables);
    readOnly_ = true;
    std::sort(tables_.begin(), tables_.end(), [](const OutputTable &a, const OutputTable &b) { return a.tag < b.tag; });
    std::size_t size = 12 + 16 * n;
    for (const OutputTable &t : tables_) size += (t.bytes.size() + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> out(size, 0);
    const std::uint16_t selector = n == 0 ? 0 : EntrySelectors[n];
    const std::uint32_t power = 1u << selector;
    PutULong(out, 0, 0x00010000);
    PutUShort(out, 4, static_cast<std::uint32_t>(n));
    PutUShort(out, 6, power * 16);
    PutUShort(out, 8, selector);
    PutUShort(out, 10, static_cast<std::uint32_t>(n - std::min<std::size_t>(n, power)) * 16);
    std::size_t offset = 12 + 16 * n;
    for (std::size_t i = 0; i < n; ++i) {
        const OutputTable &t = tables_[i];
        std::size_t entry = 12 + 16 * i;
        std::copy_n(t.tag.begin(), std::min<std::size_t>(4, t.tag.size()), out.begin() + static_cast<std::ptrdiff_t>(entry));
        PutULong(out, entry + 4, t.checkSum);
        PutULong(out, entry + 8, static_cast<std::uint32_t>(offset));
        PutULong(out, entry + 12, static_cast<std::uint32_t>(t.bytes.size()));
        std::copy(t.bytes.begin(), t.bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(offset));
        offset += (t.bytes.size() + 3) & ~std::size_t{3};
    }
    return out;
}

}  // namespace ZavorPdf::Fonts::OpenType
