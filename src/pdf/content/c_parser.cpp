#include "pdf/content/c_parser.h"

#include <string>

#include "pdf/content/content_reader_exception.h"
#include "pdf/filters/filtering.h"
#include "pdf/item_access.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_reference.h"
#include "pdf/stream_data_check.h"

namespace ZavorPdf::Pdf::Content {

using namespace Objects;

namespace {

// No real page needs more; far more would only come from a content array
// that names one large stream again and again.
constexpr std::size_t kMaxPageContentBytes = std::size_t{256} * 1024 * 1024;

std::vector<std::uint8_t> DecodedStream(const PdfItem *item) {
    auto *stream = dynamic_cast<const PdfDictionary *>(item);
    if (stream == nullptr || stream->Stream() == nullptr)
        return {};  // a null or damaged entry draws nothing
    PdfItem *filter = stream->Elements()["/Filter"];
    if (filter == nullptr)
        return stream->Stream()->Value();
    // Decoded as an import checks it, so that the two agree on what is
    // damage, and charged to the file's budget.
    PdfDocument *document = stream->Owner();
    auto decoded = DecodeContentData(*stream, document != nullptr ? &document->Budget() : nullptr);
    if (!decoded) {
        PdfItem *resolved = Internal::Resolve(filter);
        throw ContentReaderException(
            ContentMessages::CannotDecodeContent(resolved != nullptr ? resolved->ToString() : "null"));
    }
    return std::move(*decoded);
}

// Content the page's file holds damaged fails: the page's text would
// otherwise come out short without a word.
PdfItem *ResolveReadable(PdfItem *item) {
    if (auto *reference = dynamic_cast<PdfReference *>(item)) return reference->ReadableValue();
    return item;
}

void AppendStream(std::vector<std::uint8_t> &joined, const PdfItem *item) {
    std::vector<std::uint8_t> bytes = DecodedStream(item);
    if (bytes.size() >= kMaxPageContentBytes - joined.size())
        throw ContentReaderException(ContentMessages::ContentTooLarge);
    joined.push_back('\n');
    joined.insert(joined.end(), bytes.begin(), bytes.end());
}

}  // namespace

CParser::CParser(std::vector<std::uint8_t> content, CParserLimits limits)
    : lexer_(std::move(content)), limits_(limits) {}

CParser::CParser(const PdfPage &page, CParserLimits limits) : CParser(PageContent(page), limits) {}

std::vector<std::uint8_t> CParser::PageContent(const PdfPage &page) {
    std::vector<std::uint8_t> joined;
    PdfItem *contents = ResolveReadable(page.Elements()["/Contents"]);
    if (auto *array = dynamic_cast<PdfArray *>(contents)) {
        for (int i = 0; i < array->Elements().Count(); ++i)
            AppendStream(joined, ResolveReadable(array->Elements()[i]));
    } else if (contents != nullptr) {
        AppendStream(joined, contents);
    }
    return joined;
}

CSequence CParser::ReadContent() {
    CSequence sequence;
    Parse(sequence, CSymbol::Eof, 0, nullptr);
    return sequence;
}

void CParser::ReadOperators(const OperatorSink &sink) {
    CSequence unused;
    Parse(unused, CSymbol::Eof, 0, &sink);
}

void CParser::Count(std::int64_t objects) {
    objects_ += objects;
    if (objects_ > limits_.MaxObjects)
        throw ContentReaderException(ContentMessages::TooManyObjects);
}

void CParser::Parse(CSequence &sequence, CSymbol stop, int depth, const OperatorSink *sink) {
    // Each level keeps its own pending operands, so that numbers written
    // before a "[" stay operands of their operator instead of joining the
    // array.
    CSequence operands;
    for (;;) {
        const CSymbol symbol = lexer_.ScanNextToken();
        if (symbol == CSymbol::Eof || symbol == stop)
            break;
        switch (symbol) {
            case CSymbol::Integer:
                Count(1);
                operands.Add(std::make_unique<CInteger>(lexer_.TokenToInteger()));
                break;
            case CSymbol::Real:
                Count(1);
                operands.Add(std::make_unique<CReal>(lexer_.TokenToReal()));
                break;
            case CSymbol::String:
            case CSymbol::HexString:
            case CSymbol::UnicodeString:
            case CSymbol::UnicodeHexString:
                Count(1);
                operands.Add(std::make_unique<CString>(lexer_.Token()));
                break;
            case CSymbol::Name:
                Count(1);
                operands.Add(std::make_unique<CName>(lexer_.TokenText()));
                break;
            case CSymbol::Operator:
                ParseOperator(sequence, operands, depth == 0 ? sink : nullptr);
                break;
            case CSymbol::BeginArray:
            case CSymbol::BeginDictionary:
                operands.Add(ParseNested(symbol, depth + 1));
                break;
            case CSymbol::EndArray:
                throw ContentReaderException(ContentMessages::UnexpectedEndArray);
            case CSymbol::EndDictionary:
                throw ContentReaderException(ContentMessages::UnexpectedEndDictionary);
            default:
                break;  // comments and stray characters
        }
    }
    // Inside an array or dictionary the pending items are its elements;
    // at the top they belong to no operator and are dropped.
    if (depth > 0)
        for (auto &item : operands.TakeAll())
            sequence.Add(std::move(item));
}

void CParser::ParseOperator(CSequence &sequence, CSequence &operands, const OperatorSink *sink) {
    std::unique_ptr<COperator> op = OpCodes::OperatorFromName(lexer_.TokenText());
    Count(1);
    if (op->OpCode().OpCodeName == OpCodeName::ID)
        lexer_.ScanInlineImage();
    for (auto &item : operands.TakeAll())
        op->Operands().Add(std::move(item));
    if (sink == nullptr) {
        sequence.Add(std::move(op));
        return;
    }
    (*sink)(std::move(op));
    objects_ = 0;  // handed over; nothing of it is held here any more
}

std::unique_ptr<CSequence> CParser::ParseNested(CSymbol kind, int depth) {
    if (depth > limits_.MaxDepth)
        throw ContentReaderException(ContentMessages::NestedTooDeeply);
    Count(1);
    std::unique_ptr<CSequence> nested;
    if (kind == CSymbol::BeginArray)
        nested = std::make_unique<CArray>();
    else
        nested = std::make_unique<CDictionary>();
    Parse(*nested, kind == CSymbol::BeginArray ? CSymbol::EndArray : CSymbol::EndDictionary, depth, nullptr);
    return nested;
}

}  // namespace ZavorPdf::Pdf::Content
