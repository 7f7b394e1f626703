// Cross-reference streams: the binary form of the table that most files
// written since PDF 1.5 carry, and the only one that can place objects in
// object streams.
#include <array>
#include <limits>
#include <utility>

#include "pdf/errors.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/predictor.h"
#include "pdf/io/parser.h"
#include "pdf/io/reader_messages.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"

namespace ZavorPdf::Pdf::IO {
namespace {

// The entries of a stream's dictionary that belong to the document's
// trailer; the rest describe the stream.
constexpr std::array<const char *, 6> TrailerKeys{"/Size", "/Root", "/Info", "/ID", "/Encrypt", "/Prev"};

// A field is at most eight bytes wide, so it always fits.
std::uint64_t Field(const std::vector<std::uint8_t> &data, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i) value = (value << 8) | data[at + static_cast<std::size_t>(i)];
    return value;
}

std::int64_t DirectInteger(const PdfItem *item, const char *damaged) {
    auto *integer = dynamic_cast<const PdfInteger *>(item);
    if (integer == nullptr) throw PdfReaderException(damaged);
    return integer->Value();
}

std::array<int, 3> FieldWidths(const PdfDictionary &dictionary) {
    constexpr const char *damaged = ReaderMessages::CrossReferenceStreamDamaged;
    auto *widths = dynamic_cast<PdfArray *>(dictionary.Elements()["/W"]);
    if (widths == nullptr || widths->Elements().Count() != 3) throw PdfReaderException(damaged);
    std::array<int, 3> result{};
    for (int i = 0; i < 3; ++i) {
        std::int64_t width = DirectInteger(widths->Elements()[i], damaged);
        if (width < 0 || width > 8) throw PdfReaderException(damaged);
        result[static_cast<std::size_t>(i)] = static_cast<int>(width);
    }
    if (result[0] + result[1] + result[2] == 0) throw PdfReaderException(damaged);
    return result;
}

// Pairs of first object number and count, all within "/Size".
std::vector<std::pair<std::int64_t, std::int64_t>> IndexRanges(const PdfDictionary &dictionary) {
    constexpr const char *damaged = ReaderMessages::CrossReferenceStreamDamaged;
    std::int64_t size = DirectInteger(dictionary.Elements()["/Size"], damaged);
    if (size < 0 || size > Parser::MaxObjectNumber + std::int64_t{1}) throw PdfReaderException(damaged);
    PdfItem *index = dictionary.Elements()["/Index"];
    if (index == nullptr) return {{0, size}};
    auto *array = dynamic_cast<PdfArray *>(index);
    if (array == nullptr || array->Elements().Count() % 2 != 0) throw PdfReaderException(damaged);
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
    for (int i = 0; i < array->Elements().Count(); i += 2) {
        std::int64_t first = DirectInteger(array->Elements()[i], damaged);
        std::int64_t count = DirectInteger(array->Elements()[i + 1], damaged);
        if (first < 0 || count < 0 || first + count > size) throw PdfReaderException(damaged);
        ranges.emplace_back(first, count);
    }
    return ranges;
}

bool HasType(const PdfDictionary &dictionary, std::string_view type) {
    auto *name = dynamic_cast<PdfName *>(dictionary.Elements()["/Type"]);
    return name != nullptr && name->Value() == type;
}

}  // namespace

void Parser::ReadXRefStream(std::int32_t offset, PdfDictionary &trailer) {
    lexer_.SetPosition(offset);
    std::int32_t number = ExpectInteger();
    std::int32_t generation = ExpectInteger();
    Expect(Symbol::Obj);
    Expect(Symbol::BeginDictionary);
    stack_.Reduce(stack_.SP());
    PdfDictionary dictionary(&document_);
    ReadDictionary(dictionary);
    Expect(Symbol::BeginStream);
    ReadStreamData(dictionary);
    if (!HasType(dictionary, "/XRef")) throw PdfReaderException(ReaderMessages::CrossReferenceStreamDamaged);
    ReadXRefStreamEntries(dictionary, DecodedStream(dictionary, ReaderMessages::CrossReferenceStreamDamaged));
    for (const char *key : TrailerKeys) {
        if (PdfReference *reference = dictionary.Elements().GetReference(key))
            trailer.Elements().SetReference(key, reference);
        else if (PdfItem *item = dictionary.Elements()[key])
            trailer.Elements().SetValue(key, item->Clone());
    }
    if (number > 0 && number <= MaxObjectNumber && generation >= 0 && generation <= 65535)
        xrefStreams_.emplace_back(number, static_cast<std::uint16_t>(generation));
}

