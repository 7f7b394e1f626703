// One-call parsing of a page's content or of content bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "pdf/content/c_sequence.h"

namespace ZavorPdf::Pdf {
class PdfPage;
}

namespace ZavorPdf::Pdf::Content {

class ContentReader {
public:
    ContentReader() = delete;

    // The top-level operators; failures are ContentReaderException (and the
    // filters' own exceptions for damaged compressed streams).
    static Objects::CSequence ReadContent(const PdfPage &page);
    static Objects::CSequence ReadContent(std::vector<std::uint8_t> content);
};

}  // namespace ZavorPdf::Pdf::Content
