// Fuzz target for the stream decoders. The first byte picks the decoder, the
// rest is the stream. Contract: for any input a decoder returns or throws one
// of the engine's exceptions; it never crashes, hangs or allocates without
// bound. Encoders must round-trip whatever they are given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pdf/errors.h"
#include "pdf/filters/ascii85_decode.h"
#include "pdf/filters/ascii_hex_decode.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/filters/lzw_decode.h"
#include "pdf/read_budget.h"

namespace {

using namespace ZavorPdf::Pdf::Filters;

// Small enough to keep each run fast, large enough for real streams. The
// budget of the file the data comes from is smaller still, so that both
// refusals are reached.
constexpr std::size_t FuzzLimit = 4 * 1024 * 1024;
constexpr std::size_t FuzzBudget = 2 * 1024 * 1024;

void Decode(std::uint8_t selector, const std::vector<std::uint8_t> &data) {
    ZavorPdf::Pdf::ReadBudget budget(FuzzBudget, 0);
    const FilterParms parms(nullptr, &budget);
    switch (selector % 5) {
    case 0:
        (void)FlateDecode::Inflate(data, FuzzLimit, &parms);
        break;
    case 1:
        (void)LzwDecode::Expand(data, FuzzLimit, &parms);
        break;
    case 2:
        (void)Filtering::ASCIIHexDecode().Decode(data, &parms);
        break;
    case 3:
        (void)Filtering::ASCII85Decode().Decode(data, &parms);
        break;
    default:
        // A chain, as a "/Filter" array applies it.
        if (const auto text = Filtering::ASCII85Decode().Decode(data, &parms)) {
            (void)FlateDecode::Inflate(*text, FuzzLimit, &parms);
        }
        break;
    }
}

void CheckRoundTrip(const Filter &filter, const std::vector<std::uint8_t> &data) {
    if (filter.Decode(filter.Encode(data)) != data) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::vector<std::uint8_t> data(bytes + 1, bytes + size);
    try {
        Decode(bytes[0], data);
    } catch (const ZavorPdf::ZavorPdfException &) {
        // Refusing damaged data is the expected outcome.
    }
    if (data.size() <= 4096) {
        CheckRoundTrip(Filtering::FlateDecode(), data);
        CheckRoundTrip(Filtering::ASCIIHexDecode(), data);
        CheckRoundTrip(Filtering::ASCII85Decode(), data);
    }
    return 0;
}
