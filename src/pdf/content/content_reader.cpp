#include "pdf/content/content_reader.h"

#include "pdf/content/c_parser.h"

namespace ZavorPdf::Pdf::Content {

Objects::CSequence ContentReader::ReadContent(const PdfPage &page) { return CParser(page).ReadContent(); }

Objects::CSequence ContentReader::ReadContent(std::vector<std::uint8_t> content) {
    return CParser(std::move(content)).ReadContent();
}

}  // namespace ZavorPdf::Pdf::Content
