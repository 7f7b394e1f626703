// The "/Contents" array of a page: the content streams that are drawn one
// after the other.
#pragma once

#include <memory>

#include "pdf/pdf_array.h"

namespace ZavorPdf::Pdf {

class PdfContent;

class PdfContents : public PdfArray {
public:
    explicit PdfContents(PdfDocument *document = nullptr) : PdfArray(document) {}
    // Takes over an array read from a file: every element must be a
    // reference to a stream dictionary, which becomes a PdfContent. Anything
    // else fails with "Unexpected item in a content stream array.", before
    // the array is touched.
    explicit PdfContents(PdfArray &&array);
    PdfContents(const PdfContents &other) : PdfArray(other) {}

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfContents>(*this); }

    int Count() const { return Elements().Count(); }
    PdfContent &ContentAt(int index) const;

    // A new, empty content stream after (or before) the existing ones; the
    // existing drawing is first wrapped in "q" ... "Q" so that graphics state
    // it leaves behind cannot leak into the new stream.
    PdfContent &AppendContent();
    PdfContent &PrependContent();

    // All streams decoded and joined, each followed by a line feed, in one
    // new content object (direct; not yet in the reference table).
    std::unique_ptr<PdfContent> CreateSingleContent() const;

    // Throws the unexpected-item failure unless the array can become a
    // PdfContents.
    static void CheckElements(const PdfArray &array);

private:
    void ProtectExistingContent();
    PdfContent &NewContent();

    // The existing content is wrapped once per array, before the first
    // stream is added.
    bool modified_ = false;
};

}  // namespace ZavorPdf::Pdf
