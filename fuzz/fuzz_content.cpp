// The content stream lexer, parser and text extractor on arbitrary bytes,
// and the same bytes read as a ToUnicode CMap.
// Contract: for any content, scanning every token, parsing into a tree,
// parsing operator by operator and extracting the page's text do nothing
// worse than throw an engine exception (ZavorPdf::ZavorPdfException or a
// class derived from it), and GetText does not even do that. Any other
// exception, a crash, a hang, unbounded memory or a sanitizer report is a
// finding: nesting depth and object counts are bounded by the parser, and
// inline image data is skipped without being copied.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/content/c_lexer.h"
#include "pdf/content/c_parser.h"
#include "pdf/content/glyph_names.h"
#include "pdf/content/pdf_text_extractor.h"
#include "pdf/content/to_unicode_map.h"
#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_reference_table.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;
using namespace ZavorPdf::Pdf::Content;

void ScanAllTokens(const std::vector<std::uint8_t> &bytes) {
    CLexer lexer(bytes);
    try {
        while (lexer.ScanNextToken() != CSymbol::Eof) {
        }
    } catch (const ZavorPdfException &) {
    }
}

void ParseBothWays(const std::vector<std::uint8_t> &bytes) {
    try {
        CParser(bytes).ReadContent();
    } catch (const ZavorPdfException &) {
    }
    try {
        CParser(bytes).ReadOperators([](std::unique_ptr<Objects::COperator>) {});
    } catch (const ZavorPdfException &) {
    }
}

// The bytes as a CMap: code lengths and lookups of the codes it names.
void ReadAsCMap(const std::vector<std::uint8_t> &bytes) {
    const std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    ToUnicodeMap map = ToUnicodeMap::Parse(text);
    std::u16string found;
    for (std::size_t i = 0; i < bytes.size() && i < 64; ++i) {
        const int length = map.CodeLength(text.substr(i));
        map.TryLookup(bytes[i], length, found);
    }
    std::uint32_t code = 0;
    map.TryFindCode(u" ", code);
    GlyphNameToUnicode(text.substr(0, 64));
}

// The bytes as the only content stream of a page, uncompressed, and as the
// ToUnicode map of the page's composite font "/F2".
void ExtractFromPage(const std::vector<std::uint8_t> &bytes) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    auto stream = std::make_unique<PdfDictionary>(&document);
    stream->CreateStream(bytes);
    auto contents = std::make_unique<PdfArray>(&document);
    contents->Elements().AddReference(document.ReferenceTable().Add(std::move(stream)));
    page.Elements().SetObject(PdfPage::Keys::Contents, std::move(contents));

    auto map = std::make_unique<PdfDictionary>(&document);
    map->CreateStream(bytes);
    auto font = std::make_unique<PdfDictionary>(&document);
    font->Elements().SetName("/Subtype", "/Type0");
    font->Elements().SetName("/Encoding", "/Identity-H");
    font->Elements().SetReference("/ToUnicode", document.ReferenceTable().Add(std::move(map)));
    auto fonts = std::make_unique<PdfDictionary>(&document);
    fonts->Elements().SetObject("/F2", std::move(font));
    auto resources = std::make_unique<PdfDictionary>(&document);
    resources->Elements().SetObject("/Font", std::move(fonts));
    page.Elements().SetObject(PdfPage::Keys::Resources, std::move(resources));
    PdfTextExtractor::GetText(document, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    ScanAllTokens(bytes);
    ParseBothWays(bytes);
    ExtractFromPage(bytes);
    ReadAsCMap(bytes);
    return 0;
}
