// Cross-reference sections and trailers.
#include <algorithm>
#include <set>
#include <span>
#include <string_view>

#include "pdf/errors.h"
#include "pdf/io/parser.h"
#include "pdf/io/reader_messages.h"
#include "pdf/messages.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_trailer.h"

namespace ZavorPdf::Pdf::IO {

// "startxref" within the last 130 bytes; the last one there, since an
// incremental update appends its own.
std::int32_t Parser::FindStartXRef() {
    std::span<const std::uint8_t> bytes = lexer_.Bytes();
    constexpr std::string_view keyword = "startxref";
    std::size_t from = bytes.size() > 131 ? bytes.size() - 131 : 0;
    auto found = std::find_end(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(), keyword.begin(),
                               keyword.end(), [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
    if (found == bytes.end()) throw PdfReaderException(Messages::InvalidPdf);
    lexer_.SetPosition(static_cast<std::int32_t>(found - bytes.begin()));
    Expect(Symbol::StartXRef);
    return ExpectInteger();
}

PdfTrailer &Parser::ReadTrailer() {
    PdfTrailer &trailer = document_.Trailer();
    std::int32_t offset = FindStartXRef();
    std::set<std::int32_t> visited;
    bool newest = true;
    // A chain that comes back to a section already read ends there.
    while (visited.insert(offset).second && static_cast<int>(visited.size()) <= MaxXRefSections) {
        std::unique_ptr<PdfDictionary> older;
        PdfDictionary *dictionary = &trailer;
        if (newest) {
            trailer.Elements().Clear();
        } else {
            older = std::make_unique<PdfDictionary>(&document_);
            dictionary = older.get();
        }
        ReadSection(offset, *dictionary, visited);
        newest = false;
        auto *prev = dynamic_cast<PdfInteger *>(dictionary->Elements()[PdfTrailer::Keys::Prev]);
        if (prev == nullptr || prev->Value() == 0) break;
        offset = prev->Value();
    }
    // The offset would be wrong in any file written from this document.
    trailer.Elements().Remove("/XRefStm");
    return trailer;
}

// A hybrid file lists the objects of its object streams a second time, in
// a stream that readers of the classic table alone skip; the table's own
// entries take precedence.
void Parser::ReadSection(std::int32_t offset, PdfDictionary &trailer, std::set<std::int32_t> &visited) {
    lexer_.SetPosition(offset);
    if (lexer_.ScanNextToken() == Symbol::Integer) return ReadXRefStream(offset, trailer);
    ReadXRefSection(offset);
    stack_.Reduce(stack_.SP());
    ReadDictionary(trailer);
    auto *hybrid = dynamic_cast<PdfInteger *>(trailer.Elements()["/XRefStm"]);
    if (hybrid != nullptr && visited.insert(hybrid->Value()).second) {
        PdfDictionary ignored(&document_);
        ReadXRefStream(hybrid->Value(), ignored);
    }
}

// Leaves the lexer after the "<<" that opens the section's trailer.
void Parser::ReadXRefSection(std::int32_t offset) {
    lexer_.SetPosition(offset);
    Symbol symbol = lexer_.ScanNextToken();
    if (symbol != Symbol::XRef) FailUnexpected();
    while ((symbol = lexer_.ScanNextToken()) != Symbol::Trailer) {
        if (symbol != Symbol::Integer) FailUnexpected();
        std::int64_t start = lexer_.TokenToInteger();
        std::int32_t count = ExpectInteger();
        if (start < 0 || count < 0) FailUnexpected();
        for (std::int32_t i = 0; i < count; ++i) {
            std::int32_t position = ExpectInteger();
            std::int32_t generation = ExpectInteger();
            Expect(Symbol::Keyword);
            const std::string &kind = lexer_.Token();
            if ((kind != "n" && kind != "f") || generation < 0 || generation > 65535) FailUnexpected();
            if (kind == "n") AddXRefEntry(start + i, generation, position);
        }
    }
    Expect(Symbol::BeginDictionary);
}

// Newer sections are read first, so an ID already filed keeps its entry;
// one that only a newer trailer mentioned (position 0, no value) gets this
// section's position.
void Parser::AddXRefEntry(std::int64_t number, std::int32_t generation, std::int32_t position) {
    if (number == 0) return;
    if (number > MaxObjectNumber) throw PdfReaderException(ReaderMessages::ObjectNumberOutOfRange);
    PdfObjectID id(static_cast<std::int32_t>(number), static_cast<std::uint16_t>(generation));
    PdfReferenceTable &table = document_.ReferenceTable();
    PdfReference *reference = table[id];
    if (reference == nullptr) {
        table.GetOrCreateReference(id)->SetPosition(position);
    } else if (reference->Value() == nullptr && reference->Position() == 0 &&
               !(generation == 0 && compressed_.contains(id.ObjectNumber()))) {
        reference->SetPosition(position);
    }
}

}  // namespace ZavorPdf::Pdf::IO
