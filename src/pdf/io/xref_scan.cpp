#include "pdf/io/xref_scan.h"

#include <algorithm>
#include <string_view>

#include "pdf/io/parser.h"
#include "pdf/read_budget.h"

namespace ZavorPdf::Pdf::IO {
namespace {

bool IsBlank(std::uint8_t c) { return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }
bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
bool IsDelimiter(std::uint8_t c) {
    return std::string_view("()<>[]{}/%").find(static_cast<char>(c)) != std::string_view::npos;
}

bool Matches(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view word) {
    if (at > bytes.size() || bytes.size() - at < word.size()) return false;
    return std::equal(word.begin(), word.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// A token ends at the end of the file, a blank or a delimiter.
bool EndsToken(std::span<const std::uint8_t> bytes, std::size_t at) {
    return at >= bytes.size() || IsBlank(bytes[at]) || IsDelimiter(bytes[at]);
}

bool StartsLineOrFollowsBlank(std::span<const std::uint8_t> bytes, std::size_t at) {
    return at == 0 || IsBlank(bytes[at - 1]);
}

// Walks back from the byte before `end` over blanks; returns where they start.
std::size_t SkipBlanksBack(std::span<const std::uint8_t> bytes, std::size_t end) {
    while (end > 0 && IsBlank(bytes[end - 1])) --end;
    return end;
}

// Walks back over at most `limit` digits; returns where they start, or
// `end` when there are none or more than the limit.
std::size_t DigitsBack(std::span<const std::uint8_t> bytes, std::size_t end, std::size_t limit) {
    std::size_t start = end;
    while (start > 0 && IsDigit(bytes[start - 1])) {
        if (end - start == limit) return end;
        --start;
    }
    return start;
}

std::int64_t DigitValue(std::span<const std::uint8_t> bytes, std::size_t from, std::size_t to) {
    std::int64_t value = 0;
    for (std::size_t i = from; i < to; ++i) value = value * 10 + (bytes[i] - '0');
    return value;
}

}  // namespace

XRefScan::XRefScan(std::span<const std::uint8_t> bytes, ReadBudget &budget) : bytes_(bytes), budget_(budget) {
    Scan();
    DropCutShort();
    Finish();
    found_ = {};
    catalogs_ = {};
}

void XRefScan::Scan() {
    std::size_t i = 0;
    while (i < bytes_.size()) {
        std::uint8_t c = bytes_[i];
        if (c == 'o' && Matches(bytes_, i, "obj") && EndsToken(bytes_, i + 3) && StartsLineOrFollowsBlank(bytes_, i)) {
            AddHeaderEndingAt(i);
            i += 3;
        } else if (c == 's' && Matches(bytes_, i, "stream") && i + 6 < bytes_.size() &&
                   (bytes_[i + 6] == '\r' || bytes_[i + 6] == '\n') &&
                   (i == 0 || IsBlank(bytes_[i - 1]) || bytes_[i - 1] == '>')) {
            i = AfterStream(i + 6);
        } else if (c == 't' && Matches(bytes_, i, "trailer") && EndsToken(bytes_, i + 7) &&
                   (i == 0 || IsBlank(bytes_[i - 1]) || IsDelimiter(bytes_[i - 1]))) {
            trailers_.push_back(static_cast<std::int32_t>(i + 7));
            if (trailers_.size() > MaxTrailers) trailers_.erase(trailers_.begin());
            i += 7;
        } else if (c == '/' && Matches(bytes_, i, "/Catalog") && EndsToken(bytes_, i + 8)) {
            NoteCatalogAt(i);
            i += 8;
        } else if (c == '/' && Matches(bytes_, i, "/ObjStm") && EndsToken(bytes_, i + 7)) {
            hasObjectStreams_ = true;
            i += 7;
        } else {
            ++i;
        }
    }
}

// A file cut short ends inside its last object: that object is not in the
// file, and an older definition of its number, if any, stands.
void XRefScan::DropCutShort() {
    if (found_.empty()) return;
    constexpr std::string_view end = "endobj";
    auto from = bytes_.begin() + found_.back().position;
    if (std::search(from, bytes_.end(), end.begin(), end.end(), [](std::uint8_t a, char b) {
            return a == static_cast<std::uint8_t>(b);
        }) == bytes_.end()) {
        found_.pop_back();
        if (!catalogs_.empty() && catalogs_.back() == found_.size()) catalogs_.pop_back();
    }
}

// Where the scan goes on after the keyword "stream": at the "endstream"
// that closes the data, or right here when the file has none left (a
// stream cut short or damaged keeps the objects after it).
std::size_t XRefScan::AfterStream(std::size_t at) {
    if (at >= noEndstreamFrom_) return at;
    constexpr std::string_view end = "endstream";
    auto found = std::search(bytes_.begin() + static_cast<std::ptrdiff_t>(at), bytes_.end(), end.begin(), end.end(),
                             [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
    if (found == bytes_.end()) {
        noEndstreamFrom_ = at;
        return at;
    }
    return static_cast<std::size_t>(found - bytes_.begin());
}

// "N G obj": the numbers are read backwards from the keyword.
void XRefScan::AddHeaderEndingAt(std::size_t objAt) {
    std::size_t generationEnd = SkipBlanksBack(bytes_, objAt);
    if (generationEnd == objAt) return;
    std::size_t generationStart = DigitsBack(bytes_, generationEnd, 5);
    if (generationStart == generationEnd) return;
    std::size_t numberEnd = SkipBlanksBack(bytes_, generationStart);
    if (numberEnd == generationStart) return;
    std::size_t numberStart = DigitsBack(bytes_, numberEnd, 10);
    if (numberStart == numberEnd || !StartsLineOrFollowsBlank(bytes_, numberStart)) return;
    std::int64_t number = DigitValue(bytes_, numberStart, numberEnd);
    std::int64_t generation = DigitValue(bytes_, generationStart, generationEnd);
    if (number <= 0 || number > Parser::MaxObjectNumber || generation > 65535) return;
    budget_.ChargeItems(1);
    found_.push_back({PdfObjectID(static_cast<std::int32_t>(number), static_cast<std::uint16_t>(generation)),
                      static_cast<std::int32_t>(numberStart)});
}

// "/Type /Catalog" inside the object whose header came last.
void XRefScan::NoteCatalogAt(std::size_t at) {
    std::size_t typeEnd = SkipBlanksBack(bytes_, at);
    if (found_.empty() || typeEnd < 5 || !Matches(bytes_, typeEnd - 5, "/Type")) return;
    catalogs_.push_back(found_.size() - 1);
}

// Of several definitions of a number the last in the file is the newest,
// as an incremental update appends its objects.
void XRefScan::Finish() {
    const std::vector<Definition> &found = found_;
    std::vector<std::size_t> order(found.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return found[a].id.ObjectNumber() < found[b].id.ObjectNumber();
    });
    for (std::size_t index : order) {
        if (!objects_.empty() && objects_.back().id.ObjectNumber() == found[index].id.ObjectNumber())
            objects_.back() = found[index];
        else
            objects_.push_back(found[index]);
    }
    for (auto it = catalogs_.rbegin(); it != catalogs_.rend(); ++it) {
        const Definition &definition = found[*it];
        const Definition *newest = Find(definition.id.ObjectNumber());
        if (newest != nullptr && newest->position == definition.position) {
            catalog_ = definition.id;
            break;
        }
    }
}

const XRefScan::Definition *XRefScan::Find(std::int32_t number) const {
    auto it = std::lower_bound(objects_.begin(), objects_.end(), number,
                               [](const Definition &d, std::int32_t n) { return d.id.ObjectNumber() < n; });
    return it != objects_.end() && it->id.ObjectNumber() == number ? &*it : nullptr;
}

}  // namespace ZavorPdf::Pdf::IO
