// A font's "/ToUnicode" CMap (or the code space of its encoding CMap):
// which byte sequences are codes, and the text each code stands for.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorPdf::Pdf::Content {

class ToUnicodeMap {
public:
    // Reads "begincodespacerange", "beginbfchar" and "beginbfrange" (with a
    // first destination or an array of them) sections; others are skipped.
    // Damaged entries are skipped; the rest of the map still counts.
    static ToUnicodeMap Parse(std::string_view cmap);

    bool HasCodeSpace() const { return !codeSpace_.empty(); }
    bool Empty() const { return chars_.empty() && ranges_.empty(); }

    // The byte count of the code that starts at the bytes, by the code
    // space ranges: the shortest match, else the shortest range length
    // (1 when there is no code space).
    int CodeLength(std::string_view bytes) const;

    // The text of a code with its byte count; false when the map has none.
    bool TryLookup(std::uint32_t code, int length, std::u16string &text) const;

    // A code whose text is the given one character, by single codes and
    // the first codes of ranges.
    bool TryFindCode(std::u16string_view text, std::uint32_t &code) const;

private:
    struct Space {
        int length;
        std::uint32_t low;
        std::uint32_t high;
    };
    struct Range {
        int length;
        std::uint32_t low;
        std::uint32_t high;
        std::u16string first;               // the text of low, when targets is empty
        std::vector<std::u16string> targets;  // one text per code otherwise
    };
    static std::uint64_t Key(std::uint32_t code, int length) {
        return static_cast<std::uint64_t>(length) << 32 | code;
    }

    void AddRange(Range range);

    std::vector<Space> codeSpace_;
    std::map<std::uint64_t, std::u16string> chars_;
    std::vector<Range> ranges_;
};

}  // namespace ZavorPdf::Pdf::Content