void Parser::ReadXRefStreamEntries(const PdfDictionary &dictionary, const std::vector<std::uint8_t> &data) {
    // Positions beyond this cannot be in a file the lexer reads.
    constexpr auto MaxPosition = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    std::array<int, 3> widths = FieldWidths(dictionary);
    std::size_t rowWidth = static_cast<std::size_t>(widths[0] + widths[1] + widths[2]);
    std::size_t at = 0;
    for (auto [first, count] : IndexRanges(dictionary)) {
        if (static_cast<std::uint64_t>(count) > (data.size() - at) / rowWidth)
            throw PdfReaderException(ReaderMessages::CrossReferenceStreamDamaged);
        // The entries cost little in the file but a reference each here.
        document_.Budget().ChargeItems(static_cast<std::size_t>(count));
        for (std::int64_t i = 0; i < count; ++i) {
            std::array<std::uint64_t, 3> fields{};
            for (std::size_t f = 0; f < 3; ++f) {
                fields[f] = Field(data, at, widths[f]);
                at += static_cast<std::size_t>(widths[f]);
            }
            // Without a type field every entry is an object in the file.
            std::uint64_t type = widths[0] == 0 ? 1 : fields[0];
            bool placed = fields[1] > 0 && fields[1] <= MaxPosition;
            if (type == 1 && placed && fields[2] <= 65535)
                AddXRefEntry(first + i, static_cast<std::int32_t>(fields[2]), static_cast<std::int32_t>(fields[1]));
            else if (type == 2)
                AddCompressedEntry(first + i, fields[1], fields[2]);
        }
    }
}

// Only the first section to name an object files it, as in AddXRefEntry.
void Parser::AddCompressedEntry(std::int64_t number, std::uint64_t stream, std::uint64_t index) {
    if (number == 0) return;
    if (number > MaxObjectNumber) throw PdfReaderException(ReaderMessages::ObjectNumberOutOfRange);
    auto limit = static_cast<std::uint64_t>(MaxObjectNumber);
    if (stream == 0 || stream > limit || stream == static_cast<std::uint64_t>(number) || index > limit) return;
    PdfObjectID id(static_cast<std::int32_t>(number), 0);
    PdfReferenceTable &table = document_.ReferenceTable();
    PdfReference *reference = table[id];
    if (reference != nullptr && (reference->Value() != nullptr || reference->Position() != 0)) return;
    CompressedEntry entry{static_cast<std::int32_t>(stream), static_cast<std::int32_t>(index)};
    if (compressed_.emplace(id.ObjectNumber(), entry).second) table.GetOrCreateReference(id);
}

// Without a filter, parameters have nothing to apply to.
std::vector<std::uint8_t> Parser::DecodedStream(const PdfDictionary &dictionary, const char *damaged) {
    const std::vector<std::uint8_t> &data = dictionary.Stream()->Value();
    PdfItem *filter = dictionary.Elements()["/Filter"];
    if (filter == nullptr) return data;
    auto decoded = Filters::Filtering::Decode(data, filter, &document_.Budget());
    if (!decoded) throw PdfReaderException(damaged);
    return Filters::Predictor::Undo(std::move(*decoded),
                                    Filters::Predictor::LastFilterParms(dictionary.Elements()["/DecodeParms"]));
}

void Parser::DropCrossReferenceStreams() {
    PdfReferenceTable &table = document_.ReferenceTable();
    for (PdfObjectID id : xrefStreams_) {
        PdfReference *reference = table[id];
        auto *dictionary = reference != nullptr ? dynamic_cast<PdfDictionary *>(reference->Value()) : nullptr;
        if (dictionary != nullptr && HasType(*dictionary, "/XRef")) table.Remove(id);
    }
}

}  // namespace ZavorPdf::Pdf::IO
