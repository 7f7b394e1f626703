#include "pdf/filters/ascii85_decode.h"

#include <array>

#include "pdf/errors.h"

namespace ZavorPdf::Pdf::Filters {

namespace {

constexpr std::uint8_t First = '!';
constexpr std::uint8_t Last = 'u';
constexpr std::uint8_t Zeros = 'z';

// The characters that carry data, with the "~>" terminator checked and
// everything else (white space included) dropped.
std::vector<std::uint8_t> Compact(const std::vector<std::uint8_t> &data) {
    std::vector<std::uint8_t> kept;
    kept.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::uint8_t c = data[i];
        if (c == '~') {
            if (i + 1 < data.size() && data[i + 1] == '>') {
                return kept;
            }
            break;
        }
        if ((c >= First && c <= Last) || c == Zeros) {
            kept.push_back(c);
        }
    }
    throw ArgumentException("Illegal character.", "data");
}

// The 32-bit value of five characters; a sum beyond 32 bits is not ASCII85.
std::uint32_t GroupValue(const std::uint8_t *group) {
    std::uint64_t value = 0;
    for (int i = 0; i < 5; ++i) {
        if (group[i] == Zeros) {
            throw InvalidOperationException("Illegal character.");
        }
        value = value * 85 + (group[i] - First);
    }
    if (value > 0xFFFFFFFFu) {
        throw InvalidOperationException("Illegal character.");
    }
    return static_cast<std::uint32_t>(value);
}

void AppendBigEndian(std::vector<std::uint8_t> &out, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (24 - 8 * i)));
    }
}

}  // namespace

std::vector<std::uint8_t> ASCII85Decode::Encode(const std::vector<std::uint8_t> &data) const {
    std::vector<std::uint8_t> out;
    out.reserve(data.size() / 4 * 5 + 7);
    for (std::size_t i = 0; i < data.size(); i += 4) {
        const std::size_t count = std::min<std::size_t>(4, data.size() - i);
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            value = value << 8 | (k < count ? data[i + k] : 0);
        }
        if (value == 0 && count == 4) {
            out.push_back(Zeros);
            continue;
        }
        std::array<std::uint8_t, 5> group{};
        for (int k = 4; k >= 0; --k) {
            group[k] = static_cast<std::uint8_t>(First + value % 85);
            value /= 85;
        }
        out.insert(out.end(), group.begin(), group.begin() + static_cast<std::ptrdiff_t>(count + 1));
    }
    out.push_back('~');
    out.push_back('>');
    return out;
}

std::optional<std::vector<std::uint8_t>> ASCII85Decode::Decode(const std::vector<std::uint8_t> &data,
                                                               const FilterParms *parms) const {
    const std::vector<std::uint8_t> kept = Compact(data);
    std::size_t zeros = 0;
    for (const std::uint8_t c : kept) {
        zeros += (c == Zeros) ? 1 : 0;
    }
    const std::size_t remainder = (kept.size() - zeros) % 5;
    if (remainder == 1) {
        throw InvalidOperationException("Illegal character.");
    }
    // Each "z" stands for four bytes: the size is known, and charged,
    // before any of them is made.
    const std::size_t size = 4 * (zeros + (kept.size() - zeros) / 5) + (remainder == 0 ? 0 : remainder - 1);
    Charge(parms, size);
    std::vector<std::uint8_t> out;
    out.reserve(size);

    std::size_t i = 0;
    while (i < kept.size()) {
        if (kept[i] == Zeros) {
            out.insert(out.end(), 4, 0);
            ++i;
            continue;
        }
        const std::size_t left = kept.size() - i;
        if (left >= 5) {
            AppendBigEndian(out, GroupValue(&kept[i]), 4);
            i += 5;
            continue;
        }
        // A short last group counts as if padded with "u" to five characters.
        std::array<std::uint8_t, 5> group{Last, Last, Last, Last, Last};
        std::copy(kept.begin() + static_cast<std::ptrdiff_t>(i), kept.end(), group.begin());
        AppendBigEndian(out, GroupValue(group.data()), static_cast<int>(left) - 1);
        i = kept.size();
    }
    return out;
}

}  // namespace ZavorPdf::Pdf::Filters
