// The text that a page shows: as a person reads it (GetText), or the raw
// strings of its text-showing operators in content order (ExtractText).
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace ZavorPdf::Pdf {
class PdfDocument;
class PdfPage;
}

namespace ZavorPdf::Pdf::Content::Objects {
class CObject;
}

namespace ZavorPdf::Pdf::Content {

class PdfTextExtractor {
public:
    PdfTextExtractor() = delete;

    // Receives each piece of text as the walk reaches it; the view is valid
    // only during the call.
    using TextSink = std::function<void(std::u16string_view)>;

    // The text of the page at the zero-based index, decoded through its
    // fonts, with blanks between words and CR LF between lines (see
    // PageTextLayout), followed by CR LF. Any failure (a file that cannot be
    // read, an index out of range, content that cannot be parsed) gives an
    // empty text: a page yields all its text or none.
    static std::u16string GetText(const std::filesystem::path &pdfFileName, int page);
    static std::u16string GetText(PdfDocument &document, int page);

    // Pieces of the page's content, parsed one operator at a time. Failures
    // are thrown, after the pieces that came before them were delivered.
    static void ExtractText(const PdfPage &page, const TextSink &sink);
    // Depth first: the strings among the operands of "Tj" and "TJ"
    // operators, and in sequences and arrays; numbers, names and the other
    // operators (the quotation-mark ones included) add nothing. Strings are
    // not decoded through the page's fonts: each character is a byte of the
    // string, or a UTF-16 unit after a byte order mark.
    static void ExtractText(const Objects::CObject &object, const TextSink &sink);
};

}  // namespace ZavorPdf::Pdf::Content
