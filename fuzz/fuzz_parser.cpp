// The lexer and parser of PDF files on arbitrary bytes.
// Contract: for any input, reading the cross-reference sections and streams,
// the trailer, every listed object and the objects of object streams does
// nothing worse than throw an engine exception (ZavorPdf::ZavorPdfException
// or a class derived from it). Any other
// exception, a crash, a hang, unbounded memory or a sanitizer report is a
// finding: nesting depth, item counts, stream lengths and "/Prev" chains are
// all bounded by the parser. The item budget is set low, so that a corpus
// file of a few kilobytes reaches its refusal.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "pdf/errors.h"
#include "pdf/io/lexer.h"
#include "pdf/io/parser.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;

void ScanAllTokens(const std::vector<std::uint8_t> &bytes) {
    IO::Lexer lexer(bytes);
    try {
        while (lexer.ScanNextToken() != IO::Symbol::Eof) {
        }
    } catch (const ZavorPdfException &) {
    }
}

constexpr std::size_t FuzzItemBudget = 4096;

void ReadDocument(const std::vector<std::uint8_t> &bytes) {
    PdfDocument document(DocumentSetup::Empty);
    document.Budget() = ReadBudget(ReadBudget::DecodedFloor, FuzzItemBudget);
    document.ReferenceTable().SetUnderConstruction(true);
    IO::Parser parser(document, bytes);
    try {
        parser.ReadTrailer();
    } catch (const ZavorPdfException &) {
        return;
    }
    bool first = true;
    for (PdfReference *reference : document.ReferenceTable().AllReferences()) {
        if (reference->Value() != nullptr || reference->Position() <= 0) continue;
        try {
            parser.ReadObject(nullptr, reference->ObjectID(),
                              first ? IO::ReadReferences::Yes : IO::ReadReferences::No);
        } catch (const ZavorPdfException &) {
        }
        first = false;
    }
    parser.DropCrossReferenceStreams();
    try {
        parser.ReadCompressedObjects();
    } catch (const ZavorPdfException &) {
    }
    document.ReferenceTable().SetUnderConstruction(false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    ScanAllTokens(bytes);
    ReadDocument(bytes);
    ZavorPdf::Pdf::IO::Parser::ParseDateTime(
        std::string_view(reinterpret_cast<const char *>(data), size), ZavorPlatform::LocalDateTime{});
    return 0;
}
