// Opening arbitrary bytes as a PDF file in every open mode, then using what
// opened: pages found one by one, page sizes and contents read, every page
// imported into a new document with the links among them settled, both saved.
// Contract: for any input this does nothing worse than throw an engine
// exception (ZavorPdf::ZavorPdfException or a class derived from it). Any
// other exception, a crash, a hang, unbounded memory or a sanitizer report
// is a finding.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_page_import.h"
#include "pdf/pdf_pages.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;

// Pages beyond this are not imported: a large file is no finding.
constexpr int MaxPagesUsed = 64;

void UsePages(PdfDocument &source) {
    PdfDocument target;
    PdfPageImport import(target);
    int count = std::min(source.Pages().Count(), MaxPagesUsed);
    for (int i = 0; i < count; ++i) {
        try {
            PdfPage &page = source.Pages()[i];
            page.Width();
            if (auto *contents = page.Elements().GetDictionary("/Contents"); contents && contents->Stream())
                contents->Stream()->UnfilteredValue();
            if (source.OpenMode() == PdfDocumentOpenMode::Import) import.Append(page);
        } catch (const ZavorPdfException &) {
        }
    }
    try {
        import.ResolveLinks();
    } catch (const ZavorPdfException &) {
    }
    std::vector<std::uint8_t> bytes;
    if (target.PageCount() > 0) target.Save(bytes);
}

void OpenIn(const std::vector<std::uint8_t> &bytes, PdfDocumentOpenMode mode) {
    try {
        std::unique_ptr<PdfDocument> document = IO::PdfReader::Open(bytes, u"user", mode, nullptr);
        if (document == nullptr) return;
        // A document that is only read finds pages before anything counts
        // them, walking its tree no further than each page.
        if (mode == PdfDocumentOpenMode::ReadOnly) {
            for (int index : {1, 0, 3}) {
                try {
                    if (PdfPage *page = document->Pages().FindPage(index)) page->Width();
                } catch (const ZavorPdfException &) {
                }
            }
        }
        document->PageCount();
        document->Info().Title();
        if (mode == PdfDocumentOpenMode::InformationOnly) return;
        UsePages(*document);
        if (mode == PdfDocumentOpenMode::Modify && document->PageCount() > 0) {
            std::vector<std::uint8_t> saved;
            document->Save(saved);
        }
    } catch (const ZavorPdfException &) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    IO::PdfReader::TestPdfFile(bytes);
    for (PdfDocumentOpenMode mode : {PdfDocumentOpenMode::Modify, PdfDocumentOpenMode::Import,
                                     PdfDocumentOpenMode::ReadOnly, PdfDocumentOpenMode::InformationOnly})
        OpenIn(bytes, mode);
    return 0;
}
