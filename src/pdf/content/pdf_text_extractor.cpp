#include "pdf/content/pdf_text_extractor.h"

#include <vector>

#include "pdf/content/c_operator.h"
#include "pdf/content/c_parser.h"
#include "pdf/content/c_sequence.h"
#include "pdf/content/content_reader_exception.h"
#include "pdf/content/content_token_check.h"
#include "pdf/content/page_text_layout.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"

namespace ZavorPdf::Pdf::Content {

using namespace Objects;

void PdfTextExtractor::ExtractText(const CObject &object, const TextSink &sink) {
    // An explicit stack: a sequence built by a program may nest deeper than
    // the call stack allows.
    std::vector<const CObject *> pending{&object};
    auto pushReversed = [&pending](const CSequence &sequence) {
        for (int i = sequence.Count() - 1; i >= 0; --i)
            pending.push_back(&sequence[i]);
    };
    while (!pending.empty()) {
        const CObject *current = pending.back();
        pending.pop_back();
        if (auto *op = dynamic_cast<const COperator *>(current)) {
            const OpCodeName code = op->OpCode().OpCodeName;
            if (code == OpCodeName::Tj || code == OpCodeName::TJ)
                pushReversed(op->Operands());
        } else if (auto *sequence = dynamic_cast<const CSequence *>(current)) {
            pushReversed(*sequence);
        } else if (auto *string = dynamic_cast<const CString *>(current)) {
            sink(string->Value());
        }
    }
}

// Content with a broken token gives no text rather than the part before
// it, as an import of the page fails on it.
void PdfTextExtractor::ExtractText(const PdfPage &page, const TextSink &sink) {
    std::vector<std::uint8_t> content = CParser::PageContent(page);
    if (std::string problem = FindBrokenToken(content); !problem.empty())
        throw ContentReaderException(ContentMessages::BrokenToken(problem));
    CParser parser(std::move(content));
    parser.ReadOperators([&sink](std::unique_ptr<COperator> op) { ExtractText(*op, sink); });
}

std::u16string PdfTextExtractor::GetText(PdfDocument &document, int page) {
    try {
        PdfPage *found = nullptr;
        if (document.IsReadOnly() && document.Pages().IsFlattening()) {
            // A document that is only read finds the page without walking
            // the rest of its tree.
            found = document.Pages().FindPage(page);
        } else if (page >= 0 && page < document.PageCount()) {
            found = &document.Pages().PageAt(page);
        }
        if (found == nullptr)
            return {};
        std::u16string text = PageTextLayout(*found).Text();
        text += u"\r\n";
        return text;
    } catch (...) {
        // Whatever went wrong, the page has no text for the caller.
        return {};
    }
}

std::u16string PdfTextExtractor::GetText(const std::filesystem::path &pdfFileName, int page) {
    try {
        std::unique_ptr<PdfDocument> document = IO::PdfReader::Open(pdfFileName, PdfDocumentOpenMode::ReadOnly);
        return document != nullptr ? GetText(*document, page) : std::u16string();
    } catch (...) {
        return {};
    }
}

}  // namespace ZavorPdf::Pdf::Content
